// Which rows one dispatch tick of a check run takes. The result is that of a
// scan from row 0 that takes the first `free` unchecked rows and reports the
// run finished when it meets no unchecked row at all; the scan starts at a
// resume point instead of row 0 so that a tick over a long list costs only the
// rows it has not yet passed.
#pragma once
#include <cstddef>
#include <vector>

#include "urls/rules/UrlRows.h"

// The resume point is a row id: every row whose id is below it is known not
// to be unchecked. Because ids ascend with position and are never given again,
// that stays true while rows are removed or a new list is loaded; the other
// ways a row becomes unchecked again (a worker that could not open its session,
// the user asking for a row to be checked again) must lower the point with
// DispatchCursor::Reopened.
class DispatchCursor {
public:
    struct Tick {
        std::vector<std::size_t> take;   // positions to mark running, ascending
        bool finished = false;           // the scan met no unchecked row
    };

    // Plans one tick and marks the rows it takes as running.
    Tick Dispatch(UrlRows& rows, int nFree);
    // The row with this id is unchecked again.
    void Reopened(UrlRows::Id id) {
        if (id < m_from) m_from = id;
    }
    UrlRows::Id From() const { return m_from; }
    // Puts a row that has its verdict (OK, 无效!, 超时!) back to unchecked so
    // that a scan serves it again in row order, in this run or the next.
    // False for a row that keeps its state: one being checked (its verdict is
    // coming), one not yet checked, and the malformed and ignored rows, which
    // are final until the next import.
    bool Recheck(UrlRows& rows, std::size_t pos);

private:
    UrlRows::Id m_from = 0;
};

// First position whose row id is at least `id` (rows.size() when none).
std::size_t LowerBoundById(const UrlRows& rows, UrlRows::Id id);
