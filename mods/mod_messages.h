#pragma once

#include <string>

// The texts of mod management that players see: the mod page's placeholders and the reasons a
// package tool run failed, as the command line shows them.
namespace kv::msg {

// The mod page's placeholders: the list side by kind (0, 1, 2) and the details side.
inline constexpr const char* kModsNotSupported = "不支持Mod";
inline constexpr const char* kModsLoading = "加载Mod中...";
inline constexpr const char* kModsNoneInstalled = "没安装Mod";
inline constexpr const char* kModNoDetails = "无Mod信息";

// Why a package tool run failed.
inline constexpr const char* kModsNeedForge = "这个游戏实例的版本不是 Forge 版本，不支持 Mod";
inline constexpr const char* kModToolMissingArgument = "缺少实例名称、版本或 Mod";
inline std::string ModToolNotStarted(const std::string& reason) { return "无法启动 Mod 管理工具 qrx: " + reason; }
inline std::string ModToolSilent(long long minutes) {
  return "Mod 管理工具 " + std::to_string(minutes) + " 分钟没有任何输出，已被结束";
}
inline std::string ModToolExitStatus(int status) { return "Mod 管理工具以状态 " + std::to_string(status) + " 结束"; }
inline constexpr const char* kModToolReportedFailure = "Mod 管理工具报告失败";
inline constexpr const char* kModListUnreadable = "Mod 列表文件缺失或无法读取";
inline constexpr const char* kModInstanceFolderRefused = "实例名称不能用作文件夹名";

}  // namespace kv::msg
