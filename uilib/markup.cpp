#include "uilib/markup.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QUrl>

#include "uilib/attribute_values.h"
#include "uilib/paint_manager.h"
#include "uilib/skin_resources.h"

namespace kv::ui {
namespace {

QString CssColor(ARGB color) {
  return QStringLiteral("#%1").arg(color & 0xFFFFFF, 6, 16, QChar(u'0'));
}

QString FontCss(const QFont& font) {
  return QStringLiteral("font-family:'%1'; font-size:%2px; font-weight:%3; font-style:%4; text-decoration:%5;")
      .arg(font.families().value(0, font.family()).toHtmlEscaped())
      .arg(font.pixelSize() > 0 ? font.pixelSize() : 12)
      .arg(font.bold() ? 700 : 400)
      .arg(font.italic() ? QStringLiteral("italic") : QStringLiteral("normal"))
      .arg(font.underline() ? QStringLiteral("underline") : QStringLiteral("none"));
}

// A tag at `pos` ('{' or '<' followed by a known tag name); its name, value and length.
struct Tag {
  QString name;   // "b", "/b", "c", ...
  QString value;  // what follows the name
  qsizetype length = 0;
};

bool ReadTag(const QString& text, qsizetype pos, Tag& tag) {
  const QChar open = text[pos];
  const QChar close = open == u'{' ? u'}' : u'>';
  const qsizetype end = text.indexOf(close, pos + 1);
  if (end < 0) return false;
  const QString inner = text.mid(pos + 1, end - pos - 1);
  const qsizetype space = inner.indexOf(u' ');
  tag.name = (space < 0 ? inner : inner.left(space)).toLower();
  tag.value = space < 0 ? QString() : inner.mid(space + 1).trimmed();
  tag.length = end - pos + 1;
  static const QStringList known = {QStringLiteral("b"), QStringLiteral("i"), QStringLiteral("u"),
                                    QStringLiteral("s"), QStringLiteral("c"), QStringLiteral("f"),
                                    QStringLiteral("a"), QStringLiteral("n"), QStringLiteral("p"),
                                    QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("r")};
  const QString bare = tag.name.startsWith(u'/') ? tag.name.mid(1) : tag.name;
  return known.contains(bare);
}

}  // namespace

QString MarkupToHtml(const QString& markup, const CPaintManagerUI* manager, const MarkupStyle& style,
                     QStringList* links) {
  QString html;
  int linkIndex = 0;
  qsizetype linkTextStart = -1;
  QString pendingLinkTarget;
  QStringList stack;  // closing html for every open tag
  bool raw = false;
  auto appendText = [&](const QString& t) { html += t.toHtmlEscaped().replace(u'\n', QStringLiteral("<br>")); };

  for (qsizetype pos = 0; pos < markup.size();) {
    const QChar c = markup[pos];
    Tag tag;
    if (raw) {
      const qsizetype end = markup.indexOf(QRegularExpression(QStringLiteral("[{<]/r[}>]")), pos);
      appendText(markup.mid(pos, end < 0 ? -1 : end - pos));
      if (end < 0) break;
      pos = end + 4;
      raw = false;
      continue;
    }
    if ((c == u'{' || c == u'<') && ReadTag(markup, pos, tag)) {
      pos += tag.length;
      const QString& n = tag.name;
      if (n == u"b") {
        html += QStringLiteral("<b>");
        stack << QStringLiteral("</b>");
      } else if (n == u"i" && tag.value.isEmpty()) {
        html += QStringLiteral("<i>");
        stack << QStringLiteral("</i>");
      } else if (n == u"i") {
        html += QStringLiteral("<img src=\"skin:%1\">").arg(tag.value.toHtmlEscaped());
      } else if (n == u"u") {
        html += QStringLiteral("<u>");
        stack << QStringLiteral("</u>");
      } else if (n == u"s") {
        html += QStringLiteral("<s>");
        stack << QStringLiteral("</s>");
      } else if (n == u"c") {
        html += QStringLiteral("<span style=\"color:%1\">").arg(CssColor(ParseColor(tag.value)));
        stack << QStringLiteral("</span>");
      } else if (n == u"f") {
        const QFont font = manager ? manager->GetFont(ParseInt(tag.value, -1)) : style.font;
        html += QStringLiteral("<span style=\"%1\">").arg(FontCss(font));
        stack << QStringLiteral("</span>");
      } else if (n == u"a") {
        const bool hover = linkIndex == style.hoverLink;
        html += QStringLiteral("<a href=\"%1\" style=\"color:%2\">")
                    .arg(linkIndex)
                    .arg(CssColor(hover ? style.linkHoverColor : style.linkColor));
        stack << QStringLiteral("</a>");
        pendingLinkTarget = tag.value;
        linkTextStart = pos;
      } else if (n == u"/a") {
        if (links) {
          links->append(pendingLinkTarget.isEmpty() && linkTextStart >= 0
                            ? MarkupToPlainText(markup.mid(linkTextStart, pos - tag.length - linkTextStart))
                            : pendingLinkTarget);
        }
        ++linkIndex;
        linkTextStart = -1;
        if (!stack.isEmpty()) html += stack.takeLast();
      } else if (n == u"n") {
        html += QStringLiteral("<br>");
      } else if (n == u"p") {
        html += QStringLiteral("<br><br>");
      } else if (n == u"/p") {
      } else if (n == u"x") {
        html += QStringLiteral("&nbsp;").repeated(std::clamp(ParseInt(tag.value) / 4, 0, 64));
      } else if (n == u"y") {
        html += QStringLiteral("<br>");
      } else if (n == u"r") {
        raw = true;
      } else if (n.startsWith(u'/')) {
        if (!stack.isEmpty()) html += stack.takeLast();
      }
      continue;
    }
    const qsizetype next = [&] {
      for (qsizetype p = pos + 1; p < markup.size(); ++p) {
        if (markup[p] == u'{' || markup[p] == u'<') return p;
      }
      return markup.size();
    }();
    appendText(markup.mid(pos, next - pos));
    pos = next;
  }
  while (!stack.isEmpty()) html += stack.takeLast();
  if (links && linkTextStart >= 0) {
    links->append(pendingLinkTarget.isEmpty() ? MarkupToPlainText(markup.mid(linkTextStart)) : pendingLinkTarget);
  }
  return html;
}

QString MarkupToPlainText(const QString& markup) {
  QString text;
  for (qsizetype pos = 0; pos < markup.size();) {
    Tag tag;
    const QChar c = markup[pos];
    if ((c == u'{' || c == u'<') && ReadTag(markup, pos, tag)) {
      if (tag.name == u"n" || tag.name == u"p") text += u'\n';
      pos += tag.length;
      continue;
    }
    text += c;
    ++pos;
  }
  return text;
}

MarkupBlock::MarkupBlock() = default;
MarkupBlock::~MarkupBlock() = default;

void MarkupBlock::Layout(const QString& markup, const CPaintManagerUI* manager, const MarkupStyle& style,
                         const UiRect& rect) {
  const QString key = QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8")
                          .arg(markup)
                          .arg(style.font.toString())
                          .arg(style.textColor)
                          .arg(style.hoverLink)
                          .arg(style.wrap)
                          .arg(rect.Width())
                          .arg(style.linkColor)
                          .arg(static_cast<int>(style.align));
  rect_ = rect;
  if (!document_ || key != key_) {
    key_ = key;
    links_.clear();
    document_ = std::make_unique<QTextDocument>();
    document_->setDocumentMargin(0);
    document_->setDefaultFont(style.font);
    document_->setDefaultStyleSheet(QStringLiteral("body { color:%1; } a { text-decoration: underline; }")
                                        .arg(CssColor(style.textColor)));
    QTextOption option;
    option.setWrapMode(style.wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    option.setAlignment(style.align & Qt::AlignHorizontal_Mask);
    document_->setDefaultTextOption(option);
    const QString html = MarkupToHtml(markup, manager, style, &links_);
    static const QRegularExpression imageSource(QStringLiteral("src=\"skin:([^\"]*)\""));
    for (auto it = imageSource.globalMatch(html); it.hasNext();) {
      const QString file = QTextDocumentFragment::fromHtml(it.next().captured(1)).toPlainText();
      if (const std::optional<QByteArray> bytes = SkinResources::Instance().Read(file)) {
        document_->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("skin:") + file),
                               QImage::fromData(*bytes));
      }
    }
    document_->setHtml(QStringLiteral("<body>%1</body>").arg(html));
    document_->setTextWidth(style.wrap || (style.align & (Qt::AlignHCenter | Qt::AlignRight)) ? rect.Width() : -1);
  }
  const QSizeF size = document_->size();
  double x = rect.left;
  if (document_->textWidth() < 0) {
    if (style.align & Qt::AlignHCenter) x += (rect.Width() - size.width()) / 2;
    else if (style.align & Qt::AlignRight) x += rect.Width() - size.width();
  }
  double y = rect.top;
  if (style.align & Qt::AlignVCenter) y += (rect.Height() - size.height()) / 2;
  else if (style.align & Qt::AlignBottom) y += rect.Height() - size.height();
  origin_ = {x, y};
}

void MarkupBlock::Paint(QPainter& painter) const {
  if (!document_) return;
  painter.save();
  painter.setClipRect(rect_.ToQRect(), Qt::IntersectClip);
  painter.translate(origin_);
  QAbstractTextDocumentLayout::PaintContext context;
  context.palette.setColor(QPalette::Text, painter.pen().color());
  document_->documentLayout()->draw(&painter, context);
  painter.restore();
}

int MarkupBlock::LinkAt(QPoint pt) const {
  if (!document_ || !rect_.Contains(pt)) return -1;
  const QString anchor = document_->documentLayout()->anchorAt(QPointF(pt) - origin_);
  bool ok = false;
  const int index = anchor.toInt(&ok);
  return ok ? index : -1;
}

QSize MarkupBlock::ContentSize() const {
  return document_ ? document_->size().toSize() : QSize();
}

}  // namespace kv::ui
