#include "urls/rules/DispatchScan.h"

std::size_t LowerBoundById(const UrlRows& rows, UrlRows::Id id) {
    std::size_t lo = 0, hi = rows.size();
    while (lo < hi) {
        std::size_t mid = lo + (hi - lo) / 2;
        if (rows.id(mid) < id) lo = mid + 1;
        else hi = mid;
    }
    return lo;
}

DispatchCursor::Tick DispatchCursor::Dispatch(UrlRows& rows, int nFree) {
    Tick tick;
    const std::size_t n = rows.size();
    if (n == 0) {
        tick.finished = true;
        return tick;
    }
    // Past the first `free` unchecked rows (and at least one, which decides
    // that the run goes on) a full scan changes nothing more.
    const std::size_t want = nFree > 0 ? static_cast<std::size_t>(nFree) : 0;
    const std::size_t enough = want > 0 ? want : 1;
    std::size_t seen = 0;
    std::size_t i = LowerBoundById(rows, m_from);
    bool resumeSet = false;
    for (; i < n && seen < enough; ++i) {
        if (rows.validity(i) != Validity::Unchecked) continue;
        if (seen++ < want) {
            rows.setValidity(i, Validity::Running);
            tick.take.push_back(i);
        } else if (!resumeSet) {
            m_from = rows.id(i);
            resumeSet = true;
        }
    }
    if (!resumeSet) m_from = i < n ? rows.id(i) : rows.id(n - 1) + 1;
    tick.finished = seen == 0;
    return tick;
}

bool DispatchCursor::Recheck(UrlRows& rows, std::size_t pos) {
    switch (rows.validity(pos)) {
    case Validity::Valid:
    case Validity::Invalid:
    case Validity::Timeout:
        rows.setValidity(pos, Validity::Unchecked);
        Reopened(rows.id(pos));
        return true;
    default:
        return false;
    }
}
