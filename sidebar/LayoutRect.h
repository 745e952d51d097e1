// The window's RECT and the layout arithmetic's own rectangle, one into the other.
#pragma once
#include <windows.h>

#include "sidebar/rules/SizingLayout.h"

namespace scb {

inline Rect ToRect(const RECT& r) {
    return Rect{r.left, r.top, r.right, r.bottom};
}

inline RECT FromRect(const Rect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

}  // namespace scb
