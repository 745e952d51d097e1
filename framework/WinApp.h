// CWinApp: the application object and its message loop with idle processing.
#pragma once
#include "framework/Wnd.h"

class CWinApp {
public:
    CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    CWnd* m_pMainWnd = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    HINSTANCE m_hInstance = nullptr;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }
    // The message loop: walk, translate, dispatch; idle processing when the queue is empty.
    virtual int Run();
    // Offered every message first: the target window and its parents up to the main window.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Idle work; TRUE asks for another call before the loop waits again.
    virtual BOOL OnIdle(LONG lCount);
    // Commands that reach the application object after the frame and its view.
    virtual BOOL OnCmdMsg(UINT nID) { (void)nID; return FALSE; }

    // Runs InitInstance, the loop and ExitInstance: what WinMain does.
    int Main(HINSTANCE hInstance, int nCmdShow);
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HWND AfxGetMainHwnd();
