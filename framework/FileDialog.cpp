#include "framework/FileDialog.h"

#include "framework/Wnd.h"

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt, LPCSTR lpszFileName, DWORD dwFlags,
                         LPCSTR lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog) {
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.hwndOwner = pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr;
    m_ofn.hInstance = ::GetModuleHandleA(nullptr);
    // The explorer-style dialog, as every file dialog of the program looks.
    m_ofn.Flags = dwFlags | OFN_EXPLORER;
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = sizeof m_szFileName;
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = sizeof m_szFileTitle;
    if (lpszDefExt) {
        m_strDefExt = lpszDefExt;
        m_ofn.lpstrDefExt = m_strDefExt.c_str();
    }
    if (lpszFileName) lstrcpynA(m_szFileName, lpszFileName, sizeof m_szFileName);
    if (lpszFilter) {
        m_strFilter = ConvertFilter(lpszFilter);
        m_ofn.lpstrFilter = m_strFilter.c_str();
    }
}

std::string CFileDialog::ConvertFilter(LPCSTR lpszFilter) {
    std::string out = lpszFilter ? lpszFilter : "";
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (::IsDBCSLeadByte((BYTE)out[i]) && i + 1 < out.size()) {
            ++i;
            continue;
        }
        if (out[i] == '|') out[i] = '\0';
    }
    // The list ends with two NULs whether or not the text ended with "||".
    out.push_back('\0');
    out.push_back('\0');
    return out;
}

INT_PTR CFileDialog::DoModal() {
    // The owner must be a top-level window; a child owner would be disabled alone.
    HWND hOwner = m_ofn.hwndOwner;
    if (hOwner) {
        HWND hTop = ::GetAncestor(hOwner, GA_ROOT);
        if (hTop) m_ofn.hwndOwner = hTop;
    }
    m_dwError = 0;
    BOOL ok = m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
    m_ofn.hwndOwner = hOwner;
    if (!ok) {
        m_dwError = ::CommDlgExtendedError();
        m_strFile.clear();
        return IDCANCEL;
    }
    m_strFile = m_szFileName;
    return IDOK;
}

std::size_t AfxFindLastPathSeparator(const std::string& path) {
    std::size_t last = std::string::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (::IsDBCSLeadByte((BYTE)path[i]) && i + 1 < path.size()) {
            ++i;
            continue;
        }
        if (path[i] == '\\' || path[i] == '/') last = i;
    }
    return last;
}

std::string CFileDialog::GetFileName() const {
    std::size_t last = AfxFindLastPathSeparator(m_strFile);
    return last == std::string::npos ? m_strFile : m_strFile.substr(last + 1);
}

std::string CFileDialog::GetFileExt() const {
    std::string name = GetFileName();
    std::size_t dot = name.rfind('.');   // '.' (0x2E) is never a GBK trail byte
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}
