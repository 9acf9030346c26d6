#pragma once

#include <QFont>
#include <QString>
#include <QStringList>
#include <memory>

#include "uilib/ui_types.h"

class QPainter;
class QTextDocument;

// The mini markup of labels with showhtml and of Text links, tags written {x} or <x>:
// {b} bold, {i} italic, {u} underline, {s} strike, {c #RRGGBB} colour, {f id} font,
// {a target}...{/a} link, {n} new line, {p} paragraph, {x n} indent, {y n} line gap,
// {r}...{/r} raw text, {i file} image. Drawn through Qt's rich text engine.
namespace kv::ui {

class CPaintManagerUI;

struct MarkupStyle {
  QFont font;
  ARGB textColor = 0xFF000000;
  ARGB linkColor = 0xFF0000FF;
  ARGB linkHoverColor = 0xFFD3215F;
  int hoverLink = -1;
  bool wrap = false;
  Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
};

// The markup as Qt rich text. Links become anchors whose href is their index; their targets
// (the tag's value, or the linked text when the tag has none) go to `links`.
QString MarkupToHtml(const QString& markup, const CPaintManagerUI* manager, const MarkupStyle& style,
                     QStringList* links = nullptr);

// Plain text of the markup: tags removed, {n} as line breaks.
QString MarkupToPlainText(const QString& markup);

// A laid-out piece of markup: paints itself into a rectangle and finds its links.
class MarkupBlock {
 public:
  MarkupBlock();
  ~MarkupBlock();
  MarkupBlock(const MarkupBlock&) = delete;
  MarkupBlock& operator=(const MarkupBlock&) = delete;

  void Layout(const QString& markup, const CPaintManagerUI* manager, const MarkupStyle& style, const UiRect& rect);
  void Paint(QPainter& painter) const;
  // The index of the link under a window point, or -1.
  int LinkAt(QPoint pt) const;
  const QStringList& Links() const { return links_; }
  QSize ContentSize() const;

 private:
  std::unique_ptr<QTextDocument> document_;
  QString key_;
  QPointF origin_;
  UiRect rect_;
  QStringList links_;
};

}  // namespace kv::ui
