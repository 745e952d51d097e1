// Sizing bar geometry: rounding is to the nearest with halves away from zero;
// a hit edge contains the point; a row whose minimums fit is filled exactly,
// overlaps of 2 pixels included, and a horizontal one lined up edge to edge; an edge drag
// within its limits moves length between bars without making or losing any.
#include <climits>
#include <vector>

#include "sidebar/rules/GripLayout.h"
#include "sidebar/rules/SizingLayout.h"
#include "tools/fuzz/Fuzz.h"

using namespace scb;

namespace {

void CheckRounding(int a, int b, int c) {
    const long long n = (long long)a * b;
    if (c != 0 && std::llabs(n) / std::llabs((long long)c) >= INT_MAX) return;   // no int holds the quotient
    const long long q = MulDivRound(a, b, c), r = n - q * c;
    FUZZ_CHECK(c == 0 ? q == 0 : 2 * std::llabs(r) < std::llabs(c) || (2 * std::llabs(r) == std::llabs(c) && std::llabs(q * c) > std::llabs(n)));
}

std::vector<RowEntry> MakeList(FuzzedDataProvider& in) {
    std::vector<RowEntry> list(in.ConsumeIntegralInRange(1, 8));
    for (RowEntry& e : list) {
        e.kind = in.ConsumeBool() ? RowEntry::Kind::Bar : in.ConsumeBool() ? RowEntry::Kind::Break : RowEntry::Kind::Placeholder;
        e.visible = in.ConsumeIntegralInRange(0, 3) != 0;
        e.sizing = in.ConsumeBool();
        e.minLength = in.ConsumeIntegralInRange(2, 200);
        e.length = in.ConsumeIntegralInRange(2, 400);
        e.thickness = in.ConsumeIntegralInRange(2, 100);
        e.holdSize = in.ConsumeBool();
    }
    return list;
}

// Along the row, each bar's length less the 2 pixels it overlaps the next.
int RowExtent(const std::vector<RowEntry>& list, RowRange r, bool minimums) {
    int extent = 0;
    for (int i = r.first; i <= r.last; ++i)
        if (list[i].InRow()) extent += (minimums && list[i].sizing ? list[i].minLength : list[i].length) - 2;
    return extent;
}

void CheckRow(FuzzedDataProvider& in, bool horizontal) {
    std::vector<RowEntry> list = MakeList(in);
    const int rowLength = in.ConsumeIntegralInRange(0, 1000);
    const std::vector<int> bars = CollectRowSizingBars(list, in.ConsumeIntegralInRange<int>(0, int(list.size()) - 1));
    if (bars.empty()) return;
    RowRange r = GetRowRange(list, bars[0]);
    r.first = std::max(r.first, 0);
    r.last = r.last < 0 ? int(list.size()) - 1 : r.last;
    if (RowExtent(list, r, true) > rowLength - 2) return;   // the row would be split
    const DistributeResult result = DistributeRowLength(list, bars[0], rowLength);
    FUZZ_CHECK(result.lineUp && result.insertBreakAt < 0 && RowExtent(list, r, false) == rowLength);
    LineUpRowBars(list, bars[0], horizontal, false);
    for (int i = r.first, prev = -1; i <= r.last; ++i) {
        if (!list[i].InRow()) continue;
        FUZZ_CHECK(!horizontal || prev < 0 || list[i].rect.left == list[prev].rect.right - 2);
        prev = i;
    }
}

void CheckDrag(FuzzedDataProvider& in) {
    std::vector<TrackBar> bars(in.ConsumeIntegralInRange(1, 6));
    for (TrackBar& b : bars) {
        b.minLength = in.ConsumeIntegralInRange(0, 100);
        b.length = b.minLength + in.ConsumeIntegralInRange(0, 300);
    }
    const int thisPos = in.ConsumeIntegralInRange<int>(0, int(bars.size()) - 1);
    const unsigned hit = EdgeIndexToHitCode(in.ConsumeIntegralInRange(0, 3));
    const TrackLimits limits = CalcTrackLimits(hit, true, 0, bars[thisPos], bars, thisPos, 0);
    const int delta = in.ConsumeIntegralInRange(limits.low, limits.high);
    int before = 0, after = 0;
    for (const TrackBar& b : bars) before += b.length;
    ApplyTrackDelta(bars, thisPos, hit, true, delta);
    for (const TrackBar& b : bars) {
        after += b.length;
        FUZZ_CHECK(b.length >= b.minLength);
    }
    FUZZ_CHECK(after == before);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    CheckRounding(in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>());
    const Rect window{in.ConsumeIntegralInRange(-500, 500), in.ConsumeIntegralInRange(-500, 500), in.ConsumeIntegralInRange(-500, 500), in.ConsumeIntegralInRange(-500, 500)};
    const unsigned style = in.ConsumeIntegralInRange(0u, 0x3Fu);
    const int cxEdge = in.ConsumeIntegralInRange(0, 10), x = in.ConsumeIntegralInRange(-600, 600), y = in.ConsumeIntegralInRange(-600, 600);
    const bool horz = in.ConsumeBool();
    const unsigned hit = EdgeHitTest(window, x, y, style, cxEdge, horz);
    Rect edge;
    FUZZ_CHECK(hit == 0 || (GetSizingEdgeRect(window, hit, style, cxEdge, horz, edge) && edge.Contains(x, y)));
    CheckRow(in, horz);
    CheckDrag(in);
    return 0;
}
