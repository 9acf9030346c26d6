#pragma once

#include <QColor>
#include <QSize>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

#include "uilib/ui_types.h"

// Parsers for the value strings of layout attributes. Every parser accepts any input: a value
// it cannot read gives the documented fallback, never an exception.
namespace kv::ui {

// Only "true" (any case) is true.
bool ParseBool(const QString& value);

// A decimal integer with optional sign and surrounding blanks; `fallback` when there is none.
int ParseInt(const QString& value, int fallback = 0);

// "l,t,r,b": four integers separated by one non-digit character each. Missing numbers are 0.
UiRect ParseRect(const QString& value);

// "cx,cy".
QSize ParseSize(const QString& value);

// "#AARRGGBB", "AARRGGBB", "0xAARRGGBB" or "#RRGGBB" (alpha 0): unsigned 32-bit ARGB.
ARGB ParseColor(const QString& value);

QColor ToQColor(ARGB color);

// 'name="v" name2="v2"' (also with single quotes; any whitespace between pairs) into pairs in
// order. Text that is not a pair ends the list.
std::vector<std::pair<QString, QString>> ParseAttributeList(const QString& list);

}  // namespace kv::ui
