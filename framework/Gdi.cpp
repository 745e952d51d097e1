#include "framework/Gdi.h"

HBRUSH GetHalftoneBrush() {
    // Alternate pixels set: inverting with it twice restores what was there.
    static HBRUSH s_brush = [] {
        WORD pattern[8];
        for (int i = 0; i < 8; ++i) pattern[i] = (WORD)(0x5555 << (i & 1));
        HBITMAP bmp = ::CreateBitmap(8, 8, 1, 1, pattern);
        HBRUSH b = ::CreatePatternBrush(bmp);
        ::DeleteObject(bmp);
        return b;
    }();
    return s_brush;
}

void Draw3dRect(HDC hDC, const RECT& rc, COLORREF clrTopLeft, COLORREF clrBottomRight) {
    auto fill = [hDC](int x, int y, int cx, int cy, COLORREF c) {
        RECT r{x, y, x + cx, y + cy};
        ::SetBkColor(hDC, c);
        ::ExtTextOutA(hDC, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    };
    int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
    COLORREF old = ::GetBkColor(hDC);
    fill(rc.left, rc.top, cx - 1, 1, clrTopLeft);
    fill(rc.left, rc.top, 1, cy - 1, clrTopLeft);
    fill(rc.right - 1, rc.top, 1, cy, clrBottomRight);
    fill(rc.left, rc.bottom - 1, cx, 1, clrBottomRight);
    ::SetBkColor(hDC, old);
}
