// What the program sets up at its start: Qt's own texts in the launcher's language, and the
// launcher window as the desktop names it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "app/program_start.h"
#include "tests/app/frame_harness.h"
#include "tests/support/temp_folder.h"
#include "tests/uilib/gui_test_support.h"

namespace kv {
namespace {

bool HasChinese(const QString& text) {
  return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF; });
}

TEST(ProgramStart, QtsOwnDialogsAndMenusSpeakChinese) {
  ASSERT_TRUE(LoadQtTranslations(*QCoreApplication::instance()));
  // The texts of the edit fields' menu and of the file pickers.
  EXPECT_TRUE(HasChinese(QCoreApplication::translate("QLineEdit", "&Copy")));
  EXPECT_TRUE(HasChinese(QCoreApplication::translate("QFileDialog", "Look in:")));

  test::TempFolder folder;
  QFileDialog picker(nullptr, QString(), QString::fromStdString(folder.Path()), QStringLiteral("程序 (*)"));
  picker.setOption(QFileDialog::DontUseNativeDialog);
  picker.show();
  test::Pump(50);
  QStringList english;
  for (const QLabel* label : picker.findChildren<QLabel*>()) {
    if (label->isVisible() && !label->text().isEmpty() && !HasChinese(label->text())) english << label->text();
  }
  for (const QPushButton* button : picker.findChildren<QPushButton*>()) {
    if (button->isVisible() && !button->text().isEmpty() && !HasChinese(button->text())) english << button->text();
  }
  EXPECT_TRUE(english.isEmpty()) << english.join(QStringLiteral(" | ")).toStdString();
  test::SaveScreenshot(&picker, QStringLiteral("file_picker"));
  picker.close();
}

TEST(ProgramStart, TheLauncherWindowIsTitledKorvane) {
  ASSERT_TRUE(test::HasLauncherSkin()) << "the launcher's skin is missing from this build";
  test::FrameHarness harness;
  CFrameWnd& frame = harness.Open();
  EXPECT_EQ(frame.GetHWND()->windowTitle(), QStringLiteral("Korvane"));
}

}  // namespace
}  // namespace kv
