// The download window driving the download engine against korvane-mirror.
#include "dialogs/download_wnd.h"

#include <gtest/gtest.h>

#include <QWidget>

#include "tests/net/mirror_process.h"
#include "tests/uilib/gui_test_support.h"
#include "tests/uilib/window_probes.h"
#include "uilib/progress.h"
#include "uilib/ui_cast.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv {
namespace {

using namespace ui;

class DownloadWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HasLauncherSkin()) GTEST_SKIP() << "no skin in this build";
  }

  // Files of the given sizes on the server, planned into the local folder.
  std::vector<DownloadItem> Serve(const std::vector<std::size_t>& sizes, const std::vector<std::string>& options = {}) {
    std::vector<DownloadItem> plan;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
      const std::string name = "file" + std::to_string(i + 1) + ".bin";
      test::WriteFile(server_ / ("files/" + name), std::string(sizes[i], static_cast<char>('a' + i)));
      plan.push_back({.name = name, .path = local_ / ("game/" + name)});
    }
    mirror_ = std::make_unique<test::MirrorProcess>(server_.Path(), options);
    EXPECT_TRUE(mirror_->Started());
    for (DownloadItem& item : plan) item.urls = {mirror_->BaseUrl() + "/files/" + item.name};
    return plan;
  }

  test::TempFolder server_;
  test::TempFolder local_;
  std::unique_ptr<test::MirrorProcess> mirror_;
};

TEST_F(DownloadWindow, ShowsEachFileAndEndsWithOneWhenEverythingIsInPlace) {
  std::vector<DownloadItem> plan = Serve({1023, 1024, 1048577}, {"--delay", "100", "--rate", "4000000"});
  std::vector<QString> indexes;
  std::vector<QString> sizes;
  test::Watcher watcher([&] {
    CWindowWnd* window = test::FindOpenWindow(QStringLiteral("KvDownLoadWnd"));
    if (!window) return;
    const QString index = test::TextOf(window, "LB_FileIndex");
    if (indexes.empty() || indexes.back() != index) indexes.push_back(index);
    const QString size = test::TextOf(window, "LB_FileSize");
    if (sizes.empty() || sizes.back() != size) sizes.push_back(size);
  });
  // One file at a time, so that each of them is on show for a while.
  DownloadOptions options;
  options.transfers = 1;
  CDownLoadWnd window(plan, options);
  DownloadOutcome outcome = window.Run(nullptr);
  EXPECT_EQ(outcome.result, DownloadResult::Completed);
  EXPECT_EQ(window.GetHWND(), nullptr);
  for (const DownloadItem& item : plan) EXPECT_TRUE(PathExists(item.path)) << item.path;
  // The counter tells the files in place; the window closes as the last one arrives.
  ASSERT_GE(indexes.size(), 4u);
  EXPECT_EQ(indexes[0], QStringLiteral("(0/0)"));
  EXPECT_EQ(indexes[1], QStringLiteral("(0/3)"));
  EXPECT_EQ(indexes[2], QStringLiteral("(1/3)"));
  EXPECT_EQ(indexes[3], QStringLiteral("(2/3)"));
  EXPECT_NE(std::find(sizes.begin(), sizes.end(), QStringLiteral("文件大小:1023B")), sizes.end());
  EXPECT_NE(std::find(sizes.begin(), sizes.end(), QStringLiteral("文件大小:1.00KB")), sizes.end());
  EXPECT_EQ(sizes.back(), QStringLiteral("文件大小:1.00MB"));
}

