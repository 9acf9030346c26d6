#pragma once

#include <QFont>
#include <QString>

// Fonts named by layouts. Layouts name Windows fonts (微软雅黑, 宋体, ...); every font falls
// back to a CJK font that the system has, so Chinese text always renders.
namespace kv::ui {

inline constexpr char kFallbackFontFamily[] = "WenQuanYi Micro Hei";
inline constexpr int kDefaultFontSize = 12;

// `pixelSize` is the character height in pixels, as layouts give it.
QFont MakeFont(const QString& family, int pixelSize, bool bold = false, bool underline = false,
               bool italic = false, bool strikeout = false);

QFont DefaultFont();

}  // namespace kv::ui
