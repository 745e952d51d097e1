// The control panel's dialog template as the dialog manager builds it.
#include <gtest/gtest.h>

#include "app/ControlPanelDlg.h"
#include "framework/WinApp.h"
#include "win/DialogAnswerer.h"
#include "win/TestSupport.h"

using namespace testsupport;

namespace {

struct Expected {
    int id;
    const char* cls;
    const char* text;
    RECT du;   // x, y, width, height in dialog units
    DWORD style;   // bits that must be set (beyond WS_CHILD | WS_VISIBLE)
};

const DWORD kEdit = WS_TABSTOP;
const DWORD kButton = WS_TABSTOP | BS_PUSHBUTTON;

const Expected kControls[] = {
    {IDC_IMPORT_FILE, "Edit", "", {61, 28, 127, 14}, kEdit | ES_AUTOHSCROLL},
    {IDC_BROWSE, "Button", "...", {190, 28, 16, 14}, kButton},
    {IDC_IGNORE_LIST, "Edit", "", {61, 45, 145, 14}, kEdit | ES_AUTOHSCROLL},
    {IDC_THREAD_COUNT, "Edit", "", {61, 62, 64, 14}, kEdit | ES_CENTER},
    {IDC_IMPORT, "Button", "导入网址", {99, 105, 59, 14}, kButton},
    {IDC_QUERY, "Button", "开始查询", {161, 105, 59, 14}, kButton},
    {IDC_CLEAN_DUPLICATES, "Button", "清理重复", {7, 159, 37, 14}, kButton},
    {IDC_CLEAN_INVALID, "Button", "清理无效", {51, 159, 37, 14}, kButton},
    {IDC_EXPORT_INVALID, "Button", "导出无效", {95, 159, 37, 14}, kButton},
    {IDC_EXPORT_VALID, "Button", "导出有效", {139, 159, 37, 14}, kButton},
    {IDC_EXPORT_ALL, "Button", "导出所有", {183, 159, 37, 14}, kButton},
    {IDC_IMPORT_LABEL, "Static", "导入文件:", {15, 30, 44, 8}, SS_RIGHT},
    {-1, "Static", "*", {210, 31, 8, 8}, SS_LEFT},
    {-1, "Button", "运行参数", {6, 7, 214, 86}, BS_GROUPBOX},
    {-1, "Static", "线程数量:", {22, 64, 37, 8}, SS_RIGHT},
    {-1, "Static", "列表操作，", {6, 148, 41, 8}, SS_RIGHT},
    {-1, "Static", "忽略检测:", {22, 47, 37, 8}, SS_RIGHT},
    {-1, "Static", "（1~10之间）", {131, 67, 49, 8}, SS_LEFT},
};

}  // namespace

TEST(PanelTemplate, ControlsInTabOrderWithTheirTextsPositionsAndStyles) {
    CWinApp app;
    RecordingWindow top;
    CControlPanelDlg panel;
    ASSERT_TRUE(panel.Create(CControlPanelDlg::IDD, top));

    // The panel itself: a plain child without caption or border, hidden until shown.
    DWORD style = panel.GetStyle();
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_FALSE(style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME | WS_VISIBLE));
    RECT size{0, 0, 225, 361};
    ::MapDialogRect(panel, &size);
    RECT client = panel.GetClientRect();
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    HFONT font = (HFONT)panel.SendMessage(WM_GETFONT);
    LOGFONTA lf{};
    ASSERT_TRUE(::GetObjectA(font, sizeof lf, &lf));
    EXPECT_STREQ(lf.lfFaceName, "宋体");
    HDC dc = ::GetDC(nullptr);
    EXPECT_EQ(lf.lfHeight, -::MulDiv(9, ::GetDeviceCaps(dc, LOGPIXELSY), 72));
    ::ReleaseDC(nullptr, dc);

    HWND child = ::GetWindow(panel, GW_CHILD);
    for (const Expected& e : kControls) {
        SCOPED_TRACE(e.text);
        ASSERT_TRUE(child);
        EXPECT_EQ((int)(short)::GetDlgCtrlID(child), e.id);
        EXPECT_STREQ(ClassOf(child).c_str(), e.cls);
        if (std::string(e.cls) != "Edit") {   // edits are filled at start
            EXPECT_EQ(TextOf(child), e.text);
        }
        // The dialog manager converts position and size each on its own.
        RECT du = e.du;
        ::MapDialogRect(panel, &du);
        RECT r;
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, du.left);
        EXPECT_EQ(r.top, du.top);
        EXPECT_EQ(r.right - r.left, du.right);
        EXPECT_EQ(r.bottom - r.top, du.bottom);
        DWORD cs = (DWORD)::GetWindowLongA(child, GWL_STYLE);
        EXPECT_TRUE(cs & WS_VISIBLE);
        EXPECT_EQ(cs & e.style & 0xFFFF0000, e.style & 0xFFFF0000);
        if (std::string(e.cls) == "Button") {
            EXPECT_EQ(cs & BS_TYPEMASK, e.style & BS_TYPEMASK);   // never BS_DEFPUSHBUTTON
        } else if (std::string(e.cls) == "Static") {
            EXPECT_EQ(cs & SS_TYPEMASK, e.style & 0xFF);
        } else {
            EXPECT_EQ(cs & e.style & 0xFFFF, e.style & 0xFFFF);
            EXPECT_FALSE(cs & (ES_NUMBER | ES_MULTILINE));
            // The border of an edit may be drawn as WS_BORDER or as a client edge.
            EXPECT_TRUE((cs & WS_BORDER) || (::GetWindowLongA(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
        }
        if (std::string(e.cls) == "Static" || (e.style & BS_TYPEMASK) == BS_GROUPBOX) {
            EXPECT_FALSE(cs & WS_TABSTOP);
        }
        child = ::GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr) << "more controls than the template should have";
    EXPECT_EQ(panel.GetDlgItem(IDC_EXPORT_OTHER), nullptr);
}
