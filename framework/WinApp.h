// CWinApp: the application object and its message loop with idle processing.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "framework/Wnd.h"

class CSingleDocTemplate;

// What the command line asks the program to do at start-up.
class CCommandLineInfo {
public:
    enum ShellCommand { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppUnregister, FileNothing };
    virtual ~CCommandLineInfo() = default;
    // One argument: bFlag when it started with '/' or '-' (which is then not part of it).
    virtual void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast);

    ShellCommand m_nShellCommand = FileNew;
    std::string m_strFileName;
};

class CWinApp {
public:
    CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    CWnd* m_pMainWnd = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    HINSTANCE m_hInstance = nullptr;
    std::string m_strAppName;        // string AFX_IDS_APP_TITLE unless set before Main
    std::string m_strRegistryKey;    // root of the per-user profile, if any
    std::string m_strProfileName;    // the application's key under it

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }
    // The message loop: walk, translate, dispatch; idle processing when the queue is empty.
    virtual int Run();
    // Offered every message first: the target window and its parents up to the main window.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Idle work; TRUE asks for another call before the loop waits again. The
    // first call of an idle period updates the frames (delayed layout, bars).
    virtual BOOL OnIdle(LONG lCount);
    // Commands that reach the application object after the frame and its view.
    // The framework's own: ID_APP_EXIT.
    virtual BOOL OnCmdMsg(UINT nID);

    // Runs InitInstance, the loop and ExitInstance: what WinMain does.
    int Main(HINSTANCE hInstance, int nCmdShow);

    // Document templates (owned by the application).
    void AddDocTemplate(CSingleDocTemplate* pTemplate);
    CSingleDocTemplate* GetDocTemplate() const;
    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    void ParseCommandLine(CCommandLineInfo& rCmdInfo, int argc, char** argv);
    // Carries out the start-up command; FALSE ends the program.
    BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);

    // The framework's document and exit commands.
    void OnFileNew();
    void OnFileOpen();
    void OnAppExit();

    // The per-user profile lives under HKCU\Software\<key>\<application name>;
    // nothing is written there unless the program asks.
    void SetRegistryKey(const char* lpszRegistryKey);
    // Recent-file list of nMaxMRU entries; this framework keeps none.
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    // A no-op on every system this program runs on; kept for the start-up sequence.
    BOOL Enable3dControls() { return TRUE; }

private:
    std::vector<std::unique_ptr<CSingleDocTemplate>> m_templates;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HWND AfxGetMainHwnd();
// Hosting of ActiveX controls; this program hosts none, so there is nothing to prepare.
inline void AfxEnableControlContainer() {}
