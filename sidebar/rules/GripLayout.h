// Geometry of the grip band of a docked sizing bar: where the band and its
// close button go, where the two grip lines run, the close button's look, and
// the size of the close glyph's font. Plain data in, plain data out.
#pragma once
#include "sidebar/rules/SizingLayout.h"

namespace scb {

struct Point {
    int x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

// The close button is a square of this many pixels.
constexpr int kCloseButtonSize = 11;

// Takes the grip band out of the client rectangle `inner` (window coordinates
// relative to `window`'s top-left are what the button origin comes back in).
// A bar in a horizontal row (docked top or bottom) carries the band at its
// left with the button at the band's upper end; any other bar carries it
// across its top with the button at the band's right end.
struct GripPlacement {
    Rect client;          // `inner` without the band
    Point buttonOrigin;   // top-left of the close button, relative to window's top-left
};
GripPlacement PlaceGripBand(const Rect& window, const Rect& inner, bool horzDocked, int cyGripBand);

// The close button's rectangle for its origin.
Rect CloseButtonRect(Point origin);

// The two raised grip lines, each 3 pixels across the band, for the client
// rectangle in window coordinates and the button's origin.
struct GripLines {
    Rect first, second;
};
GripLines CalcGripLines(const Rect& client, bool horzDocked, int cyGripBand, Point buttonOrigin);

// The close button's look from the cursor and the left mouse button.
struct ButtonLook {
    bool pressed = false;   // sunken: held down over the button
    bool hot = false;       // raised: over the button, mouse button up
    bool operator==(const ButtonLook&) const = default;
};
ButtonLook CloseButtonLook(bool overButton, bool leftButtonDown);

// a * b / c rounded to the nearest integer, halves away from zero (the
// system's MulDiv); 0 when c is 0.
int MulDivRound(int a, int b, int c);
// Tenths of a point for the close glyph at a vertical resolution of
// `logPixelsY` dots per inch: 6 points at 96, scaled so that the glyph keeps
// its pixel height at any resolution.
int CloseGlyphPointTenths(int logPixelsY);
// The cell height in pixels of a font of `pointTenths` tenths of a point.
int PointFontHeight(int pointTenths, int logPixelsY);

}  // namespace scb
