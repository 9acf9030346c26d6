#include "net/update_check.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "tests/support/temp_folder.h"
#include "util/messages.h"

namespace kv {
namespace {

TextFetcher Serving(std::string body, bool ok = true) {
  return [body, ok](const std::string&, std::string& out) {
    out = body;
    return ok;
  };
}

TEST(UpdateCheck, VersionsCompareDottedNumbersPartByPart) {
  EXPECT_LT(CompareVersions("0.1.3", "0.1.10"), 0);
  EXPECT_LT(CompareVersions("0.1.3", "0.2"), 0);
  EXPECT_LT(CompareVersions("0.1.3", "1.0"), 0);
  EXPECT_GT(CompareVersions("0.1.3", "0.1"), 0);
  EXPECT_EQ(CompareVersions("1.0", "1"), 0);
  EXPECT_EQ(CompareVersions("0.1.3", "0.1.3"), 0);
  // Beyond the int range a part stays the largest one instead of wrapping round.
  EXPECT_LT(CompareVersions("0.1.3", "4.4294967309"), 0);
  EXPECT_EQ(FindNewerVersion("u", Serving("4.29.4967309")), "4.29.4967309");
}

TEST(UpdateCheck, OffersOnlyANewerPublishedVersion) {
  EXPECT_EQ(FindNewerVersion("u", Serving("0.1.4")), "0.1.4");
  // The version file usually ends in a line end, which belongs to neither the offer nor the
  // updater's command line.
  EXPECT_EQ(FindNewerVersion("u", Serving(" 0.1.4\r\n")), "0.1.4");
  EXPECT_EQ(FindNewerVersion("u", Serving("0.1.10")), "0.1.10");
  EXPECT_EQ(FindNewerVersion("u", Serving("0.2")), "0.2");
  EXPECT_EQ(FindNewerVersion("u", Serving("1.0")), "1.0");
  EXPECT_FALSE(FindNewerVersion("u", Serving(std::string(LauncherVersion()))));
  EXPECT_FALSE(FindNewerVersion("u", Serving("0.1")));
  EXPECT_FALSE(FindNewerVersion("u", Serving("0.1.4", false)));
  EXPECT_FALSE(FindNewerVersion("u", Serving("")));
}

TEST(UpdateCheck, PagesThatAreNotAVersionNeverOfferAnUpdate) {
  EXPECT_FALSE(FindNewerVersion("u", Serving("<html><title>404 Not Found</title>9.9.9</html>")));
  EXPECT_FALSE(FindNewerVersion("u", Serving("99 problems")));
  EXPECT_FALSE(FindNewerVersion("u", Serving(std::string(300, '9'))));
}

TEST(UpdateCheck, TextsAndCommandLines) {
  EXPECT_EQ(msg::UpdateOffer("0.1.4"), "检测到新版本0.1.4是否立即更新?");
  EXPECT_EQ(UpdateCommandLine("0.1.4"), "Update:0.1.4");
}

TEST(UpdateCheck, StartsTheUpdaterInItsFolderWithoutWaiting) {
  test::TempFolder dir;
  // The updater writes only once the test has seen StartUpdater return: a start that waited
  // for the updater would never return.
  test::WriteFile(dir / "Update",
                  "#!/bin/sh\nwhile [ ! -e go ]; do sleep 0.02; done\npwd > started.txt\necho \"$1\" >> started.txt\n");
  ::chmod((dir / "Update").c_str(), 0755);
  ASSERT_TRUE(StartUpdater(dir.Path(), "", "Update:0.1.4"));
  test::WriteFile(dir / "go", "");
  std::string folder = dir.Path();
  folder.pop_back();
  for (int i = 0; i < 500 && test::ReadFile(dir / "started.txt").find('\n', folder.size() + 1) == std::string::npos; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_EQ(test::ReadFile(dir / "started.txt"), folder + "\nUpdate:0.1.4\n");
  EXPECT_FALSE(StartUpdater(dir / "missing/", "", "DownLoadJava"));
}

}  // namespace
}  // namespace kv
