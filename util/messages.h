#pragma once

#include <string>
#include <string_view>
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
inline constexpr const char* kInstanceDuplicateCase = "已存在只有大小写不同的同名游戏实例（两者会共用一个文件夹）";
inline constexpr const char* kInstanceUnknown = "没有这个游戏实例";
inline std::string InstanceUnknown(const std::string& name) { return std::string(kInstanceUnknown) + ": " + name; }
inline constexpr const char* kInstanceFolderFailed = "无法重命名实例文件夹";
inline constexpr const char* kInstanceVersionInvalid = "游戏版本无效";
inline constexpr const char* kSettingsNotWritten = "无法写入设置文件 KvCfg.ini";
inline constexpr const char* kInstanceFolderKept = "实例已删除，但实例文件夹未能删除";
// Deleting cannot be undone: the question says what goes with the instance and where it lies.
inline std::string DeleteInstanceQuestion(const std::string& name, const std::string& folder) {
  return "确定要删除游戏实例“" + name + "”吗？\n它的文件夹 " + folder + " 将被永久删除，\n其中的存档、Mod 和设置都无法恢复。";
}
inline std::string InstanceAdded(const std::string& name, const std::string& version) {
  return "已添加游戏实例 " + name + "（版本 " + version + "）";
}
inline std::string InstanceRenamed(const std::string& oldName, const std::string& newName) {
  return "已将游戏实例 " + oldName + " 重命名为 " + newName;
}
inline std::string InstanceDeleted(const std::string& name) { return "已删除游戏实例 " + name; }
inline std::string VersionNotListed(const std::string& version) {
  return "版本列表中没有版本 " + version + "，游戏文件夹中也没有安装它";
}
inline constexpr const char* kInstanceBusy = "游戏正在启动或运行，请在游戏结束后再删除或重命名实例";
inline constexpr const char* kNoInstanceSelected = "请先添加或选择一个游戏实例\n（点击左侧的“+”，或在左侧列表上点击右键）";
inline constexpr const char* kVersionNotChosen = "请先选择游戏版本";
// The kinds of the version list as players call them; a kind the launcher does not know is
// shown as the list names it.
inline std::string VersionTypeName(const std::string& type) {
  if (type == "release") return "正式版";
  if (type == "snapshot") return "快照";
  if (type == "old_beta") return "远古版本 (Beta)";
  if (type == "old_alpha") return "远古版本 (Alpha)";
  return type;
}
inline constexpr const char* kTileVersionLabel = "版本：";
inline constexpr const char* kTileNoVersion = "未设置";

// The settings: what a value may be.
inline constexpr const char* kUserNameTooLong = "玩家名称(ID)不能超过50个字符";
inline std::string NotInSettingsFile(const std::string& field) {
  return field + "含有设置文件无法保存的字符（如表情符号）";
}
inline std::string ControlCharacterIn(const std::string& field) { return field + "不能包含换行等控制字符"; }
inline std::string NotAFlag(const std::string& field) { return field + "只能是 true 或 false"; }
inline std::string NotAMemorySize(const std::string& field) { return field + "只能是不超过4位的数字"; }
inline std::string MemorySizeMissing(const std::string& field) { return "关闭“自动配置”时必须填写" + field; }
inline constexpr const char* kMemoryMaxZero = "关闭“自动配置”时，最大内存(MB)必须大于0";
inline constexpr const char* kMemoryMinAboveMax = "最小内存(MB)不能大于最大内存(MB)，否则 Java 无法启动";
inline constexpr const char* kGamePathEmpty = "游戏路径不能为空";
inline std::string GameFolderNotCreated(const std::string& folder) { return "无法创建游戏文件夹:\n" + folder; }
inline constexpr const char* kInstanceFoldersLeftBehind =
    "游戏实例的文件夹（存档、设置）位于游戏路径旁的 Instance 文件夹中。\n"
    "更改游戏路径后，启动器将使用新位置的实例文件夹，原来的存档不再显示；\n"
    "原文件夹保持原样，不会被移动或删除。";
