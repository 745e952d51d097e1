#include "sidebar/rules/SizingLayout.h"

#include <algorithm>
#include <cstdlib>

namespace scb {

namespace {

// A list without its leading or trailing break would leave the range open;
// such a row simply runs to the list's end instead of off it.
void ClampRange(const std::vector<RowEntry>& list, RowRange& r) {
    if (r.first < 0) r.first = 0;
    if (r.last < 0 || r.last >= (int)list.size()) r.last = (int)list.size() - 1;
}

std::vector<int> SizingBarsIn(const std::vector<RowEntry>& list, int first, int last) {
    std::vector<int> out;
    for (int i = first; i <= last; ++i)
        if (list[i].InRow() && list[i].sizing) out.push_back(i);
    return out;
}

}  // namespace

RowRange GetRowRange(const std::vector<RowEntry>& list, int index) {
    RowRange r;
    for (int i = index - 1; i >= 0; --i)
        if (list[i].kind == RowEntry::Kind::Break) {
            r.first = i + 1;
            break;
        }
    for (int i = index + 1; i < (int)list.size(); ++i)
        if (list[i].kind == RowEntry::Kind::Break) {
            r.last = i - 1;
            break;
        }
    return r;
}

std::vector<int> CollectRowSizingBars(const std::vector<RowEntry>& list, int index, int* thisPos) {
    if (thisPos) *thisPos = -1;
    if (index < 0 || index >= (int)list.size()) return {};
    RowRange r = GetRowRange(list, index);
    ClampRange(list, r);
    std::vector<int> out = SizingBarsIn(list, r.first, r.last);
    if (thisPos) {
        auto it = std::find(out.begin(), out.end(), index);
        if (it != out.end()) *thisPos = (int)(it - out.begin());
    }
    return out;
}

namespace {

// What the bars of a row ask for: the fixed bars' lengths come off the row and
// the sizing bars share what is left. `stop` is the first bar that no longer
// fits even at its minimum, -1 when every bar does.
struct RowDemand {
    int available = 0;   // the row less the fixed bars
    int actual = 0;      // what the sizing bars take now
    int widest = 0;      // the thickest sizing bar
    int stop = -1;
};

RowDemand MeasureRow(const std::vector<RowEntry>& list, RowRange r, int rowLength) {
    RowDemand d;
    d.available = rowLength;
    int minimum = 2;
    for (int i = r.first; i <= r.last; ++i) {
        const RowEntry& e = list[i];
        if (!e.InRow()) continue;
        int len = e.sizing ? e.minLength : e.length;
        minimum += len - 2;
        if (minimum > rowLength) {
            d.stop = i;
            break;
        }
        if (e.sizing) {
            d.actual += e.length - 2;
            d.widest = std::max(d.widest, e.thickness);
        } else {
            d.available -= len - 2;
        }
    }
    return d;
}

// A row whose minimums do not fit is split where they stop fitting. False when
// the row needs nothing more; otherwise `last` becomes the row's last entry.
bool SplitOverfullRow(std::vector<RowEntry>& list, int index, int stop, int& last, DistributeResult& result) {
    if (stop < index) {
        result.lineUp = false;
        result.insertBreakAt = stop + 1;
        return false;
    }
    if (stop == index) {
        if (list[index].sizing) list[index].length = list[index].minLength;
        return false;
    }
    result.insertBreakAt = stop;
    last = stop - 1;
    return true;
}

// Hands `delta` out one pixel at a time round the bars that may still change;
// when none may, their hold flags go and the round is tried once more.
void ShareDelta(std::vector<RowEntry>& list, const std::vector<int>& bars, int delta) {
    bool holdsCleared = false;
    for (;;) {
        bool changed = false;
        for (int i : bars) {
            if (delta == 0) break;
            RowEntry& e = list[i];
            if ((delta < 0 && e.length <= e.minLength) || e.holdSize) continue;
            int step = delta > 0 ? 1 : -1;
            e.length += step;
            delta -= step;
            changed = true;
        }
        if (!changed || delta == 0) {
            for (int i : bars) list[i].holdSize = false;
            // Nothing can move any more: stop rather than spin.
            if (delta == 0 || (!changed && holdsCleared)) break;
            holdsCleared = true;
        }
    }
}

}  // namespace

DistributeResult DistributeRowLength(std::vector<RowEntry>& list, int index, int rowLength) {
    DistributeResult result;
    if (index < 0 || index >= (int)list.size()) return result;
    RowRange r = GetRowRange(list, index);
    ClampRange(list, r);

    const RowDemand demand = MeasureRow(list, r, rowLength);
    int last = r.last;
    if (demand.stop >= 0 && !SplitOverfullRow(list, index, demand.stop, last, result)) return result;

    std::vector<int> bars = SizingBarsIn(list, r.first, last);
    if (bars.empty()) return result;
    const int delta = demand.available - demand.actual;
    if (bars.size() == 1) {
        // A bar alone in its row takes the whole difference, held or not.
        RowEntry& e = list[bars[0]];
        if (delta != 0) {
            e.holdSize = false;
            e.length += delta;
        }
        return result;
    }
    for (int i : bars) list[i].thickness = demand.widest;
    if (delta != 0) ShareDelta(list, bars, delta);
    return result;
}

namespace {

// A sizing bar keeps its top-left corner and takes its docked size; any other
// bar keeps its window as it is.
Rect DockedRect(const RowEntry& e, bool horizontal) {
    Rect rc = e.rect;
    if (e.sizing) {
        rc.right = rc.left + (horizontal ? e.length : e.thickness);
        rc.bottom = rc.top + (horizontal ? e.thickness : e.length);
    }
    return rc;
}

// Brings the rectangle to `position` along the row; FALSE when it is there.
// A bar ends where it is compared, as the dock bar itself places it, so a row
// once lined up stays still on the next pass.
bool MoveAlongRow(Rect& rc, int position, bool horizontal, bool topDock) {
    if (horizontal) {
        if (rc.left == position) return false;
        rc.Offset(position - rc.left, topDock ? -2 : 0);
        return true;
    }
    if (rc.top == position) return false;
    rc.Offset(0, position - rc.top);
    return true;
}

}  // namespace

std::vector<int> LineUpRowBars(std::vector<RowEntry>& list, int index, bool horizontal, bool topDock) {
    std::vector<int> moved;
    if (index < 0 || index >= (int)list.size()) return moved;
    RowRange r = GetRowRange(list, index);
    ClampRange(list, r);
    int position = horizontal ? -2 : 0;
    for (int i = r.first; i <= r.last; ++i) {
        RowEntry& e = list[i];
        if (!e.InRow()) continue;
        e.rect = DockedRect(e, horizontal);
        if (MoveAlongRow(e.rect, position, horizontal, topDock)) moved.push_back(i);
        position += (horizontal ? e.rect.Width() : e.rect.Height()) - 2;
    }
    return moved;
}

Rect CalcInnerRect(Rect rect, DockSide side, unsigned& style, int cxEdge) {
    rect.Deflate(3, 5, 3, 3);
    if (side != DockSide::Float) rect.Deflate(2, 0, 2, 2);
    switch (side) {
    case DockSide::Top: style |= kEdgeBottom; break;
    case DockSide::Left: style |= kEdgeRight; break;
    case DockSide::Right: style |= kEdgeLeft; break;
    case DockSide::Bottom: style |= kEdgeTop; break;
    default: break;
    }
    if (style & kDrawEdges) {
        rect.Deflate(style & kEdgeLeft ? cxEdge : 0, style & kEdgeTop ? cxEdge : 0,
                     style & kEdgeRight ? cxEdge : 0, style & kEdgeBottom ? cxEdge : 0);
    }
    return rect;
}

unsigned RowEdgeBits(int thisPos, int count, bool horizontalRow) {
    unsigned bits = 0;
    if (thisPos < 0) return bits;
    if (thisPos > 0) bits |= horizontalRow ? kEdgeLeft : kEdgeTop;
    if (thisPos < count - 1) bits |= horizontalRow ? kEdgeRight : kEdgeBottom;
    return bits;
}

int EdgeIndexToHitCode(int index) {
    switch (index) {
    case 0: return kHtLeft;
    case 1: return kHtTop;
    case 2: return kHtRight;
    case 3: return kHtBottom;
    default: return 0;
    }
}

bool GetSizingEdgeRect(const Rect& window, unsigned hit, unsigned style, int cxEdge, bool horzDocked,
                       Rect& out) {
    out = window;
    if (style & kDrawEdges) out.Deflate(1, 1, 1, 1);
    switch (hit) {
    case kHtLeft:
        if (!(style & kEdgeLeft)) return false;
        out.right = out.left + cxEdge;
        if (horzDocked) out.Deflate(0, cxEdge, 0, cxEdge);
        return true;
    case kHtRight:
        if (!(style & kEdgeRight)) return false;
        out.left = out.right - cxEdge;
        if (horzDocked) out.Deflate(0, cxEdge, 0, cxEdge);
        return true;
    case kHtTop:
        if (!(style & kEdgeTop)) return false;
        out.bottom = out.top + cxEdge;
        if (!horzDocked) out.Deflate(cxEdge, 0, cxEdge, 0);
        return true;
    case kHtBottom:
        if (!(style & kEdgeBottom)) return false;
        out.top = out.bottom - cxEdge;
        if (!horzDocked) out.Deflate(cxEdge, 0, cxEdge, 0);
        return true;
    default:
        return true;
    }
}

unsigned EdgeHitTest(const Rect& window, int x, int y, unsigned style, int cxEdge, bool horzDocked) {
    for (int i = 0; i < 4; ++i) {
        unsigned hit = (unsigned)EdgeIndexToHitCode(i);
        Rect edge;
        if (GetSizingEdgeRect(window, hit, style, cxEdge, horzDocked, edge) && edge.Contains(x, y))
            return hit;
    }
    return 0;
}

bool IsTrackingInRow(unsigned hit, bool horzDocked, bool vertDocked) {
    return (IsHorzHit(hit) && horzDocked) || ((hit == kHtTop || hit == kHtBottom) && vertDocked);
}

TrackLimits CalcTrackLimits(unsigned hit, bool inRow, int trackPos, const TrackBar& thisBar,
                            const std::vector<TrackBar>& bars, int thisPos, int viewExtent) {
    TrackLimits t{trackPos, trackPos};
    if (!inRow) {
        int minThickness = thisBar.minThickness;
        for (const TrackBar& b : bars) minThickness = std::max(minThickness, b.minThickness);
        int spare = thisBar.thickness - minThickness;
        int maximum = viewExtent - 2;
        if (hit == kHtTop || hit == kHtLeft) {
            t.low -= maximum;
            t.high += spare;
        } else {
            t.low -= spare;
            t.high += maximum;
        }
        return t;
    }
    int split = thisPos + ((hit == kHtBottom || hit == kHtRight) ? 1 : 0);
    for (int i = 0; i < (int)bars.size(); ++i) {
        int spare = bars[i].length - bars[i].minLength;
        if (i < split) t.low -= spare;
        else t.high += spare;
    }
    return t;
}

namespace {

// Takes up to `amount` from the bars from `from` onward in the direction of
// `step`, nearest first, none of them below its minimum.
void TakeSpareLength(std::vector<TrackBar>& bars, int from, int step, int amount) {
    for (int i = from; amount > 0 && i >= 0 && i < (int)bars.size(); i += step) {
        int give = std::min(amount, std::max(0, bars[i].length - bars[i].minLength));
        bars[i].length -= give;
        amount -= give;
    }
}

// An edge between two bars of the row moved by delta: the bar it moves away
// from grows by the whole distance, and the bars it moves toward pay for it.
// `before` tells whether the edge is this bar's left or top one.
void MoveEdgeInRow(std::vector<TrackBar>& bars, int thisPos, bool before, int delta) {
    int growing = thisPos;
    if (before == (delta > 0)) {
        // Moving into this bar: the neighbour across the edge is the one that grows.
        growing = before ? thisPos - 1 : thisPos + 1;
        before = !before;
    }
    if (growing < 0 || growing >= (int)bars.size()) return;
    bars[growing].length += std::abs(delta);
    TakeSpareLength(bars, before ? growing - 1 : growing + 1, before ? -1 : 1, std::abs(delta));
}

}  // namespace

void ApplyTrackDelta(std::vector<TrackBar>& bars, int thisPos, unsigned hit, bool inRow, int delta) {
    if (thisPos < 0 || thisPos >= (int)bars.size() || delta == 0) return;
    const bool before = (hit == kHtTop || hit == kHtLeft);
    if (inRow) {
        MoveEdgeInRow(bars, thisPos, before, delta);
        return;
    }
    // The edge facing the frame's inside: the whole row takes the new thickness.
    const int thickness = bars[thisPos].thickness + (before ? -delta : delta);
    for (TrackBar& b : bars) b.thickness = thickness;
}

int EdgeCentre(const Rect& edge, unsigned hit) {
    return IsHorzHit(hit) ? (edge.left + edge.right) / 2 : (edge.top + edge.bottom) / 2;
}

int TrackLineOffset(const Rect& line, unsigned hit, int trackPos, int grabOffset) {
    return trackPos - grabOffset - EdgeCentre(line, hit);
}

bool IsCornerHit(unsigned hit) {
    return hit == kHtTopLeft || hit == kHtTopRight || hit == kHtBottomLeft || hit == kHtBottomRight;
}

CornerResize ResizeByCorner(unsigned hit, int cursorX, int cursorY, const Rect& frame, const Rect& bar,
                            Size current, Size minimum) {
    CornerResize r;
    r.size = current;
    if (hit == kHtTopLeft || hit == kHtBottomLeft) {
        r.size.cx = bar.Width() + frame.left - cursorX;
        r.setLeft = true;
        r.left = std::min(cursorX, frame.left + bar.Width() - minimum.cx);
    }
    if (hit == kHtTopLeft || hit == kHtTopRight) {
        r.size.cy = bar.Height() + frame.top - cursorY;
        r.setTop = true;
        r.top = std::min(cursorY, frame.top + bar.Height() - minimum.cy);
    }
    if (hit == kHtTopRight || hit == kHtBottomRight) r.size.cx = bar.Width() + cursorX - frame.right;
    if (hit == kHtBottomLeft || hit == kHtBottomRight) r.size.cy = bar.Height() + cursorY - frame.bottom;
    r.size.cx = std::max(r.size.cx, minimum.cx);
    r.size.cy = std::max(r.size.cy, minimum.cy);
    return r;
}

}  // namespace scb
