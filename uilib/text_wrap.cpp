#include "uilib/text_wrap.h"

#include <QTextLayout>
#include <cmath>

namespace kv::ui {

QTextOption WrappingOption(Qt::Alignment align) {
  QTextOption option(align);
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  return option;
}

int WrappedTextHeight(const QFont& font, const QString& text, int width) {
  QString paragraphs = text;
  // Painting takes "\n" as a line break; the layout takes it as the line separator.
  paragraphs.replace(u'\n', QChar::LineSeparator);
  QTextLayout layout(paragraphs, font);
  layout.setTextOption(WrappingOption(Qt::AlignLeft));
  layout.beginLayout();
  qreal height = 0;
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(width);
    height += line.height();
  }
  layout.endLayout();
  return static_cast<int>(std::ceil(height));
}

}  // namespace kv::ui
