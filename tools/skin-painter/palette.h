#pragma once

#include <QColor>

// The skin's colours. The three warm base tones are the layouts' own background colours; the
// rest are accents chosen to sit on them.
namespace kv::skin::palette {

inline const QColor kPaper{0xF3, 0xF3, 0xE1};      // page background
inline const QColor kSand{0xE3, 0xDB, 0x9A};       // title bars, list items
inline const QColor kOchre{0xC8, 0xB7, 0x72};      // borders, frames
inline const QColor kDeepOchre{0xA8, 0x95, 0x4E};  // frame lines that must read on sand
inline const QColor kBark{0x5E, 0x4F, 0x22};       // glyphs on light ground
inline const QColor kCream{0xFF, 0xFD, 0xF4};      // field and check box fill

inline const QColor kLeafLight{0x8F, 0xBE, 0x57};  // primary action, top
inline const QColor kLeaf{0x6F, 0xA0, 0x3C};       // primary action
inline const QColor kLeafDark{0x55, 0x80, 0x2C};   // primary action, edge

inline const QColor kBrickLight{0xE0, 0x6E, 0x55};
inline const QColor kBrick{0xCC, 0x55, 0x3F};      // destructive action, close
inline const QColor kBrickDark{0xA5, 0x40, 0x2E};

inline const QColor kAmber{0xE2, 0xA2, 0x2B};      // warning
inline const QColor kSky{0x4E, 0x8B, 0xC8};        // question
inline const QColor kStone{0xA3, 0x9E, 0x88};      // offline, not installed

}  // namespace kv::skin::palette
