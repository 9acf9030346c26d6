#pragma once

#include <QFont>
#include <QString>
#include <QTextOption>

// Text of several lines broken to a width: at word boundaries, and inside a word (a long path,
// a run of Chinese characters without blanks) only where the word alone is wider than the
// line. Painting and measuring use the same breaking, so measured text fits where it is drawn.
namespace kv::ui {

QTextOption WrappingOption(Qt::Alignment align);

// The height that `text` takes in `font` broken to `width` pixels; "\n" starts a new line.
int WrappedTextHeight(const QFont& font, const QString& text, int width);

}  // namespace kv::ui
