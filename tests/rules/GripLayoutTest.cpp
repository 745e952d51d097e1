#include <gtest/gtest.h>

#include "sidebar/rules/GripLayout.h"

using namespace scb;

TEST(GripBand, DockedLeftTheBandRunsAcrossTheTopWithTheButtonAtItsRightEnd) {
    const Rect window{0, 60, 350, 760}, inner{5, 65, 340, 755};   // inset 5, 5, 10, 5
    GripPlacement g = PlaceGripBand(window, inner, false, 12);
    EXPECT_EQ(g.client, (Rect{5, 77, 340, 755}));
    // Window coordinates: the button's right edge one pixel short of the client's,
    // its top one pixel above the band's.
    EXPECT_EQ(CloseButtonRect(g.buttonOrigin), (Rect{328, 4, 339, 15}));
    // Two 3-pixel lines stacked in the band, from the left to 3 pixels before the button.
    GripLines lines = CalcGripLines(Rect{5, 17, 340, 695}, false, 12, g.buttonOrigin);
    EXPECT_EQ(lines.first, (Rect{6, 6, 325, 9}));
    EXPECT_EQ(lines.second, (Rect{6, 9, 325, 12}));
}

TEST(GripBand, DockedTopTheBandRunsDownTheLeftWithTheButtonAtItsUpperEnd) {
    const Rect window{100, 40, 1100, 390}, inner{105, 45, 1095, 380};   // inset 5, 5, 5, 10
    GripPlacement g = PlaceGripBand(window, inner, true, 12);
    EXPECT_EQ(g.client, (Rect{117, 45, 1095, 380}));
    EXPECT_EQ(CloseButtonRect(g.buttonOrigin), (Rect{4, 5, 15, 16}));
    // Side by side down the band, starting 14 pixels below the button's top.
    GripLines lines = CalcGripLines(Rect{17, 5, 995, 340}, true, 12, g.buttonOrigin);
    EXPECT_EQ(lines.first, (Rect{6, 19, 9, 339}));
    EXPECT_EQ(lines.second, (Rect{9, 19, 12, 339}));
}

TEST(CloseButton, GlyphStaysEightPixelsHighAtAnyResolution) {
    EXPECT_EQ(CloseGlyphPointTenths(96), 60);
    EXPECT_EQ(CloseGlyphPointTenths(120), 48);
    EXPECT_EQ(CloseGlyphPointTenths(0), 0) << "a device without a resolution divides by nothing";
    for (int dpi = 48; dpi <= 480; ++dpi) {
        SCOPED_TRACE(dpi);
        ASSERT_EQ(PointFontHeight(CloseGlyphPointTenths(dpi), dpi), 8);
    }
}