inline constexpr const char* kContinueQuestion = "是否继续?";
inline std::string NotAJavaRuntime(const std::string& path) { return "所选文件不是可以使用的 Java 程序:\n" + path; }
inline std::string UnknownSetting(const std::string& key) { return "没有这个设置项: " + key; }
inline std::string UnknownDownloadSource(const std::string& name) {
  return "下载源只能是 official（官方）、bmclapi（国内镜像）或 mirror（部署镜像）: " + name;
}
inline constexpr const char* kJavaVerFollowsJavaPath = "JavaVer 不能单独设置，设置 JavaPath 时会一并写入";
inline constexpr const char* kPasswordPrompt = "密码: ";
inline constexpr const char* kPasswordNotRead = "没有读到密码";
inline std::string SettingsSaved(const std::string& keys) { return "已保存设置: " + keys; }

// Files written below a folder that must not be left.
inline std::string FolderIsLink(const std::string& folder) { return folder + " 是指向别处的链接，不会经由它写入文件"; }
inline std::string FolderNotUsable(const std::string& folder) { return folder + " 不是可以写入的文件夹"; }
inline std::string WriteOutsideFolder(const std::string& path, const std::string& folder) {
  return path + " 不在 " + folder + " 之内，不会写入";
}

// The download window's lines.
inline constexpr const char* kFileSizeLabel = "文件大小:";
inline constexpr const char* kSpeedLabel = "下载速度:";

// The launcher's own updates and the Java prompt.
inline constexpr const char* kUpdateOfferTitle = "更新提示";
inline std::string UpdateOffer(const std::string& publishedVersion) {
  return "检测到新版本" + publishedVersion + "是否立即更新?";
}
inline constexpr const char* kJavaDownload = "未找到JAVA运行环境是否立即下载安装?";

// Which Java a version is started with, and why.
inline std::string JavaConfiguredFits(int major, int required) {
  return "使用设置中的 Java " + std::to_string(major) + "：此版本需要 Java " + std::to_string(required);
}
inline std::string JavaConfiguredOfUnknownVersion(int required) {
  return "使用设置中的 Java（无法读取它的版本）：此版本需要 Java " + std::to_string(required);
}
// `configuredMajor`: the major of the Java the settings name that does not fit, 0 for none.
inline std::string JavaNotConfigured(int configuredMajor) {
  return configuredMajor == 0 ? "" : "，设置中的 Java " + std::to_string(configuredMajor) + " 不符合";
}
inline std::string JavaFoundExact(int required, int configuredMajor) {
  return "使用找到的 Java " + std::to_string(required) + "：此版本需要 Java " + std::to_string(required) +
         JavaNotConfigured(configuredMajor);
}
inline std::string JavaFoundNewer(int required, int major, int configuredMajor) {
  return "使用找到的 Java " + std::to_string(major) + "：此版本需要 Java " + std::to_string(required) +
         "，没有找到 Java " + std::to_string(required) + "，更新的版本也可以" + JavaNotConfigured(configuredMajor);
}
// No Java fits: the launch stops; the window asks the question after it and offers the download.
inline std::string JavaMissing(int required, bool newerAllowed) {
  return "此版本需要 Java " + std::to_string(required) + (newerAllowed ? " 或更新的版本" : "") +
         "，但没有找到合适的 JAVA 运行环境。";
}
inline constexpr const char* kDownloadJavaQuestion = "是否立即下载安装?";
inline constexpr const char* kUpdaterFailed = "启动Update.exe失败";

// Signing in.
inline constexpr const char* kSignInTimedOut = "登录超时";
inline constexpr const char* kAccountServerUnreachable = "无法连接账户服务器";
inline constexpr const char* kSignInNoData = "未请求到数据";
inline std::string SignInRefused(const std::string& error, const std::string& message) {
  return "错误:" + error + " 错误信息:" + message;
}
inline constexpr const char* kSignInNotSaved = "无法保存登录信息";
inline constexpr const char* kAccountServerAnswerTooLarge = "账户服务器的回答过大（超过 1 MiB），已拒绝";
// The account of the launch cannot sign in without the player: no token of this server and no
// password given for it.
inline constexpr const char* kSignInAgain =
    "请重新登录：没有保存这个账户服务器的密码和登录信息。\n请在设置中输入这个服务器的账户和密码";

