// The text markup of labels and links.
#include "uilib/markup.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "uilib/fonts.h"

namespace kv::ui {
namespace {

MarkupStyle Style() {
  MarkupStyle style;
  style.font = DefaultFont();
  return style;
}

TEST(Markup, TagsBecomeRichTextAndTextIsEscaped) {
  const QString html = MarkupToHtml(QStringLiteral("{b}bold{/b} <q> & {c #FF0000}red{/c}{n}next"), nullptr, Style());
  EXPECT_TRUE(html.contains(QStringLiteral("<b>bold</b>")));
  // "<q>" is no tag of the markup: it stays text.
  EXPECT_TRUE(html.contains(QStringLiteral("&lt;q&gt; &amp;")));
  EXPECT_TRUE(html.contains(QStringLiteral("color:#ff0000")));
  EXPECT_TRUE(html.contains(QStringLiteral("<br>next")));
  // Both bracket styles work, and raw sections keep their tags as text.
  EXPECT_TRUE(MarkupToHtml(QStringLiteral("<b>x</b>"), nullptr, Style()).contains(QStringLiteral("<b>x</b>")));
  EXPECT_TRUE(MarkupToHtml(QStringLiteral("{r}{b}{/r}"), nullptr, Style()).contains(QStringLiteral("{b}")));
}

TEST(Markup, LinksAreNumberedAndKeepTheirTargets) {
  QStringList links;
  const QString html = MarkupToHtml(QStringLiteral("see {a https://a.example}site{/a} or {a}{f 3}https://b.example{/f}{/a}"),
                                    nullptr, Style(), &links);
  ASSERT_EQ(links.size(), 2);
  EXPECT_EQ(links[0], QStringLiteral("https://a.example"));
  // Without a value the link's own text is its target.
  EXPECT_EQ(links[1], QStringLiteral("https://b.example"));
  EXPECT_TRUE(html.contains(QStringLiteral("href=\"0\"")));
  EXPECT_TRUE(html.contains(QStringLiteral("href=\"1\"")));
  // An unclosed link still counts.
  links.clear();
  MarkupToHtml(QStringLiteral("{a}dangling"), nullptr, Style(), &links);
  EXPECT_EQ(links, QStringList{QStringLiteral("dangling")});
}

TEST(Markup, PlainTextDropsTheTags) {
  EXPECT_EQ(MarkupToPlainText(QStringLiteral("{a}{f 3}https://x{/f}{/a}")), QStringLiteral("https://x"));
  EXPECT_EQ(MarkupToPlainText(QStringLiteral("a{n}b{p}c")), QStringLiteral("a\nb\nc"));
  EXPECT_EQ(MarkupToPlainText(QStringLiteral("{unknown} stays")), QStringLiteral("{unknown} stays"));
  EXPECT_EQ(MarkupToPlainText(QStringLiteral("{b")), QStringLiteral("{b"));
}

TEST(Markup, BlocksFindTheirLinksWhereTheyAreDrawn) {
  MarkupBlock block;
  MarkupStyle style = Style();
  style.align = Qt::AlignLeft | Qt::AlignTop;
  const UiRect rect{10, 10, 310, 40};
  block.Layout(QStringLiteral("plain words then {a}the link{/a}"), nullptr, style, rect);
  ASSERT_EQ(block.Links().size(), 1);
  EXPECT_EQ(block.LinkAt(QPoint(12, 18)), -1);
  const int width = block.ContentSize().width();
  EXPECT_EQ(block.LinkAt(QPoint(10 + width - 3, 18)), 0);
  EXPECT_EQ(block.LinkAt(QPoint(400, 18)), -1);
  QImage canvas(320, 50, QImage::Format_ARGB32);
  canvas.fill(Qt::white);
  QPainter painter(&canvas);
  block.Paint(painter);
  painter.end();
  bool inked = false;
  for (int x = 10; x < 10 + width && !inked; ++x) inked = canvas.pixel(x, 18) != 0xFFFFFFFFu;
  EXPECT_TRUE(inked);
}

}  // namespace
}  // namespace kv::ui
