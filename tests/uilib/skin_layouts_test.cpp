// Every layout of the launcher's skin builds with the library and renders; the screenshots
// show how the library draws the real windows.
#include <gtest/gtest.h>

#include <QWidget>

#include "tests/uilib/gui_test_support.h"
#include "uilib/button.h"
#include "uilib/combo.h"
#include "uilib/layouts.h"
#include "uilib/list.h"
#include "uilib/progress.h"
#include "uilib/rich_edit.h"
#include "uilib/skin_resources.h"

namespace kv::ui {
namespace {

class SkinLayouts : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    if (!test::HasLauncherSkin()) GTEST_SKIP() << "no skin in this build";
  }
};

// Fills a window the way the launcher's code does, so that the screenshot shows real content.
void Populate(test::TestWindow& window, const QString& layout) {
  if (layout == u"Main_dlg") {
    window.Find(QStringLiteral("LB_UserName"))->SetText(QStringLiteral("Steve"));
    auto* tiles = window.FindAs<CTileLayoutUI>(QStringLiteral("TileLayout_GameList"));
    ASSERT_NE(tiles, nullptr);
    for (const QString& name : {QStringLiteral("1.7.10"), QStringLiteral("生存服务器"), QStringLiteral("1.12.2 模组")}) {
      auto* tile = new COptionUI();
      tile->SetBkImage(QStringLiteral("file='image\\logo.png' dest='20,20,80,80'"));
      tile->SetHotImage(QStringLiteral("file='image\\ListItem_Hover.png' dest='5,5,95,95'"));
      tile->SetAttribute(QStringLiteral("selectedimage"), QStringLiteral("file='image\\ListItem_Pushed.png' dest='2,2,98,98'"));
      tile->SetAttribute(QStringLiteral("textcolor"), QStringLiteral("#FF4A3F1F"));
      tile->SetAttribute(QStringLiteral("textpadding"), QStringLiteral("10,80,10,5"));
      tile->SetFixedHeight(100);
      tile->SetFixedWidth(100);
      tile->SetGroup(QStringLiteral("InstanceList"));
      tile->SetAttribute(QStringLiteral("endellipsis"), QStringLiteral("true"));
      tile->SetName(name);
      tile->SetText(name);
      tiles->Add(tile);
    }
    auto* add = new CButtonUI();
    add->SetName(QStringLiteral("AddInstanceBtn"));
    add->SetBkImage(QStringLiteral("file='image\\Btn_Add.png' dest='20,20,80,80'"));
    add->SetHotImage(QStringLiteral("file='image\\ListItem_Hover.png' dest='5,5,95,95'"));
    add->SetFixedHeight(100);
    add->SetFixedWidth(100);
    tiles->Add(add);
    static_cast<COptionUI*>(tiles->GetItemAt(0))->Selected(true);
  } else if (layout == u"Log_dlg") {
    auto* log = window.FindAs<CRichEditUI>(QStringLiteral("RE_Log"));
    ASSERT_NE(log, nullptr);
    for (int i = 0; i < 60; ++i) {
      log->AppendText(QStringLiteral("[Client thread/INFO]: 正在加载资源 %1/60 (minecraft:textures/block)\n").arg(i + 1), true);
    }
  } else if (layout == u"Version_dlg") {
    auto* list = window.FindAs<CListUI>(QStringLiteral("List_Version"));
    ASSERT_NE(list, nullptr);
    const char* versions[][2] = {{"1.20.1", "release"}, {"1.19.4", "release"}, {"23w31a", "snapshot"},
                                 {"1.12.2", "release"}, {"1.7.10", "release"}, {"b1.7.3", "old_beta"}};
    for (const auto& v : versions) {
      auto* row = new CListTextElementUI();
      list->Add(row);
      row->SetText(0, QString::fromLatin1(v[0]));
      row->SetText(1, QString::fromLatin1(v[1]));
    }
    list->SelectItem(1);
  } else if (layout == u"SetWnd_dlg") {
    auto* combo = window.FindAs<CComboUI>(QStringLiteral("CBox_JavaPath"));
    ASSERT_NE(combo, nullptr);
    for (const char* path : {"/usr/lib/jvm/java-17-openjdk-amd64/bin/java", "/opt/jdk8/bin/java"}) {
      auto* item = new CListLabelElementUI();
      item->SetText(QString::fromLatin1(path));
      combo->Add(item);
    }
    combo->SelectItem(0);
    window.Find(QStringLiteral("Ed_UserName"))->SetText(QStringLiteral("Steve"));
    window.Find(QStringLiteral("Ed_Pwd"))->SetText(QStringLiteral("secret"));
  } else if (layout == u"DownLoad_dlg") {
    auto* progress = window.FindAs<CProgressUI>(QStringLiteral("DownLoad_process"));
    ASSERT_NE(progress, nullptr);
    progress->SetValue(62);
    window.Find(QStringLiteral("LB_FileName"))->SetText(QStringLiteral("下载文件:lwjgl-2.9.1.jar"));
  }
}

