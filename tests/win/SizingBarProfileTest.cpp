// Creation, the profile format and the close request of the sizing bar.
#include <shlwapi.h>

#include <string>

#include "framework/Profile.h"
#include "win/DockTestFrame.h"

using namespace docktest;

namespace {

// A profile of its own for each test process, removed afterwards.
class ScopedProfile {
public:
    ScopedProfile() {
        AfxSetProfileLocation("Skein Tests", "Dock-" + std::to_string(::GetCurrentProcessId()));
    }
    ~ScopedProfile() {
        ::SHDeleteKeyA(HKEY_CURRENT_USER, AfxGetProfileKeyPath().c_str());
        AfxSetProfileLocation("Local AppWizard-Generated Applications", "Tansy");
    }
};

}  // namespace

using SizingBarProfile = DockFixture;

TEST_F(SizingBarProfile, LoadSizesRaisesStoredValuesToTheMinimumsAndKeepsMissingOnes) {
    ScopedProfile profile;
    CSizingControlBar* bar = AddBar("bar", AFX_IDW_DOCKBAR_LEFT, nullptr, 7);
    bar->m_sizeHorzDock = bar->m_sizeVertDock = bar->m_sizeFloating = SIZE{350, 350};

    bar->LoadSizes("Nothing");   // no stored values
    EXPECT_EQ(bar->m_sizeHorzDock.cx, 350);
    EXPECT_EQ(bar->m_sizeHorzDock.cy, 350);
    EXPECT_EQ(bar->m_sizeFloating.cy, 350);

    ASSERT_TRUE(AfxWriteProfileInt("Skein-SCBar-7", "sizeHorzCX", 100));
    ASSERT_TRUE(AfxWriteProfileInt("Skein-SCBar-7", "sizeVertCX", -5));   // compared signed
    ASSERT_TRUE(AfxWriteProfileInt("Skein-SCBar-7", "sizeFloatCY", 123));
    bar->LoadSizes("Skein");
    EXPECT_EQ(bar->m_sizeHorzDock.cx, 350);
    EXPECT_EQ(bar->m_sizeHorzDock.cy, 350);
    EXPECT_EQ(bar->m_sizeVertDock.cx, 33);
    EXPECT_EQ(bar->m_sizeFloating.cy, 123);
}

TEST_F(SizingBarProfile, SavedSizesComeBackUnderTheBarsOwnSection) {
    ScopedProfile profile;
    CSizingControlBar* bar = AddBar("bar", AFX_IDW_DOCKBAR_LEFT, nullptr, 7);
    bar->m_sizeHorzDock = SIZE{400, 60};
    bar->m_sizeVertDock = SIZE{200, 500};
    bar->m_sizeFloating = SIZE{120, 90};
    bar->SaveSizes("Skein");
    EXPECT_EQ(AfxGetProfileInt("Skein-SCBar-7", "sizeHorzCY", 0), 60);
    EXPECT_EQ(AfxGetProfileInt("Skein-SCBar-7", "sizeVertCY", 0), 500);
    EXPECT_EQ(AfxGetProfileInt("Skein-SCBar-7", "sizeFloatCX", 0), 120);

    bar->m_sizeHorzDock = bar->m_sizeVertDock = bar->m_sizeFloating = SIZE{350, 350};
    bar->LoadSizes("Skein");
    EXPECT_EQ(bar->m_sizeHorzDock.cx, 400);
    EXPECT_EQ(bar->m_sizeHorzDock.cy, 60);
    EXPECT_EQ(bar->m_sizeVertDock.cx, 200);
    EXPECT_EQ(bar->m_sizeVertDock.cy, 500);
    EXPECT_EQ(bar->m_sizeFloating.cx, 120);
    EXPECT_EQ(bar->m_sizeFloating.cy, 90);
    // Another profile name is another section.
    bar->LoadSizes("Other");
    EXPECT_EQ(bar->m_sizeHorzDock.cx, 400);
}

TEST_F(SizingBarProfile, CloseRequestLeavesTheBarOpen) {
    CSizingControlBar* bar = AddBar("bar", AFX_IDW_DOCKBAR_LEFT);
    EXPECT_EQ(::SendMessageA(bar->m_hWnd, WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(::IsWindow(bar->m_hWnd));
    EXPECT_TRUE(Shown(bar->m_hWnd));
}

TEST_F(SizingBarProfile, BothCreateFormsMakeTheWindowTheFrameworkExpects) {
    CSizingControlBar bar;
    ASSERT_TRUE(bar.Create("title", &frame, SIZE{200, 120}, TRUE, 42, WS_CHILD | WS_VISIBLE | CBRS_TOP));
    EXPECT_EQ(bar.m_sizeHorzDock.cx, 200);
    EXPECT_EQ(bar.m_sizeVertDock.cy, 120);
    EXPECT_EQ(bar.m_sizeFloating.cx, 200);
    EXPECT_EQ(bar.GetBarStyle(), (DWORD)CBRS_TOP);
    DWORD ws = bar.GetStyle();
    EXPECT_EQ(ws & (WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN), (DWORD)(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN));
    EXPECT_EQ(ws & 0xFFFF, 0u);   // no bar-style bits in the window style
    EXPECT_TRUE(::GetClassLongA(bar.m_hWnd, GCL_STYLE) & CS_DBLCLKS);
    EXPECT_EQ((HBRUSH)::GetClassLongPtrA(bar.m_hWnd, GCLP_HBRBACKGROUND), ::GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_EQ(bar.GetDlgCtrlID(), 42u);
    EXPECT_EQ(bar.GetWindowText(), "title");
    EXPECT_STREQ(bar.GetRuntimeClassName(), "CSizingControlBar");
    // Until its first placement the bar counts as floating, and it is one of the frame's bars.
    EXPECT_TRUE(bar.IsFloatingBar() || bar.m_nDockSideID == 0);
    EXPECT_EQ(frame.GetControlBar(42), &bar);

    // The owner's style setter never sets edge bits.
    bar.SetSizingStyle(SZBS_DRAWEDGES | SZBS_FITCHILD | SZBS_EDGE_ALL);
    EXPECT_EQ(bar.GetSizingStyle(), (DWORD)(SZBS_DRAWEDGES | SZBS_FITCHILD));
}
