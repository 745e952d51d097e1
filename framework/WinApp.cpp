#include "framework/WinApp.h"

#include <cstdlib>

#include "framework/DocTemplate.h"
#include "framework/FileDialog.h"
#include "framework/FrameWnd.h"
#include "framework/FrameworkIds.h"
#include "framework/Internal.h"

namespace {

CWinApp* g_pApp = nullptr;   // the one application object of the process

// The framework's filter for a document type without one of its own.
const char kAllFilesFilter[] = "所有文件 (*.*)|*.*||";

BOOL CALLBACK CollectFrame(HWND hWnd, LPARAM lParam) {
    auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(hWnd));
    if (frame && ::IsWindowVisible(hWnd)) reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
    return TRUE;
}

bool EqualsNoCase(const char* a, const char* b) { return ::lstrcmpiA(a, b) == 0; }

}  // namespace

void CCommandLineInfo::ParseParam(const char* pszParam, BOOL bFlag, BOOL) {
    if (bFlag) {
        if (EqualsNoCase(pszParam, "p")) m_nShellCommand = FilePrint;
        else if (EqualsNoCase(pszParam, "pt")) m_nShellCommand = FilePrintTo;
        else if (EqualsNoCase(pszParam, "dde")) m_nShellCommand = FileDDE;
        else if (EqualsNoCase(pszParam, "unregister") || EqualsNoCase(pszParam, "unregserver"))
            m_nShellCommand = AppUnregister;
        return;
    }
    if (m_strFileName.empty()) {
        m_strFileName = pszParam;
        if (m_nShellCommand == FileNew) m_nShellCommand = FileOpen;
    }
}

CWinApp::CWinApp() {
    g_pApp = this;
    m_hInstance = ::GetModuleHandleA(nullptr);
}

CWinApp::~CWinApp() {
    m_templates.clear();
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

BOOL CWinApp::OnIdle(LONG lCount) {
    if (lCount != 0) return FALSE;
    // The main frame first, then any other frame of this thread (a floating bar's).
    auto* main = dynamic_cast<CFrameWnd*>(m_pMainWnd);
    if (main && main->m_hWnd) main->OnIdleUpdateCmdUI();
    std::vector<HWND> frames;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectFrame, reinterpret_cast<LPARAM>(&frames));
    for (HWND h : frames) {
        auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(h));
        if (frame && frame != main) frame->OnIdleUpdateCmdUI();
    }
    return FALSE;
}

BOOL CWinApp::OnCmdMsg(UINT nID) {
    if (nID == ID_APP_EXIT) {
        OnAppExit();
        return TRUE;
    }
    return FALSE;
}

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
    if (m_strAppName.empty()) m_strAppName = LoadResString(AFX_IDS_APP_TITLE, hInstance);
    if (!InitInstance()) return ExitInstance();
    return Run();
}

void CWinApp::AddDocTemplate(CSingleDocTemplate* pTemplate) {
    if (pTemplate) m_templates.emplace_back(pTemplate);
}

CSingleDocTemplate* CWinApp::GetDocTemplate() const {
    return m_templates.empty() ? nullptr : m_templates.front().get();
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo) {
    ParseCommandLine(rCmdInfo, __argc, __argv);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo, int argc, char** argv) {
    for (int i = 1; i < argc && argv; ++i) {
        const char* p = argv[i];
        if (!p) continue;
        BOOL bFlag = (p[0] == '/' || p[0] == '-');
        if (bFlag) ++p;
        rCmdInfo.ParseParam(p, bFlag, i == argc - 1);
    }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo) {
    CSingleDocTemplate* pTemplate = GetDocTemplate();
    switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        if (!pTemplate) return FALSE;
        OnFileNew();
        return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
        return pTemplate && pTemplate->OpenDocumentFile(rCmdInfo.m_strFileName.c_str()) != nullptr;
    case CCommandLineInfo::FileNothing:
        return TRUE;
    default:
        // Printing, DDE and unregistering have nothing to do in this program;
        // as in the framework, they end it without showing a window.
        return FALSE;
    }
}

void CWinApp::OnFileNew() {
    if (CSingleDocTemplate* pTemplate = GetDocTemplate()) pTemplate->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen() {
    CSingleDocTemplate* pTemplate = GetDocTemplate();
    if (!pTemplate) return;
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, kAllFilesFilter, m_pMainWnd);
    if (dlg.DoModal() != IDOK) return;
    pTemplate->OpenDocumentFile(dlg.GetPathName().c_str());
}

void CWinApp::OnAppExit() {
    if (HWND h = AfxGetMainHwnd()) ::SendMessageA(h, WM_CLOSE, 0, 0);
}

void CWinApp::SetRegistryKey(const char* lpszRegistryKey) {
    m_strRegistryKey = lpszRegistryKey ? lpszRegistryKey : "";
    m_strProfileName = m_strAppName;
}

void CWinApp::LoadStdProfileSettings(UINT) {}
