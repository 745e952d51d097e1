// Layout arithmetic of sizing control bars: how a dock row shares its length,
// where its bars line up, how a bar's window splits into borders, sizing edges
// and client area, and how far a dragged edge may go. Plain data in, plain data
// out; the window classes copy their state in and the results back.
#pragma once
#include <vector>

namespace scb {

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    void Deflate(int l, int t, int r, int b) { left += l; top += t; right -= r; bottom -= b; }
    void Offset(int dx, int dy) { left += dx; right += dx; top += dy; bottom += dy; }
    bool operator==(const Rect&) const = default;
};

struct Size {
    int cx = 0, cy = 0;
    bool operator==(const Size&) const = default;
};

// Hit-test codes, numerically the system's own.
enum HitCode : unsigned {
    kHtLeft = 10, kHtRight = 11, kHtTop = 12, kHtTopLeft = 13, kHtTopRight = 14,
    kHtBottom = 15, kHtBottomLeft = 16, kHtBottomRight = 17,
};

// Sizing style bits.
enum : unsigned {
    kEdgeLeft = 0x01, kEdgeRight = 0x02, kEdgeTop = 0x04, kEdgeBottom = 0x08, kEdgeAll = 0x0F,
    kDrawEdges = 0x10, kFitChild = 0x20,
};

enum class DockSide { None, Top, Left, Right, Bottom, Float };

// One entry of a dock bar's list of bars as the row arithmetic sees it.
// Along the row: length; across it: thickness. For bars that are not sizing
// bars only `length` (their window's extent along the row) counts.
struct RowEntry {
    enum class Kind { Break, Placeholder, Bar };
    Kind kind = Kind::Bar;
    bool visible = true;
    bool sizing = false;
    int length = 0, minLength = 0;
    int thickness = 0, minThickness = 0;
    bool holdSize = false;
    Rect rect;   // window rectangle relative to the dock bar (line-up only)

    bool InRow() const { return kind == Kind::Bar && visible; }
};

// First and last entry of the row holding `index`: one after the nearest break
// before it, one before the nearest break after it; -1 when no break is met.
struct RowRange {
    int first = -1, last = -1;
};
RowRange GetRowRange(const std::vector<RowEntry>& list, int index);

// Indices of the visible sizing bars of the row holding `index`, in row order;
// *thisPos receives the position of `index` among them, or -1.
std::vector<int> CollectRowSizingBars(const std::vector<RowEntry>& list, int index, int* thisPos = nullptr);

// Shares `rowLength` between the sizing bars of the row of `index` (the row's
// first sizing bar). Entries are updated in place. When the bars' minimums do
// not fit, insertBreakAt names where a row break must go into the list.
struct DistributeResult {
    bool lineUp = true;      // FALSE: the row was split before this bar; lay out again
    int insertBreakAt = -1;  // list position for a new empty entry, or -1
};
DistributeResult DistributeRowLength(std::vector<RowEntry>& list, int index, int rowLength);

// Moves the row's bars edge to edge, overlapping by 2 pixels. Sizing bars take
// their docked size. Returns the list indices whose rectangle changed.
std::vector<int> LineUpRowBars(std::vector<RowEntry>& list, int index, bool horizontal, bool topDock);

// Window rectangle -> client rectangle. Sets in `style` the edge bit of the side
// that faces the frame's inside (the caller has set the in-row bits already).
Rect CalcInnerRect(Rect rect, DockSide side, unsigned& style, int cxEdge);

// The edge bits a bar gets from its place among the row's sizing bars.
unsigned RowEdgeBits(int thisPos, int count, bool horizontalRow);

// Rectangle of a sizing edge; FALSE when the bar has no such edge.
int EdgeIndexToHitCode(int index);
bool GetSizingEdgeRect(const Rect& window, unsigned hit, unsigned style, int cxEdge, bool horzDocked,
                       Rect& out);
// The first edge (left, top, right, bottom) containing the screen point, else 0.
unsigned EdgeHitTest(const Rect& window, int x, int y, unsigned style, int cxEdge, bool horzDocked);

// A sizing bar of the row as an edge drag sees it.
struct TrackBar {
    int length = 0, minLength = 0;
    int thickness = 0, minThickness = 0;
};

// The drag axis is x for left and right edges.
inline bool IsHorzHit(unsigned hit) { return hit == kHtLeft || hit == kHtRight; }
// TRUE when the dragged edge lies between two bars of the row.
bool IsTrackingInRow(unsigned hit, bool horzDocked, bool vertDocked);

struct TrackLimits {
    int low = 0, high = 0;
};
// How far an edge drag starting at trackPos may go. thisBar is this bar's
// own entry (it is also bars[thisPos]); viewExtent is the height (horizontal
// row) or width (vertical row) the view would get.
TrackLimits CalcTrackLimits(unsigned hit, bool inRow, int trackPos, const TrackBar& thisBar,
                            const std::vector<TrackBar>& bars, int thisPos, int viewExtent);

// Applies an edge moved by delta pixels to the row's sizing bars.
void ApplyTrackDelta(std::vector<TrackBar>& bars, int thisPos, unsigned hit, bool inRow, int delta);

// Offset of the tracked line along the drag axis: where it is drawn.
int TrackLineOffset(const Rect& line, unsigned hit, int trackPos, int grabOffset);
// Centre of an edge rectangle on the drag axis, halved toward 0.
int EdgeCentre(const Rect& edge, unsigned hit);

// A floating frame resized by one of its corners: the bar's new floating
// size, and where the left or top side of the frame's drag rectangle stops.
struct CornerResize {
    Size size;
    bool setLeft = false, setTop = false;
    int left = 0, top = 0;
};
bool IsCornerHit(unsigned hit);
CornerResize ResizeByCorner(unsigned hit, int cursorX, int cursorY, const Rect& frame, const Rect& bar,
                            Size current, Size minimum);

}  // namespace scb
