// Removing duplicate and invalid rows through the view's messages: the rows
// the list shows afterwards and the two reports, in their order.
#include <gtest/gtest.h>

#include "win/ViewTestHelpers.h"

using namespace testsupport;

namespace {

struct CleanUpView : ::testing::Test {
    viewtest::ViewHarness h;

    void Add(int number, const char* url, Validity v = Validity::Unchecked) { h.view.Rows().append(number, url, v); }
    // Posts the request and returns the reports that follow it, each with its lParam.
    using Reports = std::vector<std::pair<UINT, LPARAM>>;
    Reports Run(UINT request, UINT report) {
        h.main.messages.clear();
        h.view.PostMessage(request, 0, 0);
        EXPECT_TRUE(PumpUntil([&] { return h.main.Count(report) > 0; }, 30000));
        Reports out;
        for (const auto& m : h.main.messages) out.emplace_back(m.msg, m.lParam);
        return out;
    }
    std::vector<std::string> ShownRows() {
        std::vector<std::string> out;
        for (int i = 0; i < h.ShownCount(); ++i)
            out.push_back(h.Shown(i, 0) + " " + h.Shown(i, 1) + " " + h.Shown(i, 2));
        return out;
    }
};

}  // namespace

// Which rows go is the clean-up rule's; here: the list the control shows and
// the two reports, the new row count before the count removed.
TEST_F(CleanUpView, EachRemovalShowsTheRowsLeftAndReportsTheListBeforeTheCount) {
    for (auto [request, report] : {std::pair<UINT, UINT>{UM_CLEAN_DUPLICATES, UM_CLEAN_DUPLICATES},
                                   std::pair<UINT, UINT>{UM_CLEAN_INVALID, UM_INVALID_CLEANED}}) {
        EXPECT_EQ(Run(request, report), (Reports{{UM_LIST_LOADED, 0}, {report, 0}}));   // an empty list
    }
    Add(1, "example.com");
    Add(2, "Example.com", Validity::Running);
    Add(3, "example.com", Validity::Valid);
    Add(4, "example.com/", Validity::Timeout);
    h.view.RowsChanged();
    EXPECT_EQ(Run(UM_CLEAN_DUPLICATES, UM_CLEAN_DUPLICATES), (Reports{{UM_LIST_LOADED, 3}, {UM_CLEAN_DUPLICATES, 1}}));
    EXPECT_EQ(ShownRows(), (std::vector<std::string>{"1 example.com ", "2 Example.com 执行中", "4 example.com/ 超时!"}));

    EXPECT_EQ(Run(UM_CLEAN_INVALID, UM_INVALID_CLEANED), (Reports{{UM_LIST_LOADED, 1}, {UM_INVALID_CLEANED, 2}}));
    EXPECT_EQ(ShownRows(), (std::vector<std::string>{"1 example.com "}));
}