// Account servers, their profiles and their agent.
inline std::string AccountServerNotWeb(const std::string& address) {
  return "账户服务器地址无效（须以 http:// 或 https:// 开头）: " + address;
}
inline constexpr const char* kAccountServerBadLocation = "账户服务器指示的 API 地址无效";
inline constexpr const char* kAccountServerBadMetadata = "账户服务器的 API 元数据无效";
inline constexpr const char* kAccountServerBadRedirect = "账户服务器转到的地址无效";
inline constexpr const char* kAccountServerTooManyRedirects = "账户服务器的转址次数过多";
// An https address that leads to plain http: the password would go unencrypted.
inline std::string AccountServerInsecureMove(const std::string& from, const std::string& to) {
  return "已拒绝：账户服务器 " + from + " 要求改用不加密的地址 " + to + "，密码会以明文传送";
}
// The account server changed: what was given for the old one is gone.
inline constexpr const char* kAccountClearedForNewServer = "账户服务器已更改，原来的账户和密码已清除，请输入这个服务器的账户和密码";
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

// Microsoft accounts: the device code, Xbox Live, the game's services and the kept sign-in.
inline constexpr const char* kMicrosoftAccount = "微软账户";
inline constexpr const char* kMsaNoClientId =
    "这个版本的 Korvane 没有注册微软应用程序 ID，无法登录微软账户。\n"
    "请在 Microsoft Entra（Azure）注册一个应用程序，然后把它的 ID 设为 MsaClientId"
    "（korvane-cli set MsaClientId ID），或设置环境变量 KORVANE_MSA_CLIENT_ID";
inline constexpr const char* kMsaSignInCancelled = "已取消登录";
inline constexpr const char* kMsaCodeExpired = "登录代码已过期，请重新登录";
inline constexpr const char* kMsaDeclined = "你在微软的登录页面上拒绝了授权，登录未完成";
inline constexpr const char* kMsaAccessDenied = "微软拒绝了这次登录请求，请重新登录";
inline constexpr const char* kMsaBadCode = "微软不认识这个登录代码，请重新登录";
inline std::string MsaClientRefused(const std::string& error) {
  return "微软不接受这个启动器的应用程序 ID（" + error + "），请检查 MsaClientId";
}
inline std::string MsaRefused(const std::string& error, const std::string& description) {
  return "微软账户登录失败: " + error + (description.empty() ? "" : " " + description);
}
inline constexpr const char* kMsaSignInAgain =
    "微软账户的登录已失效，请重新登录（设置 → 微软账户，或 korvane-cli login --microsoft）";
inline constexpr const char* kMsaNotSignedIn =
    "还没有登录微软账户，请先登录（设置 → 微软账户，或 korvane-cli login --microsoft）";
inline constexpr const char* kMsaAccountFileDamaged = "保存的微软账户登录信息已损坏，请重新登录";
inline std::string MsaAnswerUnreadable(const std::string& service) { return service + " 的回答无法识别，登录未完成"; }
inline std::string MsaServiceRefused(const std::string& service, long status) {
  return service + " 拒绝了登录（HTTP " + std::to_string(status) + "），请稍后再试";
}
inline constexpr const char* kXboxNoProfile =
    "这个微软账户还没有 Xbox 档案。请先在 https://www.xbox.com 登录并创建 Xbox 档案，然后重新登录";
inline constexpr const char* kXboxNotInRegion = "你所在的国家或地区不提供 Xbox Live 服务，无法用这个账户登录";
inline constexpr const char* kXboxAdultCheck =
    "这个账户需要完成成人验证（年龄和游戏时间的检查）。请在 https://account.xbox.com 完成验证后重新登录";
inline constexpr const char* kXboxChildAccount =
    "这是未成年人的账户，须由家长把它加入 Microsoft 家庭组后才能登录。"
    "请家长在 https://account.microsoft.com/family 添加这个账户";
inline constexpr const char* kXboxBanned = "这个账户已被 Xbox Live 封禁，无法登录";
inline constexpr const char* kXboxGuardianBlocks =
    "家长设置不允许这个账户联机游戏。请家长在 https://account.xbox.com/settings 中允许后重新登录";
inline constexpr const char* kXboxTermsNotAccepted =
    "这个账户还没有接受 Xbox 的服务条款。请在 https://www.xbox.com 登录并接受条款后重新登录";
