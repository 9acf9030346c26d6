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

inline const QColor kLeafLight{0x8F, 0xBE, 0x57};  // green accents, light
inline const QColor kLeaf{0x6F, 0xA0, 0x3C};       // green accents
inline const QColor kLeafDark{0x55, 0x80, 0x2C};   // green accents, dark

// The face of a primary (green) button. White text on it keeps at least 4.5:1 from its top
// (4.9:1; 4.6:1 when hot) to its bottom.
inline const QColor kLeafFaceTop{0x4E, 0x7D, 0x2B};
inline const QColor kLeafFace{0x42, 0x6B, 0x25};
inline const QColor kLeafFaceHotTop{0x52, 0x82, 0x2D};
inline const QColor kLeafFaceHot{0x46, 0x71, 0x27};
inline const QColor kLeafEdge{0x34, 0x54, 0x19};

inline const QColor kBrickLight{0xE0, 0x6E, 0x55};
inline const QColor kBrick{0xCC, 0x55, 0x3F};      // destructive action, close
inline const QColor kBrickDark{0xA5, 0x40, 0x2E};

inline const QColor kAmber{0xE2, 0xA2, 0x2B};      // warning
inline const QColor kSky{0x4E, 0x8B, 0xC8};        // question

// The message signs: at least 3:1 on the page colour, and white glyphs at least 3:1 on them.
inline const QColor kSignAmber{0xA8, 0x6A, 0x14};  // 3.9:1 on the page; white on it 4.4:1
inline const QColor kSignSky{0x3A, 0x70, 0xAC};    // 4.6:1; white 5.1:1
inline const QColor kSignBrick{0xB5, 0x46, 0x2F};  // 4.8:1; white 5.4:1
inline const QColor kStone{0xA3, 0x9E, 0x88};      // offline, not installed

}  // namespace kv::skin::palette
