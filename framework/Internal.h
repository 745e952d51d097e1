// What the framework's own files share among themselves; the layers above
// have no use for it.
#pragma once
#include <string>

#include <windows.h>

#include "framework/BarStyles.h"
#include "framework/FrameworkIds.h"

class CControlBar;
class CMiniDockFrameWnd;

// String nID of the module (the program's own by default), "" when it has none.
std::string LoadResString(UINT nID, HINSTANCE hInst = nullptr);

struct DockSide {
    UINT id;
    DWORD align;
};
// Creation order is layout order: top and bottom span the frame's width, left
// and right fit between them. A dragged bar tries the sides in the same order.
inline constexpr DockSide kDockSides[] = {{AFX_IDW_DOCKBAR_TOP, CBRS_ALIGN_TOP},
                                          {AFX_IDW_DOCKBAR_BOTTOM, CBRS_ALIGN_BOTTOM},
                                          {AFX_IDW_DOCKBAR_LEFT, CBRS_ALIGN_LEFT},
                                          {AFX_IDW_DOCKBAR_RIGHT, CBRS_ALIGN_RIGHT}};

// The floating frame holding pBar, or null while it is docked.
CMiniDockFrameWnd* FloatingFrameOf(CControlBar* pBar);
