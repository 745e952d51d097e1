#include <gtest/gtest.h>

#include "sidebar/rules/GripLayout.h"

using namespace scb;

namespace {

// A bar's window rectangle on the screen and the client rectangle the base
// layout leaves inside it (drawn edges, one sizing edge toward the frame).
const Rect kLeftWindow{0, 60, 350, 760};
const Rect kLeftInner{5, 65, 340, 755};       // inset 5, 5, 10, 5
const Rect kTopWindow{100, 40, 1100, 390};
const Rect kTopInner{105, 45, 1095, 380};     // inset 5, 5, 5, 10

}  // namespace

TEST(GripBand, DockedLeftTheBandRunsAcrossTheTopWithTheButtonAtItsRightEnd) {
    GripPlacement g = PlaceGripBand(kLeftWindow, kLeftInner, false, 12);
    EXPECT_EQ(g.client, (Rect{5, 77, 340, 755}));
    // Window coordinates: the button's right edge one pixel short of the client's,
    // its top one pixel above the band's.
    EXPECT_EQ(g.buttonOrigin, (Point{328, 4}));
    Rect button = CloseButtonRect(g.buttonOrigin);
    EXPECT_EQ(button, (Rect{328, 4, 339, 15}));

    Rect clientInWindow{5, 17, 340, 695};
    GripLines lines = CalcGripLines(clientInWindow, false, 12, g.buttonOrigin);
    // Two 3-pixel lines stacked in the band, from the left to 3 pixels before the button.
    EXPECT_EQ(lines.first, (Rect{6, 6, 325, 9}));
    EXPECT_EQ(lines.second, (Rect{6, 9, 325, 12}));
    EXPECT_EQ(lines.first.right, button.left - 3);
    // Both inside the band, clear of the client area.
    EXPECT_GE(lines.first.top, clientInWindow.top - 12);
    EXPECT_LE(lines.second.bottom, clientInWindow.top);
}

TEST(GripBand, DockedTopTheBandRunsDownTheLeftWithTheButtonAtItsUpperEnd) {
    GripPlacement g = PlaceGripBand(kTopWindow, kTopInner, true, 12);
    EXPECT_EQ(g.client, (Rect{117, 45, 1095, 380}));
    EXPECT_EQ(g.buttonOrigin, (Point{4, 5}));
    Rect button = CloseButtonRect(g.buttonOrigin);
    EXPECT_EQ(button, (Rect{4, 5, 15, 16}));

    Rect clientInWindow{17, 5, 995, 340};
    GripLines lines = CalcGripLines(clientInWindow, true, 12, g.buttonOrigin);
    // Side by side down the band, starting 14 pixels below the button's top.
    EXPECT_EQ(lines.first, (Rect{6, 19, 9, 339}));
    EXPECT_EQ(lines.second, (Rect{9, 19, 12, 339}));
    EXPECT_EQ(lines.first.top, button.top + 14);
    EXPECT_GT(lines.first.top, button.bottom);
}

TEST(CloseButton, LookFollowsCursorAndLeftButton) {
    EXPECT_EQ(CloseButtonLook(false, false), (ButtonLook{false, false}));
    EXPECT_EQ(CloseButtonLook(false, true), (ButtonLook{false, false}));   // held elsewhere: flat
    EXPECT_EQ(CloseButtonLook(true, false), (ButtonLook{false, true}));    // raised
    EXPECT_EQ(CloseButtonLook(true, true), (ButtonLook{true, false}));     // sunken
}

TEST(CloseButton, GlyphStaysEightPixelsHighAtAnyResolution) {
    EXPECT_EQ(CloseGlyphPointTenths(96), 60);
    EXPECT_EQ(CloseGlyphPointTenths(120), 48);
    for (int dpi = 48; dpi <= 480; ++dpi) {
        SCOPED_TRACE(dpi);
        ASSERT_EQ(PointFontHeight(CloseGlyphPointTenths(dpi), dpi), 8);
    }
}

TEST(CloseButton, MulDivRoundsHalvesAwayFromZeroAndSurvivesZeroAndLargeValues) {
    EXPECT_EQ(MulDivRound(5, 1, 2), 3);
    EXPECT_EQ(MulDivRound(-5, 1, 2), -3);
    EXPECT_EQ(MulDivRound(5, -1, 2), -3);
    EXPECT_EQ(MulDivRound(7, 1, 3), 2);
    EXPECT_EQ(MulDivRound(60, 96, 0), 0);
    EXPECT_EQ(MulDivRound(2000000000, 2, 4), 1000000000);   // no overflow in the product
}
