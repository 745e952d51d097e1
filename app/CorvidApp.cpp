#include "app/CorvidApp.h"

#include <cstdio>
#include <shellapi.h>

#include "app/AboutDlg.h"
#include "app/MainFrame.h"
#include "core/Globals.h"
#include "core/MessageBox.h"
#include "core/rules/Text.h"
#include "framework/DocTemplate.h"
#include "framework/FileDialog.h"
#include "framework/Handles.h"
#include "resource.h"
#include "urls/CorvidDoc.h"
#include "urls/CorvidView.h"
#include "urls/Import.h"

namespace {

const char kSection[] = "user";
// The settings file as the program creates it: exactly these three lines.
const char* const kDefaultConfigLines[] = {"[user]\r\n", "fileurls=\r\n", "threadcount=5\r\n"};


}  // namespace

BOOL CCorvidApp::InitInstance() {
    AfxEnableControlContainer();
    LocateConfigFile();
    g_bQuerying = FALSE;
    m_strConfigFile = m_strAppDir + "config.ini";
    CreateConfigIfMissing();
    const BOOL bSettingsRead = LoadSettings();
    Enable3dControls();
    SetRegistryKey("Local AppWizard-Generated Applications");
    LoadStdProfileSettings(0);
    AddCorvidDocTemplate();

    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (!ProcessShellCommand(cmdInfo)) return FALSE;

    m_nCmdShow = SW_SHOWMAXIMIZED;
    if (HWND hMain = AfxGetMainHwnd()) {
        ::ShowWindow(hMain, SW_SHOWMAXIMIZED);
        ::UpdateWindow(hMain);
    }
    // Once the window shows what the messages explain.
    ReportForeignCodePage();
    if (!bSettingsRead) ReportUnreadableSettings();
    return TRUE;
}

int CCorvidApp::ExitInstance() {
    SaveSettings();
    return CWinApp::ExitInstance();
}

void CCorvidApp::LocateConfigFile() {
    char path[MAX_PATH] = {};
    DWORD n = ::GetModuleFileNameA(nullptr, path, sizeof path);
    std::string exe(path, n < sizeof path ? n : sizeof path - 1);
    // Not a byte search: a double-byte character may end in the byte of a backslash.
    size_t slash = AfxFindLastPathSeparator(exe);
    m_strAppDir = (slash == std::string::npos ? std::string() : exe.substr(0, slash)) + "\\";
}

void CCorvidApp::CreateConfigIfMissing() const {
    if (IsFileReadable(m_strConfigFile)) return;
    // CREATE_NEW: a file that exists but cannot be read now (locked, no
    // permission) still holds the user's settings and must not be emptied.
    CHandle file(::CreateFileA(m_strConfigFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return;
    for (const char* line : kDefaultConfigLines) {
        DWORD written = 0;
        ::WriteFile(file.Get(), line, (DWORD)std::char_traits<char>::length(line), &written, nullptr);
    }
}

std::string CCorvidApp::GetConfigString(const char* section, const char* key) const {
    // A value that does not fit comes back cut, possibly inside a double-byte
    // character, and would be written back cut at exit: read until it fits.
    const std::size_t kMaxValue = 1u << 20;
    std::string value(256, '\0');
    for (;;) {
        DWORD n = ::GetPrivateProfileStringA(section, key, "", value.data(), (DWORD)value.size(),
                                             m_strConfigFile.c_str());
        if (n + 2 < value.size() || value.size() >= kMaxValue) {
            value.resize(n < value.size() ? n : value.size() - 1);
            return value;
        }
        value.assign(value.size() * 2, '\0');
    }
}

BOOL CCorvidApp::LoadSettings() {
    // Held open, shared for reading, while the values are read: no other
    // program can take the file for itself half-way through.
    CHandle held(::CreateFileA(m_strConfigFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    m_bSettingsRead = held.IsValid();
    if (!m_bSettingsRead) {
        g_nThreadCount = 0;
        g_strImportFile.clear();
        g_strIgnoreList.clear();
        return FALSE;
    }
    g_nThreadCount = SaturatingAtoi(GetConfigString(kSection, "threadcount"));
    g_strImportFile = GetConfigString(kSection, "fileurls");
    g_strIgnoreList = GetConfigString(kSection, "keypass");
    return TRUE;
}

void CCorvidApp::SaveSettings() const {
    if (!m_bSettingsRead) return;
    const char* file = m_strConfigFile.c_str();
    ::WritePrivateProfileStringA(kSection, "fileurls", g_strImportFile.c_str(), file);
    ::WritePrivateProfileStringA(kSection, "keypass", g_strIgnoreList.c_str(), file);
    char count[16];
    std::snprintf(count, sizeof count, "%d", g_nThreadCount);
    ::WritePrivateProfileStringA(kSection, "threadcount", count, file);
}

void CCorvidApp::ReportUnreadableSettings() const {
    SkeinMessageBox(AfxGetMainHwnd(), "无法读取设置文件，本次运行结束时也不会改写它：\n\n" + m_strConfigFile);
}

void CCorvidApp::ReportForeignCodePage() const {
    const UINT kGbk = 936;
    if (::GetACP() == kGbk) return;
    // Wide text: the ANSI functions would garble this message too.
    ::MessageBoxW(AfxGetMainHwnd(),
                  L"本程序的文字使用简体中文（GBK）编码，但这台计算机的“非 Unicode 程序的语言”不是简体中文："
                  L"界面文字会显示为乱码，含中文的文件路径也无法打开。\n\n"
                  L"解决办法：控制面板 > 区域 > 管理 > 非 Unicode 程序的语言 > 更改系统区域设置，"
                  L"选择“中文(简体，中国)”，然后重新启动计算机。\n\n"
                  L"Skein writes its texts in Simplified Chinese (GBK), but the language for non-Unicode "
                  L"programs on this computer is not Chinese: texts are garbled and paths with Chinese "
                  L"characters cannot be opened.\n\n"
                  L"To fix it: Control Panel > Region > Administrative > Language for non-Unicode programs > "
                  L"Change system locale, choose Chinese (Simplified, China), then restart the computer.",
                  L"", MB_OK | MB_ICONWARNING);
}

void CCorvidApp::AddCorvidDocTemplate() {
    AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, &NewObject<CCorvidDoc, CDocument>,
                                          &NewObject<CMainFrame, CFrameWnd>, &NewObject<CCorvidView, CView>));
}

BOOL CCorvidApp::OnCmdMsg(UINT nID) {
    switch (nID) {
    case ID_APP_ABOUT:
        OnAppAbout();
        return TRUE;
    case ID_HELP_ONLINE:
        OnHelpOnline();
        return TRUE;
    case ID_FILE_NEW:
        OnFileNew();
        return TRUE;
    case ID_FILE_OPEN:
        OnFileOpen();
        return TRUE;
    default:
        return CWinApp::OnCmdMsg(nID);
    }
}

void CCorvidApp::OnAppAbout() {
    CAboutDlg dlg;
    dlg.DoModal(AfxGetMainHwnd());
}

void CCorvidApp::OnHelpOnline() {
    ::ShellExecuteA(nullptr, "open", kHelpOnlineUrl, nullptr, nullptr, SW_SHOWNORMAL);
}
