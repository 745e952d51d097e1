#include "framework/WinApp.h"

namespace {
CWinApp* g_pApp = nullptr;   // the one application object of the process
}

CWinApp::CWinApp() {
    g_pApp = this;
    m_hInstance = ::GetModuleHandleA(nullptr);
}

CWinApp::~CWinApp() {
    if (g_pApp == this) g_pApp = nullptr;
}

CWinApp* AfxGetApp() { return g_pApp; }

CWnd* AfxGetMainWnd() { return g_pApp ? g_pApp->m_pMainWnd : nullptr; }

HWND AfxGetMainHwnd() {
    CWnd* p = AfxGetMainWnd();
    return p ? p->m_hWnd : nullptr;
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg) {
    return CWnd::WalkPreTranslateTree(AfxGetMainHwnd(), pMsg);
}

BOOL CWinApp::OnIdle(LONG) { return FALSE; }

int CWinApp::Run() {
    LONG idleCount = 0;
    bool idle = true;
    for (;;) {
        MSG msg;
        while (idle && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++)) idle = false;
        }
        if (!::GetMessageA(&msg, nullptr, 0, 0)) return ExitInstance();
        if (!PreTranslateMessage(&msg)) {
            NoteMessageWalked(msg);
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        // Idle work again after anything but painting and the caret timer.
        if (msg.message != WM_PAINT && msg.message != 0x0118 /*WM_SYSTIMER*/) {
            idle = true;
            idleCount = 0;
        }
    }
}

int CWinApp::Main(HINSTANCE hInstance, int nCmdShow) {
    m_hInstance = hInstance;
    m_nCmdShow = nCmdShow;
    if (!InitInstance()) return ExitInstance();
    return Run();
}
