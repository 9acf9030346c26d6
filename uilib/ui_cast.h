#pragma once

#include "uilib/control.h"

namespace kv::ui {

// `control` as the kind of control (or control interface) T when it is one; nullptr when it is
// null or of another kind. Layouts come from skin files, so a name may well stand for a
// control of an unexpected kind: the check keeps that a missing control, never a wrong one.
template <typename T>
T* ui_cast(CControlUI* control) {
  return dynamic_cast<T*>(control);
}

}  // namespace kv::ui
