#include <gtest/gtest.h>

#include "sidebar/rules/SizingLayout.h"

using namespace scb;

namespace {

RowEntry Entry(RowEntry::Kind kind, int length = 0) {
    RowEntry e;
    e.kind = kind;
    e.length = length;
    return e;
}
const RowEntry kBreak = Entry(RowEntry::Kind::Break);
const RowEntry kPlaceholder = Entry(RowEntry::Kind::Placeholder);
RowEntry Plain(int length) {
    return Entry(RowEntry::Kind::Bar, length);
}
RowEntry Sizing(int length, int minLength = 350, int thickness = 350, bool hold = false) {
    RowEntry e = Plain(length);
    e.sizing = true;
    e.minLength = minLength;
    e.thickness = thickness;
    e.minThickness = 32;
    e.holdSize = hold;
    return e;
}
// Every entry's length, breaks and placeholders 0.
std::vector<int> Lengths(const std::vector<RowEntry>& list) {
    std::vector<int> out;
    for (const RowEntry& e : list) out.push_back(e.length);
    return out;
}

}  // namespace

TEST(SizingRowShare, SingleBarTakesTheWholeRow) {
    // A left-docked bar: row length is the layout height - 2, and the bar ends as tall as the layout.
    std::vector<RowEntry> list{kBreak, Sizing(350, 32, 350, true), kBreak};
    auto r = DistributeRowLength(list, 1, 700 - 2);
    EXPECT_EQ((std::pair{r.lineUp, r.insertBreakAt}), (std::pair{true, -1}));
    EXPECT_EQ(list[1].length, 700);
    EXPECT_FALSE(list[1].holdSize);
    EXPECT_EQ(list[1].thickness, 350);   // a lone bar keeps its own thickness

    // Already fitting: nothing changes, the hold flag stays for the next negotiation.
    list[1].holdSize = true;
    DistributeRowLength(list, 1, 698);
    EXPECT_EQ(list[1].length, 700);
    EXPECT_TRUE(list[1].holdSize);
}

TEST(SizingRowShare, TwoBarsBesideAnOrdinaryBarSpreadOnePixelAtATimeFrontFirst) {
    // Ordinary bar 100 wide keeps its length; 109 spare pixels go 55 / 54.
    std::vector<RowEntry> list{kBreak, Sizing(400, 350, 40), Plain(100), kPlaceholder, Sizing(400, 350, 60), kBreak};
    EXPECT_TRUE(DistributeRowLength(list, 1, 1003).lineUp);
    EXPECT_EQ(Lengths(list), (std::vector<int>{0, 455, 100, 0, 454, 0}));
    EXPECT_EQ((std::pair{list[1].thickness, list[4].thickness}), (std::pair{60, 60}))
        << "every sizing bar takes the widest thickness";
}

TEST(SizingRowShare, HeldBarKeepsItsLengthWhileOthersGiveWayAndBarsAtTheirMinimumAreSkipped) {
    std::vector<RowEntry> list{kBreak, Sizing(500, 350, 50, true), Sizing(500), Sizing(500), kBreak};
    // Row shrinks by 60: the two free bars give 30 each, the held bar stays.
    DistributeRowLength(list, 1, 3 * 498 - 60);
    EXPECT_EQ(Lengths(list), (std::vector<int>{0, 500, 470, 470, 0}));
    for (int i = 1; i <= 3; ++i) EXPECT_FALSE(list[i].holdSize) << i;

    // When every other bar is at its minimum the held bar gives way after all.
    std::vector<RowEntry> tight{kBreak, Sizing(500, 350, 50, true), Sizing(350), kBreak};
    DistributeRowLength(tight, 1, 498 + 348 - 40);
    EXPECT_EQ(Lengths(tight), (std::vector<int>{0, 460, 350, 0}));

    std::vector<RowEntry> mins{kBreak, Sizing(350), Sizing(600), Sizing(351), kBreak};
    DistributeRowLength(mins, 1, 348 + 598 + 349 - 101);
    EXPECT_EQ(Lengths(mins), (std::vector<int>{0, 350, 500, 350, 0}));
}

