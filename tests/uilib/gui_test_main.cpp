// Runs the GUI tests headless: an offscreen Qt application with the launcher's skin loaded.
#include <gtest/gtest.h>

#include <QApplication>

#include "tests/uilib/gui_test_support.h"

namespace {

// The offscreen platform cannot shape or raise windows; it says so for every window.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith(QStringLiteral("This plugin does not support"))) return;
  qt_message_output(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
  qInstallMessageHandler(QuietHandler);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  kv::test::LoadLauncherSkin();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
