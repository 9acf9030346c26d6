#include "uilib/attribute_values.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "tests/uilib/gui_test_support.h"
#include "uilib/image_string.h"
#include "uilib/skin_resources.h"

namespace kv::ui {
namespace {

TEST(AttributeValues, ColoursKeepTheirAlphaAndAcceptEveryPrefix) {
  EXPECT_EQ(ParseColor("#FFF3F3E1"), 0xFFF3F3E1u);
  EXPECT_EQ(ParseColor("0xFF000000"), 0xFF000000u);
  EXPECT_EQ(ParseColor("FF112233"), 0xFF112233u);
  // Six digits leave alpha at 0: such a fill is skipped, as the skins expect.
  EXPECT_EQ(ParseColor("#336699"), 0x00336699u);
  EXPECT_EQ(ParseColor(""), 0u);
  EXPECT_EQ(ParseColor("#zz"), 0u);
  EXPECT_EQ(ParseColor("#FFFFFFFFFF"), 0xFFFFFFFFu);
}

TEST(AttributeValues, RectsSizesAndBooleansNeverFail) {
  EXPECT_EQ(ParseRect("1,2,3,4"), (UiRect{1, 2, 3, 4}));
  EXPECT_EQ(ParseRect(" -30, 5 ,-6,29"), (UiRect{-30, 5, -6, 29}));
  EXPECT_EQ(ParseRect("7,8"), (UiRect{7, 8, 0, 0}));
  EXPECT_EQ(ParseRect("garbage"), (UiRect{}));
  EXPECT_EQ(ParseSize("800,600"), QSize(800, 600));
  EXPECT_TRUE(ParseBool("true"));
  EXPECT_TRUE(ParseBool("TRUE"));
  EXPECT_FALSE(ParseBool("1"));
  EXPECT_FALSE(ParseBool("yes"));
  // Overlong numbers saturate instead of wrapping round to negative sizes.
  EXPECT_EQ(ParseInt("99999999999999"), 999999999);
}

TEST(AttributeValues, AttributeListsTakeAnyWhitespaceAndStopAtBrokenText) {
  const auto pairs = ParseAttributeList("width=\"8\"   showbutton1=\"false\"\n thumb=\"file='a.png' corner='0,4,0,4'\"");
  ASSERT_EQ(pairs.size(), 3u);
  EXPECT_EQ(pairs[0], std::make_pair(QStringLiteral("width"), QStringLiteral("8")));
  EXPECT_EQ(pairs[2].second, QStringLiteral("file='a.png' corner='0,4,0,4'"));
  EXPECT_EQ(ParseAttributeList("a=\"1\" b=\"unterminated").size(), 1u);
  EXPECT_TRUE(ParseAttributeList("=\"x\"").empty());
}

TEST(ImageStrings, PlainNamesAndKeyPairs) {
  EXPECT_EQ(ParseImageSpec("image\\logo.png").file, QStringLiteral("image\\logo.png"));
  const ImageSpec imageSpec =
      ParseImageSpec("file='image\\Btn.png' dest='20,20,80,80' source='26,0,52,17' corner='5,5,5,5' fade='128' hole='true'");
  EXPECT_EQ(imageSpec.file, QStringLiteral("image\\Btn.png"));
  EXPECT_EQ(imageSpec.dest, (UiRect{20, 20, 80, 80}));
  EXPECT_EQ(imageSpec.source, (UiRect{26, 0, 52, 17}));
  EXPECT_EQ(imageSpec.corner, (UiRect{5, 5, 5, 5}));
  EXPECT_EQ(imageSpec.fade, 128);
  EXPECT_TRUE(imageSpec.hole);
}

TEST(ImageStrings, DestIsRelativeToTheControlAndClippedToIt) {
  const UiRect item{100, 50, 200, 150};
  EXPECT_EQ(ImageDestRect(ParseImageSpec("file='a' dest='20,20,80,80'"), item), (UiRect{120, 70, 180, 130}));
  EXPECT_EQ(ImageDestRect(ParseImageSpec("file='a' dest='90,90,140,140'"), item), (UiRect{190, 140, 200, 150}));
  EXPECT_EQ(ImageDestRect(ParseImageSpec("a"), item), item);
}

class ImageDrawing : public ::testing::Test {
 protected:
  void SetUp() override {
    // A 30x10 strip: red, green and blue cells of 10x10.
    QImage strip(30, 10, QImage::Format_ARGB32);
    for (int x = 0; x < 30; ++x) {
      for (int y = 0; y < 10; ++y) strip.setPixel(x, y, x < 10 ? 0xFFFF0000 : x < 20 ? 0xFF00FF00 : 0xFF0000FF);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    strip.save(&buffer, "PNG");
    SkinResources::Instance().AddFile("test\\strip.png", bytes);
    // A 9x9 frame: black border 2 pixels wide around a white centre.
    QImage frame(9, 9, QImage::Format_ARGB32);
    frame.fill(0xFF000000);
    for (int x = 2; x < 7; ++x) {
      for (int y = 2; y < 7; ++y) frame.setPixel(x, y, 0xFFFFFFFF);
    }
    bytes.clear();
    QBuffer frameBuffer(&bytes);
    frameBuffer.open(QIODevice::WriteOnly);
    frame.save(&frameBuffer, "PNG");
    SkinResources::Instance().AddFile("TEST/Frame.png", bytes);
  }

  QImage Draw(const QString& image, QSize size = {40, 40}) {
    QImage canvas(size, QImage::Format_ARGB32);
    canvas.fill(0);
    QPainter painter(&canvas);
    const UiRect rc{0, 0, size.width(), size.height()};
    drawn_ = DrawImageString(painter, rc, rc, image);
    return canvas;
  }
  bool drawn_ = false;
};

TEST_F(ImageDrawing, SourcePicksOneCellOfAStrip) {
  const QImage out = Draw("file='test\\strip.png' source='10,0,20,10'");
  ASSERT_TRUE(drawn_);
  EXPECT_EQ(out.pixel(20, 20), 0xFF00FF00u);
  EXPECT_EQ(out.pixel(1, 1), 0xFF00FF00u);
}

TEST_F(ImageDrawing, CornersStayWholeWhileTheCentreStretches) {
  const QImage out = Draw("file='test/strip.png' corner='0,0,0,0'");
  ASSERT_TRUE(drawn_);
  const QImage framed = Draw("file='test/frame.png' corner='2,2,2,2'", {40, 40});
  // The border stays 2 pixels wide at any size, the centre fills the rest.
  EXPECT_EQ(framed.pixel(1, 20), 0xFF000000u);
  EXPECT_EQ(framed.pixel(2, 20), 0xFFFFFFFFu);
  EXPECT_EQ(framed.pixel(37, 20), 0xFFFFFFFFu);
  EXPECT_EQ(framed.pixel(38, 20), 0xFF000000u);
  EXPECT_EQ(framed.pixel(20, 1), 0xFF000000u);
  EXPECT_EQ(framed.pixel(20, 20), 0xFFFFFFFFu);
  const QImage holed = Draw("file='test/frame.png' corner='2,2,2,2' hole='true'", {40, 40});
  EXPECT_EQ(qAlpha(holed.pixel(20, 20)), 0);
  EXPECT_EQ(holed.pixel(0, 0), 0xFF000000u);
  (void)out;
}

TEST_F(ImageDrawing, DestPlacesTheImageAndMissingFilesDrawNothing) {
  const QImage out = Draw("file='test\\strip.png' source='20,0,30,10' dest='10,10,20,20'");
  EXPECT_EQ(out.pixel(15, 15), 0xFF0000FFu);
  EXPECT_EQ(qAlpha(out.pixel(5, 5)), 0);
  EXPECT_EQ(qAlpha(out.pixel(25, 25)), 0);
  Draw("file='image\\nothing-here.png'");
  EXPECT_FALSE(drawn_);
}

TEST(SkinArchive, ZipEntriesAreFoundWithEitherSlashAndAnyCase) {
  ASSERT_TRUE(test::HasLauncherSkin()) << "the launcher's skin is missing from this build";
  EXPECT_TRUE(SkinResources::Instance().Exists("xmls\\MessageBoxDialog.xml"));
  EXPECT_TRUE(SkinResources::Instance().Exists("XMLS/messageboxdialog.xml"));
  EXPECT_FALSE(SkinResources::Instance().Exists("xmls\\..\\..\\etc\\passwd"));
}

TEST_F(ImageDrawing, AnAbsolutePathIsAPictureOfTheDisk) {
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("Icon.png"));
  Draw("file='" + path + "'");
  EXPECT_FALSE(drawn_);
  QImage red(4, 4, QImage::Format_ARGB32);
  red.fill(0xFFFF0000);
  ASSERT_TRUE(red.save(path));
  // Pictures the program fetches may appear after a first attempt.
  const QImage out = Draw("file='" + path + "'");
  ASSERT_TRUE(drawn_);
  EXPECT_EQ(out.pixel(20, 20), 0xFFFF0000u);
}

TEST(SkinArchive, DamagedArchivesAreRefused) {
  EXPECT_FALSE(SkinResources::Instance().AddZip("PK\x03\x04 not really a zip"));
  EXPECT_FALSE(SkinResources::Instance().AddZip(""));
}

}  // namespace
}  // namespace kv::ui