TEST(SizingRowShare, InvisibleBarsAndPlaceholdersDoNotCount) {
    RowEntry hidden = Plain(300);
    hidden.visible = false;
    RowEntry hiddenSizing = Sizing(900);
    hiddenSizing.visible = false;
    std::vector<RowEntry> list{kBreak, hidden, Sizing(400), kPlaceholder, hiddenSizing, kBreak, Sizing(400), kBreak};
    DistributeRowLength(list, 2, 600);
    // Alone in its row, the hidden bars untouched, the next row another row.
    EXPECT_EQ(Lengths(list), (std::vector<int>{0, 300, 602, 0, 900, 0, 400, 0}));
    int pos = -2;
    EXPECT_EQ(CollectRowSizingBars(list, 2, &pos), std::vector<int>{2});
    EXPECT_EQ(pos, 0);
}

TEST(SizingRowSplit, OverflowStartsANewRowAfterThisBarBeforeItOrSetsThisBarToItsMinimum) {
    // Minimums 350 + 350 + 350 do not fit 900: the third bar moves to a new row
    // and the first two share the row alone.
    std::vector<RowEntry> after{kBreak, Sizing(400), Sizing(400), Sizing(400), kBreak};
    auto r = DistributeRowLength(after, 1, 900);
    EXPECT_EQ((std::pair{r.lineUp, r.insertBreakAt}), (std::pair{true, 3}));
    EXPECT_EQ(Lengths(after), (std::vector<int>{0, 452, 452, 400, 0}));

    // Before this bar: the row breaks after the second ordinary bar and asks for another layout.
    std::vector<RowEntry> before{kBreak, Plain(600), Plain(600), Sizing(400), kBreak};
    r = DistributeRowLength(before, 3, 1000);
    EXPECT_EQ((std::pair{r.lineUp, r.insertBreakAt}), (std::pair{false, 3}));
    EXPECT_EQ(Lengths(before), (std::vector<int>{0, 600, 600, 400, 0}));

    std::vector<RowEntry> on{kBreak, Plain(900), Sizing(700), kBreak};
    r = DistributeRowLength(on, 2, 1000);
    EXPECT_EQ((std::pair{r.lineUp, r.insertBreakAt}), (std::pair{true, -1}));
    EXPECT_EQ(on[2].length, 350);
}

TEST(SizingRowRange, RangeStopsAtBreaksAndStaysOpenWithoutThem) {
    std::vector<RowEntry> list{kBreak, Sizing(1), Sizing(2), kBreak, Sizing(3), kBreak};
    RowRange r = GetRowRange(list, 2);
    EXPECT_EQ((std::pair{r.first, r.last}), (std::pair{1, 2}));
    std::vector<RowEntry> open{Sizing(1), Sizing(2)};
    r = GetRowRange(open, 0);
    EXPECT_EQ((std::pair{r.first, r.last}), (std::pair{-1, -1}));
    // An open list is walked to its ends, not off them.
    EXPECT_EQ(CollectRowSizingBars(open, 1).size(), 2u);
    DistributeRowLength(open, 0, 1000);
    EXPECT_EQ(open[0].length + open[1].length, 1004);
}

TEST(SizingLineUp, HorizontalRowOverlapsByTwoAndTopDockShiftsUp) {
    std::vector<RowEntry> list{kBreak, Sizing(500, 350, 80), Plain(100), Sizing(400, 350, 80), kBreak};
    list[1].rect = {-2, 0, 498, 80};   // already in place
    list[2].rect = {700, 0, 800, 30};
    list[3].rect = {0, 0, 10, 10};
    EXPECT_EQ(LineUpRowBars(list, 1, true, true), (std::vector<int>{2, 3}));
    EXPECT_EQ(list[1].rect, (Rect{-2, 0, 498, 80}));
    EXPECT_EQ(list[2].rect, (Rect{496, -2, 596, 28}));
    EXPECT_EQ(list[3].rect, (Rect{594, -2, 994, 78}));

    list[2].rect = {700, 0, 800, 30};
    LineUpRowBars(list, 3, true, false);   // bottom dock: no vertical shift
    EXPECT_EQ(list[2].rect, (Rect{496, 0, 596, 30}));
}

