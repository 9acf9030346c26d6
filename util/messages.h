#pragma once

#include <string>
#include <vector>

// Every text that the launcher's domain shows to players, in one place. The windows and the
// command line show them as they stand; the kind of each message (error, warning ...) is
// chosen where it is shown.
namespace kv::msg {

// Instance names.
inline constexpr const char* kNameEmpty = "实例名称不能为空";
inline constexpr const char* kNameTooLong = "实例名称不能超过50个字符";
inline constexpr const char* kNameDots = "实例名称不能是“.”或“..”";
inline constexpr const char* kNameSeparator = "实例名称不能包含“/”或“\\”";
inline constexpr const char* kNameControlCharacter = "实例名称不能包含控制字符";
inline constexpr const char* kNameForbiddenCharacter = "实例名称不能包含 < > : \" | ? * 这些字符";
inline constexpr const char* kNameTrailingDotOrBlank = "实例名称不能以点或空格结尾";
inline constexpr const char* kNameReserved = "实例名称不能是系统保留的设备名";
inline constexpr const char* kNameInvalidText = "实例名称不是有效的文本";
inline constexpr const char* kNameNotInSettingsFile = "实例名称含有设置文件无法保存的字符（如表情符号）";

// Adding, renaming and deleting instances.
inline constexpr const char* kInstanceDuplicate = "已存在同名的游戏实例";
inline constexpr const char* kInstanceUnknown = "没有这个游戏实例";
inline constexpr const char* kInstanceFolderFailed = "无法重命名实例文件夹";
inline constexpr const char* kInstanceVersionInvalid = "游戏版本无效";
inline constexpr const char* kSettingsNotWritten = "无法写入设置文件 KvCfg.ini";

// The download window's lines.
inline constexpr const char* kFileSizeLabel = "文件大小:";
inline constexpr const char* kSpeedLabel = "下载速度:";

// The launcher's own updates and the Java prompt.
inline constexpr const char* kUpdateOfferTitle = "更新提示";
inline std::string UpdateOffer(const std::string& publishedVersion) {
  return "检测到新版本" + publishedVersion + "是否立即更新?";
}
inline constexpr const char* kJavaDownload = "未找到JAVA运行环境是否立即下载安装?";
inline constexpr const char* kUpdaterFailed = "启动Update.exe失败";

// Signing in.
inline constexpr const char* kSignInTimedOut = "登录超时";
inline constexpr const char* kSignInNoData = "未请求到数据";
inline std::string SignInRefused(const std::string& error, const std::string& message) {
  return "错误:" + error + " 错误信息:" + message;
}
inline constexpr const char* kSignInNotSaved = "无法保存登录信息";

// Account servers, their profiles and their agent.
inline std::string AccountServerNotWeb(const std::string& address) {
  return "账户服务器地址无效（须以 http:// 或 https:// 开头）: " + address;
}
inline constexpr const char* kAccountServerBadLocation = "账户服务器指示的 API 地址无效";
inline constexpr const char* kAccountServerBadMetadata = "账户服务器的 API 元数据无效";
inline std::string ProfileNames(const std::vector<std::string>& names) {
  std::string joined;
  for (const std::string& name : names) joined += (joined.empty() ? "" : "、") + name;
  return joined;
}
inline std::string ProfileChoiceNeeded(const std::vector<std::string>& names) {
  return "该账户有多个角色，请选择要使用的角色: " + ProfileNames(names);
}
inline std::string NoSuchProfile(const std::string& wanted, const std::vector<std::string>& names) {
  return "该账户没有名为 " + wanted + " 的角色，可选的角色: " + ProfileNames(names);
}
inline constexpr const char* kProfileNotChosen = "未选择角色";
inline constexpr const char* kProfileChoiceTitle = "选择角色";
inline constexpr const char* kAgentUnavailable = "无法获取 authlib-injector，游戏未启动";
inline constexpr const char* kAgentChecksumMismatch = "下载的 authlib-injector 校验失败（SHA-256 不符），游戏未启动";
inline std::string AccountServerSet(const std::string& address) { return "账户服务器已设为 " + address; }

// A download that kept failing.
inline std::string DownloadFailed(const std::string& fileName, const std::string& reason) {
  std::string text = "错误信息：无法下载文件 " + fileName;
  if (!reason.empty()) text += "\n原因: " + reason;
  return text;
}

// The end of a launch that did not start the game.
inline constexpr const char* kVersionUnreadable = "错误信息：获取启动参数失败\n错误代码:ERROR_LoadVersionObj";
inline constexpr const char* kAssetIndexUnreadable = "错误信息：获取启动参数失败\n错误代码:ERROR_LoadAssertObj";
inline constexpr const char* kSignInFailedPrefix = "验证失败!";
inline constexpr const char* kInstanceFolderRefused = "错误信息：实例名称不能用作文件夹名";
inline std::string GameFolderSplitsClassPath(const std::string& gameFolder) {
  return "错误信息：游戏文件夹的路径中含有类路径分隔符，游戏无法启动。\n请把游戏文件夹移到路径中没有该字符的位置:\n" + gameFolder;
}

// A game that ended with an error, and the start button pressed while a game still runs.
inline std::string GameCrashed(int exitStatus, const std::string& lastLines, const std::string& outputFile) {
  std::string text = "游戏异常退出，退出代码: " + std::to_string(exitStatus);
  if (!lastLines.empty()) text += "\n最后的输出:\n" + lastLines;
  if (!outputFile.empty()) text += "\n完整的输出保存在: " + outputFile;
  return text;
}
inline constexpr const char* kGameRunning = "游戏正在运行，请先退出游戏再启动";

// The mod page's placeholders: the list side's by kind (0, 1, 2), then the details side's.
inline constexpr const char* kModsNotSupported = "不支持Mod";
inline constexpr const char* kModsLoading = "加载Mod中...";
inline constexpr const char* kModsNoneInstalled = "没安装Mod";
inline constexpr const char* kModNoDetails = "无Mod信息";

// Why a package tool run failed, as the command line says it.
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
