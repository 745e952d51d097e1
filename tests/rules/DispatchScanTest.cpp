#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "urls/rules/DispatchScan.h"

namespace {

// The dispatch as a plain scan from row 0: what every tick must equal.
DispatchCursor::Tick FullScan(UrlRows& rows, int nFree) {
    DispatchCursor::Tick t;
    int seen = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows.validity(i) != Validity::Unchecked) continue;
        int k = seen++;
        if (k >= nFree) continue;
        rows.setValidity(i, Validity::Running);
        t.take.push_back(i);
    }
    t.finished = seen == 0;
    return t;
}

UrlRows MakeRows(const std::vector<Validity>& states) {
    UrlRows rows;
    int n = 0;
    for (Validity v : states) {
        ++n;
        rows.append(n, "u" + std::to_string(n) + ".example", v);
    }
    return rows;
}

}  // namespace

TEST(DispatchScan, TakesLowestUncheckedRowsAndFinishesOnlyWhenNoneIsLeft) {
    using V = Validity;
    UrlRows rows = MakeRows({V::Malformed, V::Unchecked, V::Unchecked, V::Ignored, V::Unchecked,
                             V::Unchecked, V::Valid});
    DispatchCursor c;
    using Taken = std::vector<std::size_t>;
    auto tick = [&](int nFree) {
        auto t = c.Dispatch(rows, nFree);
        return std::pair(t.take, t.finished);
    };
    EXPECT_EQ(tick(3), std::pair(Taken{1, 2, 4}, false));
    EXPECT_EQ(tick(0), std::pair(Taken{}, false));   // no slot: nothing taken, run goes on
    EXPECT_EQ(tick(-4), std::pair(Taken{}, false));
    EXPECT_EQ(tick(5), std::pair(Taken{5}, false));
    EXPECT_EQ(tick(5), std::pair(Taken{}, true));    // rows still running do not keep the run going

    UrlRows none;
    EXPECT_TRUE(c.Dispatch(none, 3).finished);
}

// Rows checked again go back to the scan after the run passed them or ended;
// rows being checked, and the final malformed and ignored rows, stay as they are.
TEST(DispatchScan, RecheckedRowsAreServedAgainInRowOrder) {
    using V = Validity;
    UrlRows rows = MakeRows({V::Valid, V::Timeout, V::Malformed, V::Ignored, V::Invalid, V::Unchecked, V::Timeout});
    DispatchCursor c;
    c.Dispatch(rows, 1);   // row 5 running
    ASSERT_TRUE(c.Dispatch(rows, 1).finished);
    std::vector<bool> back;
    for (std::size_t i = 0; i < rows.size(); ++i) back.push_back(c.Recheck(rows, i));
    EXPECT_EQ(back, (std::vector<bool>{true, true, false, false, true, false, true}));
    EXPECT_EQ(c.Dispatch(rows, 2).take, (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(c.Dispatch(rows, 5).take, (std::vector<std::size_t>{4, 6}));
}

// Random runs with removals, new lists, verdicts and re-opened rows: every
// tick takes exactly the rows a scan from row 0 would take.
TEST(DispatchScan, EqualsFullScanUnderRandomEdits) {
    std::mt19937 rng(1234);
    for (int round = 0; round < 200; ++round) {
        UrlRows a, b;   // a: cursor, b: reference
        DispatchCursor c;
        auto load = [&](int n) {
            a.clear();
            b.clear();
            for (int i = 0; i < n; ++i) {
                Validity v = rng() % 4 == 0 ? Validity::Malformed : Validity::Unchecked;
                a.append(i + 1, "x", v);
                b.append(i + 1, "x", v);
            }
        };
        load(rng() % 40);
        for (int step = 0; step < 60; ++step) {
            int op = rng() % 10;
            if (op < 5) {
                int nFree = static_cast<int>(rng() % 7) - 2;
                auto got = c.Dispatch(a, nFree);
                auto want = FullScan(b, nFree);
                ASSERT_EQ(got.take, want.take) << "round " << round << " step " << step;
                ASSERT_EQ(got.finished, want.finished);
            } else if (op < 8 && !a.empty()) {
                // A verdict lands on a running row; code 0 reopens it.
                std::size_t i = rng() % a.size();
                if (a.validity(i) != Validity::Running) {
                    // The user checks a row again.
                    if (c.Recheck(a, i)) b.setValidity(i, Validity::Unchecked);
                    continue;
                }
                Validity v = rng() % 3 == 0 ? Validity::Unchecked : Validity::Valid;
                a.setValidity(i, v);
                b.setValidity(i, v);
                if (v == Validity::Unchecked) c.Reopened(a.id(i));
            } else if (op == 8 && !a.empty()) {
                std::size_t i = rng() % a.size();
                a.erase(i);
                b.erase(i);
            } else if (op == 9 && rng() % 4 == 0) {
                load(rng() % 40);
            }
        }
    }
}