inline std::string XboxRefused(const std::string& code) { return "Xbox Live 拒绝了登录（XErr " + code + "）"; }
inline constexpr const char* kXboxUserHashMismatch = "Xbox Live 两次给出的用户标识不一致，登录已停止";
inline constexpr const char* kMsaAppNotApproved =
    "Minecraft 的服务拒绝了这个启动器的应用程序 ID（HTTP 403）：这个 ID 尚未获准使用 Minecraft 的服务。"
    "这不是密码错误；请使用已获批准的应用程序 ID（MsaClientId）";
inline constexpr const char* kMsaNoGame = "该账户没有购买 Minecraft";
inline constexpr const char* kMsaNoProfile = "请先在官网创建角色名";
inline constexpr const char* kMsaWaitingForCode = "正在向微软获取登录代码…";
inline constexpr const char* kMsaWaitingForPlayer = "请在浏览器中打开网址并输入代码，登录后这里会继续";
inline std::string MsaSignedIn(const std::string& profileName) { return "登录成功，角色: " + profileName; }
inline constexpr const char* kMsaSignedOut = "已退出微软账户";
inline constexpr const char* kMsaAccountNotForgotten = "无法删除保存的微软账户登录信息";
inline constexpr const char* kMsaNotSignedInYet = "没有登录的微软账户";

// A download that kept failing.
inline std::string DownloadFailed(const std::string& fileName, const std::string& reason) {
  std::string text = "错误信息：无法下载文件 " + fileName;
  if (!reason.empty()) text += "\n原因: " + reason;
  return text;
}
// An archive that arrived but could not be unpacked; it is removed, so the next launch fetches it.
inline std::string UnpackFailed(const std::string& fileName, const std::string& reason) {
  return "错误信息：无法解压文件 " + fileName + "\n原因: " + reason + "\n已删除这个文件，下次启动时会重新下载";
}
inline constexpr const char* kArchiveUnopenable = "压缩包无法打开（不完整或已损坏）";
inline std::string ArchiveItemsNotWritten(int count) { return std::to_string(count) + " 个文件无法解压"; }
// A file that should be a zip archive (a jar, legacy.zip) but is not a whole one.
inline constexpr const char* kNotAWholeArchive = "下载的文件不是完整的压缩包";

// One download that brought no usable file: the address and why.
inline std::string DownloadBroken(const std::string& url, const std::string& reason) {
  return "无法下载 " + url + ": " + reason;
}
inline std::string DownloadTooLarge(const std::string& url, unsigned long long limitBytes) {
  return "无法下载 " + url + ": 内容超过 " + std::to_string(limitBytes) + " 字节的上限，已停止";
}
inline std::string FileNotWritten(const std::string& path) { return "无法写入文件 " + path; }
inline constexpr const char* kNoSizeAnnounced = "服务器没有回应或没有告知文件大小";
inline constexpr const char* kNoAddress = "下载源没有这个文件的地址";
inline constexpr const char* kNotTheDescribedFile = "内容与描述的大小或 SHA-1 不符";

// A downloaded document that is not what it must be (a network's sign-in page, say): the copy on
// disk stays.
inline std::string DocumentNotJson(const std::string& what) {
  return what + "不是应有的 JSON 文档（可能是网络登录页面或错误页面）";
}
inline std::string DocumentLacks(const std::string& what, const std::string& member) {
  return what + "缺少 " + member;
}
inline std::string DocumentNotReplaced(const std::string& path, const std::string& reason) {
  return "未替换 " + path + ": " + reason;
}
inline constexpr const char* kVersionListDocument = "版本列表";
inline constexpr const char* kAssetIndexDocument = "资源索引";
inline std::string VersionDescriptionDocument(const std::string& version) { return "版本 " + version + " 的描述文件"; }
// A description that calls itself another version than the folder it was read from.
inline std::string DescriptionNamesAnotherVersion(const std::string& version, const std::string& named) {
  return "版本 " + version + " 的描述文件 versions/" + version + "/" + version + ".json 声明的版本是 " + named +
         "，与所在文件夹不符";
}

