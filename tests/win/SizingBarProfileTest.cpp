// Creation, the profile format and the close request of the sizing bar.
#include <shlwapi.h>

#include <string>

#include "framework/Profile.h"
#include "win/DockTestFrame.h"

using namespace docktest;

using SizingBarProfile = DockFixture;

TEST_F(SizingBarProfile, SizesComeBackFromTheBarsOwnSectionRaisedToTheMinimums) {
    // A profile of its own for this test process, removed afterwards.
    AfxSetProfileLocation("Skein Tests", "Dock-" + std::to_string(::GetCurrentProcessId()));
    struct Restore {
        ~Restore() {
            ::SHDeleteKeyA(HKEY_CURRENT_USER, AfxGetProfileKeyPath().c_str());
            AfxSetProfileLocation("Local AppWizard-Generated Applications", "Tansy");
        }
    } restore;
    CSizingControlBar* bar = AddBar("bar", AFX_IDW_DOCKBAR_LEFT, nullptr, 7);
    const SIZE horz{400, 60}, vert{200, 500}, floating{120, 90};
    bar->m_sizeHorzDock = horz;
    bar->m_sizeVertDock = vert;
    bar->m_sizeFloating = floating;
    bar->SaveSizes("Skein");
    EXPECT_EQ(AfxGetProfileInt("Skein-SCBar-7", "sizeVertCY", 0), 500);

    auto loaded = [&](const char* profile) {
        bar->m_sizeHorzDock = bar->m_sizeVertDock = bar->m_sizeFloating = SIZE{350, 350};
        bar->LoadSizes(profile);
        return std::vector<LONG>{bar->m_sizeHorzDock.cx, bar->m_sizeHorzDock.cy, bar->m_sizeVertDock.cx,
                                 bar->m_sizeVertDock.cy, bar->m_sizeFloating.cx, bar->m_sizeFloating.cy};
    };
    EXPECT_EQ(loaded("Skein"), (std::vector<LONG>{400, 60, 200, 500, 120, 90}));
    EXPECT_EQ(loaded("Other"), (std::vector<LONG>(6, 350))) << "another profile is another section";

    // Stored values below the minimums (350 along a horizontal row, 33 across a vertical one) are raised.
    ASSERT_TRUE(AfxWriteProfileInt("Skein-SCBar-7", "sizeHorzCX", 100));
    ASSERT_TRUE(AfxWriteProfileInt("Skein-SCBar-7", "sizeVertCX", -5));   // compared signed
    EXPECT_EQ(loaded("Skein"), (std::vector<LONG>{350, 60, 33, 500, 120, 90}));
}

TEST_F(SizingBarProfile, CloseRequestLeavesTheBarOpenAndDoubleClicksReachIt) {
    CSizingControlBar* bar = AddBar("bar", AFX_IDW_DOCKBAR_LEFT);
    EXPECT_EQ(::SendMessageA(bar->m_hWnd, WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(Shown(bar->m_hWnd));
    EXPECT_TRUE(::GetClassLongA(bar->m_hWnd, GCL_STYLE) & CS_DBLCLKS) << "a double-click floats and docks it";
}
