#include "install/native_extraction.h"

#include <gtest/gtest.h>
#include <minizip/zip.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <zlib.h>

#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"
#include "util/messages.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

// The diagnostic log goes to the launcher folder; these tests keep it in a folder of their own.
const test::TempFolder& LauncherHome() {
  static const test::TempFolder home;
  return home;
}

class LauncherHomeInTempFolder : public ::testing::Environment {
 public:
  void SetUp() override { ::setenv("KORVANE_HOME", LauncherHome().Path().c_str(), 1); }
};
const auto* const kLauncherHome = ::testing::AddGlobalTestEnvironment(new LauncherHomeInTempFolder);

struct Item {
  std::string name;
  std::string bytes;
  bool wrongCrc = false;  // stored with a checksum that does not match its bytes
};

// 2015-03-14 09:26:53 local time, as the archive stores it.
zip_fileinfo StoredTime() {
  zip_fileinfo info{};
  info.tmz_date.tm_year = 2015;
  info.tmz_date.tm_mon = 2;
  info.tmz_date.tm_mday = 14;
  info.tmz_date.tm_hour = 9;
  info.tmz_date.tm_min = 26;
  info.tmz_date.tm_sec = 52;  // the stored form keeps even seconds
  return info;
}

void WriteArchive(const std::string& path, const std::vector<Item>& items) {
  zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
  ASSERT_NE(zip, nullptr);
  const zip_fileinfo info = StoredTime();
  for (const Item& item : items) {
    if (item.wrongCrc) {
      ASSERT_EQ(zipOpenNewFileInZip2(zip, item.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, 0, 0, 1), ZIP_OK);
      ASSERT_EQ(zipWriteInFileInZip(zip, item.bytes.data(), static_cast<unsigned>(item.bytes.size())), ZIP_OK);
      ASSERT_EQ(zipCloseFileInZipRaw(zip, item.bytes.size(), 0x12345678), ZIP_OK);
      continue;
    }
    ASSERT_EQ(zipOpenNewFileInZip(zip, item.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                  Z_DEFLATED, Z_DEFAULT_COMPRESSION), ZIP_OK);
    ASSERT_EQ(zipWriteInFileInZip(zip, item.bytes.data(), static_cast<unsigned>(item.bytes.size())), ZIP_OK);
    ASSERT_EQ(zipCloseFileInZip(zip), ZIP_OK);
  }
  ASSERT_EQ(zipClose(zip, nullptr), ZIP_OK);
}

// `size` bytes that do not compress away to nothing.
std::string TestText(std::size_t size) {
  std::string text(size, ' ');
  unsigned state = 12345;
  for (char& c : text) {
    state = state * 1103515245 + 12345;
    c = static_cast<char>('a' + (state >> 16) % 26);
  }
  return text;
}

