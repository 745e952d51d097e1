// Every tick takes what a scan from the first row would take: the first
// `free` unchecked rows, and "finished" exactly when no row is unchecked,
// while rows get verdicts, are checked again, removed, added, or handed back
// by a worker that could not start.
#include <vector>

#include "tools/fuzz/Fuzz.h"
#include "urls/rules/DispatchScan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    UrlRows rows;
    DispatchCursor cursor;
    while (in.remaining_bytes() > 0) {
        const std::size_t pos = rows.empty() ? 0 : in.ConsumeIntegralInRange<std::size_t>(0, rows.size() - 1);
        switch (in.ConsumeIntegralInRange(0, 5)) {
        case 0: {
            const int free = in.ConsumeIntegralInRange(-1, 6);
            std::vector<std::size_t> want;
            std::size_t unchecked = 0;
            for (std::size_t i = 0; i < rows.size(); ++i)
                if (rows.validity(i) == Validity::Unchecked && unchecked++ < std::size_t(std::max(free, 0))) want.push_back(i);
            const DispatchCursor::Tick tick = cursor.Dispatch(rows, free);
            FUZZ_CHECK(tick.take == want && tick.finished == (unchecked == 0));
            break;
        }
        case 1:   // a verdict
            if (!rows.empty() && rows.validity(pos) == Validity::Running)
                rows.setValidity(pos, static_cast<Validity>(in.ConsumeIntegralInRange(2, 4)));
            break;
        case 2:
            if (!rows.empty()) cursor.Recheck(rows, pos);
            break;
        case 3:
            if (!rows.empty()) rows.erase(pos);
            break;
        case 4:
            rows.append(0, "x", static_cast<Validity>(in.ConsumeIntegralInRange(0, 6)));
            break;
        case 5:   // a worker that could not open its session
            if (!rows.empty() && rows.validity(pos) == Validity::Running) {
                rows.setValidity(pos, Validity::Unchecked);
                cursor.Reopened(rows.id(pos));
            }
            break;
        }
    }
    return 0;
}
