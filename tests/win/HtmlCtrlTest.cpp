// The HTML control's "app:" links.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/HtmlCtrl.h"

namespace {

class RecordingHtmlCtrl : public CHtmlCtrl {
public:
    std::vector<std::string> commands;
    void OnAppCmd(LPCSTR lpszWhere) override { commands.push_back(lpszWhere); }
};

}  // namespace

TEST(HtmlCtrl, AppLinksBecomeCommandsAndOtherLinksNavigate) {
    RecordingHtmlCtrl ctrl;
    EXPECT_FALSE(ctrl.FireBeforeNavigate2("app:about"));
    EXPECT_FALSE(ctrl.FireBeforeNavigate2("APP:about"));
    EXPECT_FALSE(ctrl.FireBeforeNavigate2("aPp:"));
    EXPECT_TRUE(ctrl.FireBeforeNavigate2("http://app.example/app:x"));
    EXPECT_TRUE(ctrl.FireBeforeNavigate2("about:blank"));
    EXPECT_TRUE(ctrl.FireBeforeNavigate2("app"));   // shorter than the scheme
    EXPECT_TRUE(ctrl.FireBeforeNavigate2("appx:y"));
    EXPECT_TRUE(ctrl.FireBeforeNavigate2(""));
    EXPECT_EQ(ctrl.commands, (std::vector<std::string>{"about", "about", ""}));
}
