#include "sidebar/rules/GripLayout.h"

#include <cstdlib>

namespace scb {

GripPlacement PlaceGripBand(const Rect& window, const Rect& inner, bool horzDocked, int cyGripBand) {
    GripPlacement g;
    g.client = inner;
    Point corner;
    if (horzDocked) {
        g.client.left += cyGripBand;
        corner = Point{g.client.left - 13, g.client.top};
    } else {
        g.client.top += cyGripBand;
        corner = Point{g.client.right - 12, g.client.top - 13};
    }
    g.buttonOrigin = Point{corner.x - window.left, corner.y - window.top};
    return g;
}

Rect CloseButtonRect(Point origin) {
    return Rect{origin.x, origin.y, origin.x + kCloseButtonSize, origin.y + kCloseButtonSize};
}

GripLines CalcGripLines(const Rect& client, bool horzDocked, int cyGripBand, Point buttonOrigin) {
    Rect grip = client;
    grip.Deflate(1, 1, 1, 1);
    GripLines lines;
    if (horzDocked) {
        grip.left -= cyGripBand;
        grip.right = grip.left + 3;
        grip.top = buttonOrigin.y + 14;
        lines.first = grip;
        grip.Offset(3, 0);
    } else {
        grip.top -= cyGripBand;
        grip.bottom = grip.top + 3;
        grip.right = buttonOrigin.x - 3;
        lines.first = grip;
        grip.Offset(0, 3);
    }
    lines.second = grip;
    return lines;
}

ButtonLook CloseButtonLook(bool overButton, bool leftButtonDown) {
    return ButtonLook{overButton && leftButtonDown, overButton && !leftButtonDown};
}

int MulDivRound(int a, int b, int c) {
    if (c == 0) return 0;
    long long n = (long long)a * b;
    long long q = (std::llabs(n) + std::llabs((long long)c) / 2) / std::llabs((long long)c);
    return (int)(((n < 0) != (c < 0)) ? -q : q);
}

int CloseGlyphPointTenths(int logPixelsY) {
    return MulDivRound(60, 96, logPixelsY);
}

int PointFontHeight(int pointTenths, int logPixelsY) {
    // Rounded, not cut: a cut loses a pixel at resolutions that do not divide evenly.
    return MulDivRound(pointTenths, logPixelsY, 720);
}

}  // namespace scb
