#pragma once

#include "tools/skin-painter/picture_set.h"

#include <QImage>

namespace kv::skin {

// Every picture and every animation frame, enlarged `scale` times without smoothing, on the
// page colour with its name underneath: a sheet to look the skin over at a glance.
QImage MakeContactSheet(const PictureSet& pictures, const Animation& animation, int scale);

}  // namespace kv::skin