// What a launch does while the loading indicator is up, step by step.
inline constexpr const char* kStagePreparing = "正在准备启动…";
inline constexpr const char* kStageSigningIn = "正在登录账户…";
inline constexpr const char* kStageFetchingAgent = "正在准备 authlib-injector…";
inline std::string StageCheckingVersion(const std::string& version) {
  return "正在获取版本 " + version + " 的描述和资源索引…";
}
inline constexpr const char* kStageCheckingFiles = "正在检查游戏文件…";
inline constexpr const char* kStageCancelling = "正在取消…";

// The end of a launch that did not start the game.
inline constexpr const char* kVersionUnreadable = "错误信息：获取启动参数失败\n错误代码:ERROR_LoadVersionObj";
// A version whose description is missing or cannot be read: which one, and how to get it back.
inline std::string VersionUnreadable(const std::string& version) {
  return std::string(kVersionUnreadable) + "\n版本 " + version + " 的描述文件缺失或已损坏: versions/" + version + "/" +
         version + ".json\n请删除这个文件后重新启动游戏，启动器会重新下载它";
}
inline constexpr const char* kAssetIndexUnreadable = "错误信息：获取启动参数失败\n错误代码:ERROR_LoadAssertObj";
inline constexpr const char* kSignInFailedPrefix = "验证失败!";
inline constexpr const char* kInstanceFolderRefused = "错误信息：实例名称不能用作文件夹名";
inline std::string GameFolderSplitsClassPath(const std::string& gameFolder) {
  return "错误信息：游戏文件夹的路径中含有类路径分隔符，游戏无法启动。\n请把游戏文件夹移到路径中没有该字符的位置:\n" + gameFolder;
}

// A game that ended with an error, and the start button pressed while a game still runs.
// `analysis`: why it crashed, as the crash analysis says it; empty when it found nothing.
inline std::string GameCrashed(int exitStatus, const std::string& analysis, const std::string& lastLines,
                               const std::string& outputFile) {
  std::string text = "游戏异常退出，退出代码: " + std::to_string(exitStatus);
  if (!analysis.empty()) text += "\n" + analysis;
  if (!lastLines.empty()) text += "\n最后的输出:\n" + lastLines;
  if (!outputFile.empty()) text += "\n完整的输出保存在: " + outputFile;
  return text;
}
inline constexpr const char* kGameRunning = "游戏正在运行，请先退出游戏再启动";

// Why a game crashed, as the crash analysis found it, and what the player can do about it.
inline std::string CrashCause(const std::string& title) { return "可能的原因: " + title; }
inline std::string CrashSeenIn(const std::string& source) { return "（见 " + source + "）"; }
inline std::string CrashOtherCauses(const std::string& titles) { return "其他可能的原因: " + titles; }
inline constexpr const char* kCrashCauseSeparator = "；";
inline std::string CrashDescription(const std::string& description) { return "崩溃报告中的描述: " + description; }
inline constexpr const char* kCrashNoCause = "没有找到已知的崩溃原因";
inline constexpr const char* kCrashActionJavaSettings = "Java 设置";
inline constexpr const char* kCrashActionDownloadRuntime = "下载 Java";
inline constexpr const char* kCrashActionMemorySettings = "内存设置";
inline constexpr const char* kCrashActionModPage = "打开 Mod 页面";
inline constexpr const char* kCrashActionModsFolder = "打开 mods 文件夹";
inline std::string FileNotReadable(const std::string& path) { return "无法读取文件: " + path; }

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