// Every path below `root`, relative to it.
std::vector<std::string> Tree(const std::string& root) {
  std::vector<std::string> paths;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    paths.push_back(fs::relative(entry.path(), root).generic_string());
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

TEST(NativeExtraction, UnpacksEveryItemWithItsTime) {
  test::TempFolder temp;
  const std::string jar = temp / "lwjgl-natives.jar";
  WriteArchive(jar, {{"META-INF/", ""},
                     {"META-INF/MANIFEST.MF", "Manifest-Version: 1.0\n"},
                     {"liblwjgl64.so", std::string(200000, 'x')},
                     {"deep/er/lib.so", "lib"},
                     {"empty/", ""},
                     {"win\\style.dll", "dll"}});
  const std::string natives = temp / "libraries/org/lwjgl/2.9.1/";
  const ExtractionResult result = ExtractArchive(jar, natives);
  EXPECT_TRUE(result.opened);
  EXPECT_EQ(result.written, 6);
  EXPECT_EQ(result.failed, 0);
  EXPECT_EQ(result.refused, 0);
  EXPECT_EQ(Tree(natives), (std::vector<std::string>{"META-INF", "META-INF/MANIFEST.MF", "deep", "deep/er",
                                                     "deep/er/lib.so", "empty", "liblwjgl64.so", "win",
                                                     "win/style.dll"}));
  EXPECT_EQ(test::ReadFile(natives + "liblwjgl64.so"), std::string(200000, 'x'));
  EXPECT_EQ(test::ReadFile(natives + "META-INF/MANIFEST.MF"), "Manifest-Version: 1.0\n");

  std::tm local{};
  local.tm_year = 115;
  local.tm_mon = 2;
  local.tm_mday = 14;
  local.tm_hour = 9;
  local.tm_min = 26;
  local.tm_sec = 52;
  local.tm_isdst = -1;
  const auto expected = std::chrono::system_clock::from_time_t(std::mktime(&local));
  const auto written = std::chrono::file_clock::to_sys(fs::last_write_time(natives + "deep/er/lib.so"));
  EXPECT_EQ(std::chrono::duration_cast<std::chrono::seconds>(written - expected).count(), 0);
}

TEST(NativeExtraction, ExcludedNamesAreLeftOut) {
  test::TempFolder temp;
  const std::string jar = temp / "speech-natives.jar";
  WriteArchive(jar, {{"META-INF/", ""}, {"META-INF/MANIFEST.MF", "m"}, {"META-INF\\x.SF", "s"}, {"libspeech.so", "so"}});
  const ExtractionResult result = ExtractArchive(jar, temp / "natives/", {"META-INF/"});
  EXPECT_EQ(result.written, 1);
  EXPECT_EQ(result.excluded, 3);
  EXPECT_EQ(Tree(temp / "natives/"), std::vector<std::string>{"libspeech.so"});
}

TEST(NativeExtraction, ExistingFilesAreOverwritten) {
  test::TempFolder temp;
  const std::string jar = temp / "a.jar";
  WriteArchive(jar, {{"lib.so", "new"}});
  test::WriteFile(temp / "out/lib.so", "old and longer");
  EXPECT_EQ(ExtractArchive(jar, temp / "out/").written, 1);
  EXPECT_EQ(test::ReadFile(temp / "out/lib.so"), "new");
  // A folder given without its trailing separator works the same.
  EXPECT_EQ(ExtractArchive(jar, temp / "plain").written, 1);
  EXPECT_EQ(test::ReadFile(temp / "plain/lib.so"), "new");
}

TEST(NativeExtraction, NamesThatLeaveTheFolderAreNeverWritten) {
  test::TempFolder temp;
  const std::string jar = temp / "evil.jar";
  const std::string outside = temp / "outside/";
  fs::create_directories(outside);
  WriteArchive(jar, {{"../evil1", "x"},
                     {"a/../../evil2", "x"},
                     {"a/b/../../../evil3", "x"},
                     {"..\\evil4", "x"},
                     {"a\\..\\..\\evil5", "x"},
                     {"/tmp/korvane-evil6", "x"},
                     {"\\evil7", "x"},
                     {"C:/evil8", "x"},
                     {"c:evil9", "x"},
                     {"..", ""},
                     {"../", ""},
                     {"good.so", "ok"},
                     {"a/..b/fine.so", "ok"}});
  const std::string natives = temp / "game/natives/";
  const ExtractionResult result = ExtractArchive(jar, natives);
  EXPECT_EQ(result.refused, 11);
  EXPECT_EQ(result.written, 2);
  EXPECT_EQ(Tree(temp.Path()), (std::vector<std::string>{"evil.jar", "game", "game/natives", "game/natives/a",
                                                         "game/natives/a/..b", "game/natives/a/..b/fine.so",
                                                         "game/natives/good.so", "outside"}));
  EXPECT_FALSE(fs::exists("/tmp/korvane-evil6"));
  const std::string log = test::ReadFile(LauncherHome() / "log/log.log");
  EXPECT_NE(log.find("a/b/../../../evil3"), std::string::npos) << log;
}

TEST(NativeExtraction, APlantedLinkDoesNotRedirectTheWrite) {
  test::TempFolder temp;
  const std::string jar = temp / "a.jar";
  WriteArchive(jar, {{"lib.so", "from the archive"}});
  test::WriteFile(temp / "precious.txt", "keep");
  fs::create_directories(temp / "out");
  fs::create_symlink(temp / "precious.txt", temp / "out/lib.so");
  EXPECT_EQ(ExtractArchive(jar, temp / "out/").written, 1);
  EXPECT_EQ(test::ReadFile(temp / "precious.txt"), "keep");
  EXPECT_FALSE(fs::is_symlink(temp / "out/lib.so"));
  EXPECT_EQ(test::ReadFile(temp / "out/lib.so"), "from the archive");
}

TEST(NativeExtraction, AFolderPlantedAsALinkCarriesNoItemOutOfTheFolder) {
  test::TempFolder temp;
  const std::string jar = temp / "a.jar";
  WriteArchive(jar, {{"sub/lib.so", "from the archive"}, {"top.so", "fine"}});
  fs::create_directories(temp / "out");
  fs::create_directories(temp / "elsewhere");
  fs::create_directory_symlink(temp / "elsewhere", temp / "out/sub");
  const ExtractionResult result = ExtractArchive(jar, temp / "out/");
  EXPECT_EQ(result.refused, 1);
  EXPECT_EQ(result.written, 1);
  EXPECT_TRUE(fs::is_empty(temp / "elsewhere"));
  EXPECT_EQ(test::ReadFile(temp / "out/top.so"), "fine");
}

TEST(NativeExtraction, ABadItemDoesNotStopTheRest) {
  test::TempFolder temp;
  const std::string jar = temp / "a.jar";
  WriteArchive(jar, {{"first.so", "1"},
                     {"corrupt.so", "these bytes do not match their checksum", true},
                     {"blocked.so", "2"},
                     {"last.so", "3"}});
  fs::create_directories(temp / "out/blocked.so/inside");  // a folder stands where a file goes
  const ExtractionResult result = ExtractArchive(jar, temp / "out/");
  EXPECT_EQ(result.written, 2);
  EXPECT_EQ(result.failed, 2);
  EXPECT_EQ(test::ReadFile(temp / "out/first.so"), "1");
  EXPECT_EQ(test::ReadFile(temp / "out/last.so"), "3");
  EXPECT_FALSE(fs::exists(temp / "out/corrupt.so"));  // no half-checked file left behind
  EXPECT_TRUE(fs::is_directory(temp / "out/blocked.so/inside"));
}

TEST(NativeExtraction, TheArchiveBeingReadIsNeverWritten) {
  test::TempFolder temp;
  // A natives jar unpacked into its own folder, with items named like the jar itself.
  const std::string jar = temp / "lib/lwjgl-natives-linux.jar";
  fs::create_directories(temp / "lib");
  WriteArchive(jar, {{"lwjgl-natives-linux.jar", "not the jar"},
                     {"liblwjgl.so", std::string(70000, 'l')},
                     {"./lwjgl-natives-linux.jar", "not the jar either"},
                     {"libopenal.so", std::string(50000, 'o')}});
  const std::string before = test::ReadFile(jar);
  const ExtractionResult result = ExtractArchive(jar, temp / "lib/");
  EXPECT_EQ(test::ReadFile(jar), before);
  EXPECT_EQ(result.refused, 2);
  EXPECT_EQ(result.failed, 0);
  EXPECT_EQ(test::ReadFile(temp / "lib/liblwjgl.so"), std::string(70000, 'l'));
  EXPECT_EQ(test::ReadFile(temp / "lib/libopenal.so"), std::string(50000, 'o'));

  // The archive under a second name is the archive too.
  WriteArchive(temp / "alias.jar", {{"alias.jar", "not the jar"}});
  fs::create_directories(temp / "out");
  fs::create_hard_link(temp / "alias.jar", temp / "out/alias.jar");
  const std::string alias = test::ReadFile(temp / "alias.jar");
  EXPECT_EQ(ExtractArchive(temp / "alias.jar", temp / "out/").refused, 1);
  EXPECT_EQ(test::ReadFile(temp / "alias.jar"), alias);
}

TEST(NativeExtraction, ADownloadedArchiveThatCannotBeUnpackedFailsAndIsRemoved) {
  test::TempFolder temp;
  DownloadItem item{.name = "a.jar", .path = temp / "a.jar", .isArchive = true, .archivePath = temp / "a.jar",
                    .extractFolder = temp / "out/"};
  WriteArchive(item.archivePath, {{"first.so", "1"}, {"blocked.so", "2"}});
  fs::create_directories(temp / "out/blocked.so");  // a folder stands where a file goes
  const Status unpacked = UnpackDownloadedArchive(item);
  ASSERT_FALSE(unpacked.ok());
  EXPECT_EQ(unpacked.kind(), FailureKind::Io);
  EXPECT_EQ(unpacked.message(), msg::ArchiveItemsNotWritten(1));
  EXPECT_FALSE(fs::exists(item.archivePath)) << "kept, it would never be unpacked again";

  test::WriteFile(item.archivePath, "PK but no archive");
  EXPECT_EQ(UnpackDownloadedArchive(item).kind(), FailureKind::Invalid);
  EXPECT_FALSE(fs::exists(item.archivePath));

  WriteArchive(item.archivePath, {{"first.so", "1"}, {"../refused.so", "2"}});
  EXPECT_TRUE(UnpackDownloadedArchive(item).ok()) << "a refused name is the archive's fault, not the disk's";
  EXPECT_TRUE(fs::exists(item.archivePath));
}

TEST(NativeExtraction, ADownloadedArchiveMustBeWhole) {
  test::TempFolder temp;
  WriteArchive(temp / "whole.jar", {{"a.so", TestText(5000)}, {"b.so", TestText(7000)}});
  const std::string whole = test::ReadFile(temp / "whole.jar");
  const DownloadItem jar{.name = "c.jar", .path = temp / "c.jar"};
  EXPECT_TRUE(CheckDownloadedFile(jar, temp / "whole.jar").ok());
  // Cut anywhere, as a connection closed early but cleanly would leave it.
  for (std::size_t length : {std::size_t{0}, std::size_t{100}, whole.size() / 2, whole.size() - 30, whole.size() - 1}) {
    test::WriteFile(temp / "cut.part", whole.substr(0, length));
    const Status checked = CheckDownloadedFile(jar, temp / "cut.part");
    EXPECT_EQ(checked.ok() ? "whole" : checked.message(), msg::kNotAWholeArchive) << length;
  }
  // Archives to unpack, jars and zips by their names; other files are not judged.
  const DownloadItem legacy{.name = "legacy.zip", .path = temp / "legacy", .isArchive = true};
  const DownloadItem upper{.name = "X.ZIP", .path = temp / "X.ZIP"};
  const DownloadItem object{.name = "sound.ogg", .path = temp / "objects/ab/ab12"};
  EXPECT_FALSE(CheckDownloadedFile(legacy, temp / "cut.part").ok());
  EXPECT_FALSE(CheckDownloadedFile(upper, temp / "cut.part").ok());
  EXPECT_TRUE(CheckDownloadedFile(object, temp / "cut.part").ok());
}

TEST(NativeExtraction, ArchivesThatCannotBeOpened) {
  test::TempFolder temp;
  EXPECT_FALSE(ExtractArchive(temp / "missing.jar", temp / "out/").opened);
  test::WriteFile(temp / "text.jar", "this is not a zip archive");
  EXPECT_FALSE(ExtractArchive(temp / "text.jar", temp / "out/").opened);
  test::WriteFile(temp / "empty.jar", "");
  EXPECT_FALSE(ExtractArchive(temp / "empty.jar", temp / "out/").opened);
  // Truncated: the end of the archive is gone.
  WriteArchive(temp / "whole.jar", {{"a.so", std::string(5000, 'a')}});
  const std::string whole = test::ReadFile(temp / "whole.jar");
  test::WriteFile(temp / "cut.jar", whole.substr(0, whole.size() / 2));
  const ExtractionResult cut = ExtractArchive(temp / "cut.jar", temp / "out/");
  EXPECT_EQ(cut.written, 0);
  EXPECT_FALSE(fs::exists(temp / "out/a.so"));
}

}  // namespace
}  // namespace kv