TEST(SizingLineUp, VerticalRowStartsAtZeroAndSettlesWhereItIsPlaced) {
    std::vector<RowEntry> list{kBreak, Sizing(300, 32, 200), Sizing(250, 32, 200), kBreak};
    list[1].rect = {0, 0, 200, 300};
    list[2].rect = {0, 400, 200, 650};
    EXPECT_EQ(LineUpRowBars(list, 1, false, false), std::vector<int>{2});
    EXPECT_EQ(list[2].rect, (Rect{0, 298, 200, 548}));
    EXPECT_TRUE(LineUpRowBars(list, 1, false, false).empty()) << "a row in place reports no move";
}

TEST(SizingInsets, ClientRectangleAndEdgesForEachPlace) {
    const Rect win{0, 0, 350, 700};
    unsigned style = kDrawEdges;
    EXPECT_EQ(CalcInnerRect(win, DockSide::Left, style, 5), (Rect{5, 5, 340, 695}));   // 5, 5, 10, 5
    EXPECT_EQ(style, kDrawEdges | kEdgeRight);
    style = 0;
    EXPECT_EQ(CalcInnerRect(win, DockSide::Float, style, 5), (Rect{3, 5, 347, 697}));
    EXPECT_EQ(style, 0u);
    // Second bar of a top row with edges drawn: left edge from the row, bottom from the side.
    style = kDrawEdges | RowEdgeBits(1, 2, true);
    EXPECT_EQ(CalcInnerRect(win, DockSide::Top, style, 5), (Rect{10, 5, 345, 690}));
    EXPECT_EQ(style, kDrawEdges | kEdgeLeft | kEdgeBottom);
    for (auto [side, edge] : {std::pair{DockSide::Right, kEdgeLeft}, std::pair{DockSide::Bottom, kEdgeTop}}) {
        style = 0;
        CalcInnerRect(win, side, style, 5);
        EXPECT_EQ(style, (unsigned)edge);
    }

    EXPECT_EQ((std::vector<unsigned>{RowEdgeBits(0, 1, true), RowEdgeBits(0, 2, true), RowEdgeBits(1, 3, false),
                                     RowEdgeBits(-1, 3, true)}),
              (std::vector<unsigned>{0, kEdgeRight, kEdgeTop | kEdgeBottom, 0}));
}

TEST(SizingEdges, EdgeRectanglesAndHitTest) {
    const Rect win{100, 50, 450, 750};   // left-docked bar on screen
    unsigned style = kDrawEdges | kEdgeRight;
    Rect e;
    EXPECT_FALSE(GetSizingEdgeRect(win, kHtLeft, style, 5, false, e));
    ASSERT_TRUE(GetSizingEdgeRect(win, kHtRight, style, 5, false, e));
    EXPECT_EQ(e, (Rect{444, 51, 449, 749}));
    // 449: the one-pixel inset.
    for (auto [x, hit] : {std::pair{444, (unsigned)kHtRight}, {448, kHtRight}, {449, 0u}, {443, 0u}})
        EXPECT_EQ(EdgeHitTest(win, x, 400, style, 5, false), hit) << x;
    // Without drawn edges the strip reaches the window's border.
    EXPECT_EQ(EdgeHitTest(win, 449, 400, kEdgeRight, 5, false), (unsigned)kHtRight);

    // Docked horizontally: side edges leave the corners to the top and bottom edges.
    style = kEdgeLeft | kEdgeBottom;
    ASSERT_TRUE(GetSizingEdgeRect(win, kHtLeft, style, 5, true, e));
    EXPECT_EQ(e, (Rect{100, 55, 105, 745}));
    EXPECT_EQ(EdgeHitTest(win, 101, 748, style, 5, true), (unsigned)kHtBottom);
    EXPECT_EQ(EdgeHitTest(win, 101, 60, style, 5, true), (unsigned)kHtLeft);
}