// Loaders: their version lists and their installation. `loader` is the loader's own name
// ("Fabric").
inline constexpr const char* kNoLoader = "无";
inline constexpr const char* kLoaderStable = "稳定版";
inline constexpr const char* kLoaderRecommended = "推荐";
inline constexpr const char* kLoaderUnavailableMark = "不可用";
inline constexpr const char* kLoaderListsLoading = "正在获取加载器版本……";
inline constexpr const char* kLoaderVersionNotChosen = "请先选择加载器版本";
inline constexpr const char* kTileLoaderLabel = "加载器：";
inline std::string LoaderListFailed(const std::string& loader, const std::string& reason) {
  return "无法获取 " + loader + " 的版本列表" + (reason.empty() ? "" : "（" + reason + "）");
}
inline std::string LoaderListUnreadable(const std::string& loader, const std::string& url) {
  return loader + " 的版本列表无法读取: " + url;
}
inline std::string LoaderUnavailable(const std::string& loader, const std::string& gameVersion) {
  return loader + " 没有适用于 " + gameVersion + " 的版本";
}
inline constexpr const char* kInstallLoaderDescription = "获取加载器描述文件";
inline constexpr const char* kInstallGameDescription = "获取游戏版本描述文件";
inline constexpr const char* kInstallInstaller = "下载安装器";
inline constexpr const char* kInstallLibraries = "下载库文件";
inline constexpr const char* kInstallProcessors = "运行处理器";
inline std::string LoaderVersionMissing(const std::string& loader, const std::string& version,
                                        const std::string& gameVersion) {
  return "没有适用于 " + gameVersion + " 的 " + loader + " " + version;
}
inline std::string LoaderDescriptionFailed(const std::string& loader, const std::string& reason) {
  return "无法获取 " + loader + " 的描述文件" + (reason.empty() ? "" : "（" + reason + "）");
}
inline std::string LoaderDescriptionInvalid(const std::string& loader, const std::string& version) {
  return loader + " " + version + " 的描述文件无效，无法安装";
}
inline std::string LoaderGameDescriptionMissing(const std::string& gameVersion) {
  return "无法获取游戏版本 " + gameVersion + " 的描述文件（请检查网络连接和下载源设置）";
}
inline std::string LoaderDescriptionNotWritten(const std::string& path) { return "无法写入版本描述文件: " + path; }
inline std::string LoaderInstallNotAvailable(const std::string& loader) {
  return "暂时还不能安装 " + loader + "：启动器尚未提供它的安装";
}
// Installers: archives, their profiles and the processors they run.
inline std::string ArchiveUnreadable(const std::string& path) { return "无法读取压缩包: " + path; }
inline std::string ArchiveEntryMissing(const std::string& archive, std::string_view entry) {
  return "压缩包 " + archive + " 中没有 " + std::string(entry);
}
inline std::string ArchiveEntryUnreadable(const std::string& archive, std::string_view entry) {
  return "无法解压 " + archive + " 中的 " + std::string(entry);
}
inline std::string InstallerFailed(const std::string& loader, const std::string& reason) {
  return "无法获取 " + loader + " 的安装器（" + reason + "）";
}
inline std::string InstallerInvalid(const std::string& loader, const std::string& reason) {
  return loader + " 的安装器无效，无法安装（" + reason + "）";
}
inline std::string ProcessorJavaMissing(int major) {
  return "没有可以运行安装处理器的 Java（需要 Java " + std::to_string(major) + "），请在设置中指定 Java 路径";
}
inline std::string ProcessorNotStarted(const std::string& processor, const std::string& reason) {
  return "无法启动处理器 " + processor + "（" + reason + "）";
}
inline std::string ProcessorFailed(const std::string& processor, int status) {
  return "处理器 " + processor + " 运行失败（退出状态 " + std::to_string(status) + "）";
}
inline std::string ProcessorOutputWrong(const std::string& processor, const std::string& file) {
  return "处理器 " + processor + " 的输出文件不正确: " + file;
}
inline std::string MappingsFailed(const std::string& gameVersion, const std::string& reason) {
  return "无法下载游戏版本 " + gameVersion + " 的混淆映射表（" + reason + "）";
}
inline std::string LoaderInstalled(const std::string& loader, const std::string& versionId) {
  return "已安装 " + loader + "（版本 " + versionId + "）";
}

// A version that extends another ("inheritsFrom") whose chain cannot be followed.
inline std::string ParentVersionMissing(const std::string& parent) {
  return "错误信息：找不到前置版本 " + parent + "\n错误代码:ERROR_LoadVersionObj";
}
inline std::string VersionInheritanceCycle(const std::string& version) {
  return "错误信息：版本的继承关系形成循环（" + version + "）\n错误代码:ERROR_LoadVersionObj";
}
inline std::string VersionIdMismatch(const std::string& version, const std::string& named) {
  return "错误信息：" + DescriptionNamesAnotherVersion(version, named) + "，启动器不使用它\n错误代码:ERROR_LoadVersionObj";
}
inline std::string VersionInheritanceTooDeep(int limit) {
  return "错误信息：版本的继承层级超过 " + std::to_string(limit) + " 层\n错误代码:ERROR_LoadVersionObj";
}

}  // namespace kv::msg
