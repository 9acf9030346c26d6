#pragma once

#include <QSize>
#include <QString>

#include "uilib/ui_types.h"

class QPainter;

// Image attribute strings: a plain file name (drawn stretched over the whole control) or
// key='value' pairs: file, dest, source, corner (also scale9), mask, fade, hole, xtiled,
// ytiled, and size/align/padding to place an image of fixed size.
namespace kv::ui {

struct ImageSpec {
  QString file;
  UiRect dest;      // relative to the control's top-left; all zero: the whole control
  UiRect source;    // inside the image; all zero: the whole image
  UiRect corner;    // 9-slice borders in source pixels
  ARGB mask = 0;
  int fade = 255;
  bool hole = false;
  bool xtiled = false;
  bool ytiled = false;
  QSize size;       // with align: a fixed-size image placed inside the control
  QString align;
  UiRect padding;
};

ImageSpec ParseImageSpec(const QString& text);

// Applies the pairs of `modifier` on top of `imageSpec` (how Progress injects dest and source).
void ApplyImageModifier(ImageSpec& imageSpec, const QString& modifier);

// The rectangle the image covers for a control at `item` (window coordinates).
UiRect ImageDestRect(const ImageSpec& imageSpec, const UiRect& item);

// Draws the image for a control at `item`, clipped to `clip`. False when the file is missing.
bool DrawImageSpec(QPainter& painter, const ImageSpec& imageSpec, const UiRect& item, const UiRect& clip);
bool DrawImageString(QPainter& painter, const UiRect& item, const UiRect& clip, const QString& image,
                     const QString& modifier = {});

}  // namespace kv::ui