TEST_P(SkinLayouts, BuildAndRender) {
  const QString layout = QString::fromLatin1(GetParam());
  test::TestWindow window(QStringLiteral("xmls\\%1.xml").arg(layout));
  ASSERT_TRUE(window.Open()) << layout.toStdString();
  ASSERT_NE(window.GetPaintManager().GetRoot(), nullptr);
  Populate(window, layout);
  test::Pump(60);
  const QImage shot = test::SaveScreenshot(window.GetHWND(), QStringLiteral("layout_") + layout);
  EXPECT_FALSE(shot.isNull());
  window.DestroyWindow();
  test::Pump();
}

// Every button a layout shows lies wholly inside its window (a title that is too wide pushes the
// close button out), and Tab walks the buttons, fields and lists but never reaches a close
// button, where Space would close the window by accident.
TEST_P(SkinLayouts, ButtonsStayInsideAndTabPassesTheCloseButtonBy) {
  const QString layout = QString::fromLatin1(GetParam());
  test::TestWindow window(QStringLiteral("xmls\\%1.xml").arg(layout));
  ASSERT_TRUE(window.Open()) << layout.toStdString();
  CPaintManagerUI& manager = window.GetPaintManager();
  manager.UpdateLayout();
  const UiRect client = manager.ClientRect();
  const FindControlProc everyButton = [](CControlUI* control, void* data) -> CControlUI* {
    if (control->GetInterface(QStringLiteral("Button")) && control->IsVisibleInTree()) {
      static_cast<std::vector<CControlUI*>*>(data)->push_back(control);
    }
    return nullptr;
  };
  std::vector<CControlUI*> buttons;
  manager.GetRoot()->FindControl(everyButton, &buttons, UIFIND_VISIBLE);
  for (CControlUI* button : buttons) {
    const UiRect& rc = button->GetPos();
    EXPECT_TRUE(rc.left >= client.left && rc.top >= client.top && rc.right <= client.right && rc.bottom <= client.bottom)
        << layout.toStdString() << ": " << button->GetName().toStdString() << " at " << rc.left << "," << rc.top << ","
        << rc.right << "," << rc.bottom;
  }
  for (std::size_t i = 0; i <= buttons.size() + 8; ++i) {
    test::KeyClick(window.GetHWND(), Qt::Key_Tab);
    CControlUI* focus = manager.GetFocus();
    const QString name = focus ? focus->GetName() : QString();
    EXPECT_TRUE(name != u"Btn_Close" && name != u"closebtn") << layout.toStdString();
  }
  window.DestroyWindow();
  test::Pump();
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, SkinLayouts,
                         ::testing::Values("Main_dlg", "Log_dlg", "DownLoad_dlg", "LoadingWnd", "MessageBoxDialog",
                                           "AddInstance_dlg", "Version_dlg", "RenameIns_dlg", "SetWnd_dlg"));

}  // namespace
}  // namespace kv::ui
