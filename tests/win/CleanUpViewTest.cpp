// Removing duplicate and invalid rows through the view's messages: the rows
// the list shows afterwards and the two reports, in their order.
#include <gtest/gtest.h>

#include "win/ViewTestHelpers.h"

using namespace testsupport;

namespace {

struct CleanUpView : ::testing::Test {
    viewtest::ViewHarness h;

    void Add(int number, const char* url, Validity v = Validity::Unchecked) { h.view.Rows().append(number, url, v); }
    // Posts the request and returns the two reports that follow it.
    std::vector<RecordingWindow::Message> Run(UINT request, UINT report) {
        h.main.messages.clear();
        h.view.PostMessage(request, 0, 0);
        EXPECT_TRUE(PumpUntil([&] { return h.main.Count(report) > 0; }, 30000));
        PumpFor(50);
        return h.main.messages;
    }
    std::vector<std::string> ShownRows() {
        std::vector<std::string> out;
        for (int i = 0; i < h.ShownCount(); ++i)
            out.push_back(h.Shown(i, 0) + " " + h.Shown(i, 1) + " " + h.Shown(i, 2));
        return out;
    }
};

}  // namespace

TEST_F(CleanUpView, DuplicatesGoAndTheListIsReportedBeforeTheCount) {
    Add(1, "example.com");
    Add(2, "Example.com");
    Add(3, "example.com", Validity::Valid);
    Add(4, "example.com/", Validity::Timeout);
    h.view.RowsChanged();
    auto m = Run(UM_CLEAN_DUPLICATES, UM_CLEAN_DUPLICATES);
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].msg, UM_LIST_LOADED);
    EXPECT_EQ(m[0].lParam, 3);
    EXPECT_EQ(m[1].msg, UM_CLEAN_DUPLICATES);
    EXPECT_EQ(m[1].lParam, 1);
    EXPECT_EQ(ShownRows(), (std::vector<std::string>{"1 example.com ", "2 Example.com ", "4 example.com/ 超时!"}));
}

TEST_F(CleanUpView, InvalidRowsGoRunningOnesIncluded) {
    Add(1, "a.cn", Validity::Valid);
    Add(2, "b.cn");
    Add(3, "c.cn", Validity::Timeout);
    Add(4, "d.cn", Validity::Ignored);
    Add(5, "e", Validity::Malformed);
    Add(6, "f.cn", Validity::Running);
    h.view.RowsChanged();
    auto m = Run(UM_CLEAN_INVALID, UM_INVALID_CLEANED);
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].msg, UM_LIST_LOADED);
    EXPECT_EQ(m[0].lParam, 2);
    EXPECT_EQ(m[1].msg, UM_INVALID_CLEANED);
    EXPECT_EQ(m[1].lParam, 4);
    EXPECT_EQ(ShownRows(), (std::vector<std::string>{"1 a.cn OK", "2 b.cn "}));
}

TEST_F(CleanUpView, AnEmptyListReportsNoRowsAndNothingRemoved) {
    for (auto [request, report] : {std::pair<UINT, UINT>{UM_CLEAN_DUPLICATES, UM_CLEAN_DUPLICATES},
                                   std::pair<UINT, UINT>{UM_CLEAN_INVALID, UM_INVALID_CLEANED}}) {
        auto m = Run(request, report);
        ASSERT_EQ(m.size(), 2u);
        EXPECT_EQ(m[0].msg, UM_LIST_LOADED);
        EXPECT_EQ(m[0].lParam, 0);
        EXPECT_EQ(m[1].msg, report);
        EXPECT_EQ(m[1].lParam, 0);
    }
}
