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
    for (const char* url : {"app:about", "APP:about", "aPp:"}) EXPECT_FALSE(ctrl.FireBeforeNavigate2(url)) << url;
    // "app" is shorter than the scheme.
    for (const char* url : {"http://app.example/app:x", "about:blank", "app", "appx:y", ""})
        EXPECT_TRUE(ctrl.FireBeforeNavigate2(url)) << url;
    EXPECT_EQ(ctrl.commands, (std::vector<std::string>{"about", "about", ""}));
}