TEST(SizingTrack, OuterEdgeLimitsComeFromMinimumThicknessAndViewArea) {
    TrackBar self{700, 32, 350, 33};
    std::vector<TrackBar> bars{self};
    TrackLimits t = CalcTrackLimits(kHtRight, false, 450, self, bars, 0, 800);
    EXPECT_EQ((std::pair{t.low, t.high}), (std::pair{450 - (350 - 33), 450 + 798}));
    // A bar docked right grows to the left.
    t = CalcTrackLimits(kHtLeft, false, 900, self, bars, 0, 800);
    EXPECT_EQ((std::pair{t.low, t.high}), (std::pair{900 - 798, 900 + 317}));
    // The row's thickest minimum governs.
    std::vector<TrackBar> row{self, TrackBar{500, 32, 350, 100}};
    EXPECT_EQ(CalcTrackLimits(kHtRight, false, 450, self, row, 0, 800).low, 450 - 250);
}

TEST(SizingTrack, InRowLimitsAndTransfer) {
    std::vector<TrackBar> bars{{500, 350, 80, 32}, {400, 350, 80, 32}, {450, 350, 80, 32}};
    TrackLimits t = CalcTrackLimits(kHtRight, true, 1000, bars[0], bars, 0, 0);
    EXPECT_EQ((std::pair{t.low, t.high}), (std::pair{1000 - 150, 1000 + 50 + 100}));
    t = CalcTrackLimits(kHtLeft, true, 1000, bars[1], bars, 1, 0);
    EXPECT_EQ((std::pair{t.low, t.high}), (std::pair{1000 - 150, 1000 + 150}));

    // The lengths after an edge of bar `pos` moved by `delta`.
    auto moved = [&](int pos, unsigned hit, int delta) {
        auto row = bars;
        ApplyTrackDelta(row, pos, hit, true, delta);
        return std::vector<int>{row[0].length, row[1].length, row[2].length};
    };
    // Right edge of the first bar moves right by 120: the second gives 50, the third 70.
    EXPECT_EQ(moved(0, kHtRight, 120), (std::vector<int>{620, 350, 380}));
    // Left edge of the second bar moves right: the first grows, the second shrinks.
    EXPECT_EQ(moved(1, kHtLeft, 30), (std::vector<int>{530, 370, 450}));
    // Right edge moves left: the bar itself gives way, the next one grows.
    EXPECT_EQ(moved(0, kHtRight, -40), (std::vector<int>{460, 440, 450}));

    // Outer edge: every bar of the row takes the new thickness.
    auto row = bars;
    ApplyTrackDelta(row, 1, kHtBottom, false, 25);
    for (const TrackBar& b : row) EXPECT_EQ(b.thickness, 105);
    ApplyTrackDelta(row, 0, kHtTop, false, 25);
    for (const TrackBar& b : row) EXPECT_EQ(b.thickness, 80);
}

TEST(SizingTrack, LineFollowsTheGrabPoint) {
    Rect line{344, 51, 349, 749};
    EXPECT_EQ(EdgeCentre(Rect{-5, 0, 0, 0}, kHtLeft), -2);   // halved toward 0
    // Grabbed 1 pixel right of the centre, now at 400: the line moves so its centre is at 399.
    EXPECT_EQ(TrackLineOffset(line, kHtRight, 400, 1), 399 - 346);
}

TEST(SizingFloatCorner, CornerResizeStopsAtTheMinimum) {
    const Rect frame{100, 100, 500, 500};
    const Rect bar{104, 120, 496, 496};   // 392 x 376
    const Size mins{37, 32};
    CornerResize r = ResizeByCorner(kHtBottomRight, 600, 550, frame, bar, {350, 350}, mins);
    EXPECT_EQ(r.size, (Size{492, 426}));
    EXPECT_FALSE(r.setLeft || r.setTop);
    EXPECT_EQ(ResizeByCorner(kHtBottomRight, 50, 50, frame, bar, {350, 350}, mins).size, mins);

    // Left and top corners dragged past the minimum stop the frame's side where the minimum is reached.
    r = ResizeByCorner(kHtTopLeft, 1000, 1000, frame, bar, {350, 350}, mins);
    EXPECT_EQ(r.size, mins);
    EXPECT_EQ((std::pair{r.left, r.top}), (std::pair{100 + 392 - 37, 100 + 376 - 32}));
    r = ResizeByCorner(kHtBottomLeft, 80, 520, frame, bar, {350, 350}, mins);
    EXPECT_EQ(r.size, (Size{412, 396}));
    EXPECT_TRUE(r.setLeft && !r.setTop);
    EXPECT_EQ(r.left, 80);
}
