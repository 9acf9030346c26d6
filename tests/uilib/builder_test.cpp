// How layouts become control trees.
#include "uilib/dialog_builder.h"

#include <gtest/gtest.h>

#include <QFontInfo>

#include "tests/uilib/gui_test_support.h"
#include "uilib/button.h"
#include "uilib/label.h"
#include "uilib/layouts.h"
#include "uilib/paint_manager.h"
#include "uilib/skin_resources.h"

namespace kv::ui {
namespace {

class Builder : public ::testing::Test, public IDialogBuilderCallback {
 protected:
  CControlUI* CreateControl(const QString& className) override {
    asked_ << className;
    if (className == u"Fancy") return new CLabelUI();
    return nullptr;
  }
  CControlUI* Build(const QString& xml) {
    CControlUI* root = builder_.Create(xml, {}, this, &manager_);
    if (root) manager_.AttachDialog(root);
    return root;
  }
  CControlUI* Find(const char* name) { return manager_.FindControl(QString::fromLatin1(name)); }

  CPaintManagerUI manager_;
  CDialogBuilder builder_;
  QStringList asked_;
};

TEST_F(Builder, DefaultsComeFirstAndOwnAttributesWin) {
  ASSERT_TRUE(Build(R"(<Window><Default name="Button" value="text=&quot;default&quot; textcolor=&quot;#FF112233&quot;"/>
    <VerticalLayout><Button name="a"/><Button name="b" text="own"/><Option name="o"/></VerticalLayout></Window>)"));
  EXPECT_EQ(Find("a")->GetText(), QStringLiteral("default"));
  EXPECT_EQ(static_cast<CButtonUI*>(Find("a"))->GetTextColor(), 0xFF112233u);
  EXPECT_EQ(Find("b")->GetText(), QStringLiteral("own"));
  // Defaults go by tag name: an Option is not a Button here.
  EXPECT_TRUE(Find("o")->GetText().isEmpty());
}

TEST_F(Builder, ChildrenExistBeforeTheParentsAttributes) {
  ASSERT_TRUE(Build(R"(<Window><TabLayout name="t" selectedid="2"><Control/><Control/><Control name="third"/></TabLayout></Window>)"));
  EXPECT_EQ(static_cast<CTabLayoutUI*>(Find("t"))->GetCurSel(), 2);
  EXPECT_TRUE(Find("third")->IsVisible());
}

TEST_F(Builder, UnknownTagsGoToTheCallbackOrAreSkippedWithTheirChildren) {
  ASSERT_TRUE(Build(R"(<Window><VerticalLayout>
      <Fancy name="f" text="made by the callback"/>
      <Mystery name="m"><Button name="lost"/></Mystery>
      <Label name="kept"/>
    </VerticalLayout></Window>)"));
  EXPECT_TRUE(asked_.contains(QStringLiteral("Fancy")));
  EXPECT_EQ(Find("f")->GetText(), QStringLiteral("made by the callback"));
  EXPECT_EQ(Find("m"), nullptr);
  EXPECT_EQ(Find("lost"), nullptr);
  EXPECT_NE(Find("kept"), nullptr);
}

TEST_F(Builder, IncludesBuildOtherFilesIntoTheCurrentParentAndCannotLoop) {
  SkinResources::Instance().AddFile(QStringLiteral("test\\row.xml"), R"(<Label text="row"/>)");
  SkinResources::Instance().AddFile(QStringLiteral("test\\loop.xml"),
                                    R"(<VerticalLayout><Include source="test\loop.xml"/></VerticalLayout>)");
  ASSERT_TRUE(Build(R"(<Window><VerticalLayout name="box"><Include source="test\row.xml" count="3"/>
                         <Include source="test/loop.xml"/></VerticalLayout></Window>)"));
  auto* box = static_cast<CContainerUI*>(Find("box"));
  ASSERT_EQ(box->GetCount(), 4);
  EXPECT_EQ(box->GetItemAt(2)->GetText(), QStringLiteral("row"));
}

TEST_F(Builder, BrokenOrMissingLayoutsBuildNothingAndSayWhy) {
  EXPECT_EQ(Build(QStringLiteral("<Window><VerticalLayout></Window>")), nullptr);
  EXPECT_FALSE(builder_.GetLastError().isEmpty());
  EXPECT_EQ(Build(QStringLiteral("xmls\\NoSuchLayout.xml")), nullptr);
  EXPECT_TRUE(builder_.GetLastError().contains(QStringLiteral("NoSuchLayout")));
  EXPECT_EQ(Build(QStringLiteral("<Window><Font id=\"0\" name=\"x\"/></Window>")), nullptr);
}

TEST_F(Builder, WindowAttributesFontsAndStylesReachTheManager) {
  ASSERT_TRUE(Build(R"(<Window size="640,492" mininfo="640,480" caption="0,0,0,30" sizebox="4,4,4,4"
      roundcorner="5,5" alpha="200" shadowimage="image\shadow.png" shadowsize="10" shadowposition="0,2" mytheme="dark">
      <Font name="微软雅黑" size="13" default="true"/><Font name="微软雅黑" size="20" bold="true"/>
      <Style name="warn" value="textcolor=&quot;#FFFF0000&quot;"/>
      <Label name="l" style="warn" font="1"/></Window>)"));
  EXPECT_EQ(manager_.GetInitSize(), QSize(640, 492));
  EXPECT_EQ(manager_.GetMinInfo(), QSize(640, 480));
  EXPECT_EQ(manager_.GetCaptionRect(), (UiRect{0, 0, 0, 30}));
  EXPECT_EQ(manager_.GetSizeBox(), (UiRect{4, 4, 4, 4}));
  EXPECT_EQ(manager_.GetRoundCorner(), QSize(5, 5));
  EXPECT_EQ(manager_.GetOpacity(), 200);
  EXPECT_TRUE(manager_.GetShadow().show);
  EXPECT_EQ(manager_.GetShadow().Margins(), (UiRect{10, 8, 10, 12}));
  EXPECT_EQ(manager_.GetWindowCustomAttribute(QStringLiteral("mytheme")), QStringLiteral("dark"));
  // Fonts without ids are numbered in order; sizes are pixel heights.
  EXPECT_EQ(manager_.GetFont(1).pixelSize(), 20);
  EXPECT_TRUE(manager_.GetFont(1).bold());
  EXPECT_EQ(manager_.GetDefaultFont().pixelSize(), 13);
  EXPECT_EQ(manager_.GetFont(99).pixelSize(), 13);
  // Windows font names fall back to a font that has Chinese glyphs.
  EXPECT_TRUE(QFontInfo(manager_.GetFont(0)).family().contains(QStringLiteral("WenQuanYi")));
  EXPECT_EQ(static_cast<CLabelUI*>(Find("l"))->GetTextColor(), 0xFFFF0000u);
}

TEST_F(Builder, ImageTagsGiveTheirColourKeyToEveryUse) {
  SkinResources::Instance().AddFile(QStringLiteral("test/keyed.png"), test::SolidPng(4, 4, 0xFFFF00FF));
  ASSERT_TRUE(Build(R"(<Window><Image name="test\keyed.png" mask="#FFFF00FF"/><Control/></Window>)"));
  const QPixmap* pixmap = SkinResources::Instance().Image(QStringLiteral("TEST/keyed.png"));
  ASSERT_NE(pixmap, nullptr);
  EXPECT_EQ(qAlpha(pixmap->toImage().pixel(1, 1)), 0);
}

}  // namespace
}  // namespace kv::ui