TEST_F(DownloadWindow, WithSeveralTransfersTheBarCoversTheRunAndCancelKeepsTheParts) {
  std::vector<DownloadItem> plan = Serve({2000000, 1000, 1000}, {"--rate", "400000"});
  for (DownloadItem& item : plan) item.size = static_cast<std::int64_t>(GetFileSize(server_ / ("files/" + item.name)));
  bool pictured = false;
  test::Watcher watcher([&] {
    CWindowWnd* window = test::FindOpenWindow(QStringLiteral("KvDownLoadWnd"));
    if (!window || pictured) return;
    auto* bar = ui_cast<CProgressUI>(test::ControlOf(window, "DownLoad_process"));
    // The small files are in place, the big one is half-way, and the speed has been reported.
    if (bar->GetValue() < 1000 || test::TextOf(window, "LB_FileIndex") != QStringLiteral("(2/3)") ||
        test::TextOf(window, "LB_DownLoadSpeed") == QStringLiteral("下载速度:")) {
      return;
    }
    pictured = true;
    // The bar covers the bytes of the whole run, which the line beside the cancel button gives;
    // name and size are those of one file.
    EXPECT_EQ(bar->GetMaxValue(), 2002000 / 1024);
    EXPECT_TRUE(test::TextOf(window, "LB_Total").endsWith(QStringLiteral(" / 1.91MB")))
        << test::TextOf(window, "LB_Total").toStdString();
    EXPECT_TRUE(test::TextOf(window, "LB_DownLoadSpeed").endsWith(QStringLiteral("KB/s")))
        << test::TextOf(window, "LB_DownLoadSpeed").toStdString();
    const QString name = test::TextOf(window, "LB_FileName");
    const QString size = test::TextOf(window, "LB_FileSize");
    if (name == QStringLiteral("下载文件:file1.bin")) {
      EXPECT_EQ(size, QStringLiteral("文件大小:1.91MB"));
    } else {
      EXPECT_EQ(size, QStringLiteral("文件大小:1000B")) << name.toStdString();
    }
    test::SaveScreenshot(window->GetHWND(), QStringLiteral("download_window_mid_run"));
    test::ClickControlOf(window, "Btn_Cancel");
  });
  CDownLoadWnd window(plan);
  DownloadOutcome outcome = window.Run(nullptr);
  ASSERT_TRUE(pictured);
  EXPECT_EQ(outcome.result, DownloadResult::Cancelled);
  EXPECT_FALSE(PathExists(plan[0].path));
  EXPECT_GT(GetFileSize(plan[0].path + ".tmp"), 1000u * 1024);
  EXPECT_TRUE(PathExists(plan[1].path));
  EXPECT_TRUE(PathExists(plan[2].path));
}

// A run shorter than a second still tells its speed: it is measured from the start on.
TEST_F(DownloadWindow, AShortRunShowsItsSpeedWhileItRuns) {
  std::vector<DownloadItem> plan = Serve({240000}, {"--rate", "400000"});
  std::vector<QString> speeds;
  test::Watcher watcher([&] {
    CWindowWnd* window = test::FindOpenWindow(QStringLiteral("KvDownLoadWnd"));
    if (!window) return;
    const QString speed = test::TextOf(window, "LB_DownLoadSpeed");
    if (speeds.empty() || speeds.back() != speed) speeds.push_back(speed);
  });
  CDownLoadWnd window(plan);
  ASSERT_EQ(window.Run(nullptr).result, DownloadResult::Completed);
  const bool shown = std::any_of(speeds.begin(), speeds.end(), [](const QString& speed) {
    return speed.endsWith(QStringLiteral("B/s")) && speed != QStringLiteral("下载速度:0.00KB/s");
  });
  EXPECT_TRUE(shown) << speeds.size() << " texts, the last " << speeds.back().toStdString();
}

TEST_F(DownloadWindow, TheCloseCommandCancelsToo) {
  std::vector<DownloadItem> plan = Serve({1000, 1000, 1000}, {"--delay", "300"});
  bool closed = false;
  test::Watcher watcher([&] {
    CWindowWnd* window = test::FindOpenWindow(QStringLiteral("KvDownLoadWnd"));
    if (!window || closed || test::TextOf(window, "LB_FileIndex") != QStringLiteral("(0/3)")) return;
    closed = true;
    window->SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
  });
  CDownLoadWnd window(plan);
  EXPECT_EQ(window.Run(nullptr).result, DownloadResult::Cancelled);
  EXPECT_TRUE(closed);
  for (const DownloadItem& item : plan) EXPECT_FALSE(PathExists(item.path)) << item.path;
}

TEST_F(DownloadWindow, RetriesAreShownAndAFileThatKeepsFailingEndsWithItsName) {
  std::vector<DownloadItem> plan = Serve({1000, 1000}, {"--status", "/files/file2.bin=503"});
  std::vector<QString> speeds;
  test::Watcher watcher([&] {
    CWindowWnd* window = test::FindOpenWindow(QStringLiteral("KvDownLoadWnd"));
    const QString speed = test::TextOf(window, "LB_DownLoadSpeed");
    if (window && (speeds.empty() || speeds.back() != speed)) speeds.push_back(speed);
  });
  DownloadOptions options;
  options.firstRetryDelay = std::chrono::milliseconds(150);
  options.failuresBeforeGivingUp = 3;
  CDownLoadWnd window(plan, options);
  DownloadOutcome outcome = window.Run(nullptr);
  EXPECT_EQ(outcome.result, DownloadResult::Failed);
  EXPECT_EQ(outcome.failedName, "file2.bin");
  EXPECT_TRUE(PathExists(plan[0].path));
  EXPECT_NE(std::find(speeds.begin(), speeds.end(), CDownLoadWnd::RetryingText(1, outcome.reason)), speeds.end());
  EXPECT_EQ(msg::DownloadFailed(outcome.failedName, outcome.reason), "错误信息：无法下载文件 file2.bin\n原因: " + outcome.reason);
  EXPECT_EQ(outcome.reason, "HTTP 503");
}

}  // namespace
}  // namespace kv
