// Messages between threads and windows, modal loops and quitting.
#include <gtest/gtest.h>

#include <QThread>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "tests/uilib/gui_test_support.h"
#include "uilib/gui_thread.h"

namespace kv::ui {
namespace {

constexpr UINT kPing = WM_USER + 700;
constexpr UINT kAsk = WM_USER + 701;
const char* kLayout = "<Window size=\"200,100\"><VerticalLayout bkcolor=\"#FFFFFFFF\"/></Window>";

// Answers kAsk with twice its wParam, noting the thread it ran on.
class AnsweringWindow : public test::TestWindow {
 public:
  AnsweringWindow() : TestWindow(QString::fromUtf8(kLayout)) {}
  std::atomic<QThread*> answeredOn{nullptr};

 protected:
  LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override {
    if (msg == kAsk) {
      handled = true;
      answeredOn = QThread::currentThread();
      return static_cast<LRESULT>(wParam * 2);
    }
    return TestWindow::HandleCustomMessage(msg, wParam, lParam, handled);
  }
};

TEST(WindowThreads, PostedMessagesFromManyThreadsKeepEachThreadsOrder) {
  AnsweringWindow window;
  ASSERT_TRUE(window.Open());
  constexpr int kThreads = 4;
  constexpr int kEach = 200;
  std::vector<std::thread> workers;
  for (int t = 0; t < kThreads; ++t) {
    workers.emplace_back([&, t] {
      for (int i = 0; i < kEach; ++i) window.PostMessage(kPing, static_cast<WPARAM>(t), i);
    });
  }
  for (auto& w : workers) w.join();
  ASSERT_TRUE(test::PumpUntil([&] { return window.Messages().size() == kThreads * kEach; }));
  std::vector<LPARAM> next(kThreads, 0);
  for (const auto& m : window.Messages()) {
    ASSERT_EQ(m.lParam, next[m.wParam]);
    ++next[m.wParam];
  }
}

TEST(WindowThreads, SendMessageFromAWorkerWaitsForTheGuiThread) {
  AnsweringWindow window;
  ASSERT_TRUE(window.Open());
  std::atomic<LRESULT> answer = -1;
  std::thread worker([&] { answer = window.SendMessage(kAsk, 21, 0); });
  ASSERT_TRUE(test::PumpUntil([&] { return answer != -1; }));
  worker.join();
  EXPECT_EQ(answer, 42);
  EXPECT_EQ(window.answeredOn.load(), QThread::currentThread());
  // On the GUI thread the message is handled at once.
  EXPECT_EQ(window.SendMessage(kAsk, 5, 0), 10);
}

TEST(WindowThreads, AGoneWindowTakesNoMessages) {
  AnsweringWindow window;
  ASSERT_TRUE(window.Open());
  window.DestroyWindow();
  EXPECT_FALSE(window.PostMessage(kPing));
  std::atomic<LRESULT> answer = -1;
  std::thread worker([&] { answer = window.SendMessage(kAsk, 1, 0); });
  worker.join();
  EXPECT_EQ(answer, 0);
}

// Counts its living instances, so that a task dropped without running shows whether what it
// held was destroyed. Move-only, as payloads may be.
struct CountedPayload {
  static inline std::atomic<int> alive{0};
  CountedPayload() { ++alive; }
  CountedPayload(CountedPayload&&) noexcept { ++alive; }
  CountedPayload(const CountedPayload&) = delete;
  CountedPayload& operator=(const CountedPayload&) = delete;
  ~CountedPayload() { --alive; }
};

TEST(WindowThreads, TasksRunOnTheGuiThreadInTheirPlaceAmongMessages) {
  AnsweringWindow window;
  ASSERT_TRUE(window.Open());
  std::vector<int> order;
  window.onMessage = [&](UINT msg, WPARAM, LPARAM lParam) {
    if (msg == kPing) order.push_back(static_cast<int>(lParam));
  };
  QThread* guiThread = QThread::currentThread();
  std::atomic<int> offGuiThread = 0;
  std::thread worker([&] {
    for (int i = 0; i < 200; ++i) {
      if (i % 3 == 0) {
        window.PostMessage(kPing, 0, i);
        continue;
      }
      EXPECT_TRUE(window.PostTask([&, payload = std::make_unique<int>(i)] {
        if (QThread::currentThread() != guiThread) ++offGuiThread;
        order.push_back(*payload);
      }));
    }
  });
  worker.join();
  ASSERT_TRUE(test::PumpUntil([&] { return order.size() == 200; }));
  for (int i = 0; i < 200; ++i) ASSERT_EQ(order[i], i);
  EXPECT_EQ(offGuiThread.load(), 0);
}

TEST(WindowThreads, TasksForAWindowThatIsGoneAreDestroyedWithoutRunning) {
  int ran = 0;
  const auto task = [&ran] { return [&ran, payload = CountedPayload()] { ++ran; }; };
  {
    // Queued from a worker; the window is destroyed before the task comes up.
    AnsweringWindow window;
    ASSERT_TRUE(window.Open());
    std::thread([&] { EXPECT_TRUE(window.PostTask(task())); }).join();
    EXPECT_EQ(CountedPayload::alive.load(), 1);
    window.DestroyWindow();
    test::Pump(10);
    EXPECT_EQ(CountedPayload::alive.load(), 0);
    // Posted to the gone window: refused, and destroyed at once.
    EXPECT_FALSE(window.PostTask(task()));
    EXPECT_EQ(CountedPayload::alive.load(), 0);
  }
  {
    // Queued; the window object itself is deleted before the task comes up.
    auto window = std::make_unique<AnsweringWindow>();
    ASSERT_TRUE(window->Open());
    EXPECT_TRUE(window->PostTask(task()));
    window.reset();
    EXPECT_EQ(CountedPayload::alive.load(), 0);
    test::Pump(10);
  }
  EXPECT_EQ(ran, 0);
}

TEST(WindowThreads, AWorkerGetsItsWindowMadeOnTheGuiThread) {
  std::atomic<int> result = -1;
  std::atomic<QThread*> createdOn{nullptr};
  std::thread worker([&] {
    result = RunOnGuiThread([&] {
      test::TestWindow dialog{QString::fromUtf8(kLayout)};
      dialog.Open();
      createdOn = dialog.GetHWND()->thread();
      QTimer::singleShot(10, [&] { dialog.Close(7); });
      return dialog.ShowModal();
    });
  });
  ASSERT_TRUE(test::PumpUntil([&] { return result != -1; }));
  worker.join();
  EXPECT_EQ(result, 7);
  EXPECT_EQ(createdOn.load(), QThread::currentThread());
}

TEST(WindowThreads, QuitEndsEveryModalLoop) {
  test::TestWindow outer{QString::fromUtf8(kLayout)};
  test::TestWindow inner{QString::fromUtf8(kLayout)};
  ASSERT_TRUE(outer.Open());
  int innerResult = -1;
  QTimer::singleShot(10, [&] {
    ASSERT_TRUE(inner.Open(outer.GetHWND()));
    QTimer::singleShot(10, [] { PostQuitMessage(0); });
    innerResult = inner.ShowModal();
  });
  const int outerResult = outer.ShowModal();
  EXPECT_EQ(innerResult, 0);
  EXPECT_EQ(outerResult, 0);
  // Both windows are still there for their owners to clean up.
  EXPECT_NE(outer.GetHWND(), nullptr);
  inner.DestroyWindow();
  outer.DestroyWindow();
}

}  // namespace
}  // namespace kv::ui
