// CFileDialog: the system's modal open or save dialog for one file.
#pragma once
#include <windows.h>
#include <commdlg.h>
#include <string>

class CWnd;

// Position of the last '\\' or '/' in a path of the ANSI code page, npos when
// there is none. A trail byte that looks like one belongs to its character.
std::size_t AfxFindLastPathSeparator(const std::string& path);

class CFileDialog {
public:
    // lpszFilter uses the "text|pattern|text|pattern||" form; the owner is
    // pParentWnd's window (its top-level window becomes the dialog's owner).
    explicit CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt = nullptr, LPCSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCSTR lpszFilter = nullptr,
                         CWnd* pParentWnd = nullptr);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;
    virtual ~CFileDialog() = default;

    // IDOK when the user confirmed a name, IDCANCEL otherwise (also on failure).
    virtual INT_PTR DoModal();

    std::string GetPathName() const { return m_strFile; }
    std::string GetFileName() const;   // the name behind the last path separator
    std::string GetFileExt() const;    // behind the name's last dot, empty when none
    // The system's error for the last DoModal, 0 when cancelled or confirmed.
    DWORD GetExtendedError() const { return m_dwError; }

    // "a|b|c|d||" -> "a\0b\0c\0d\0\0". A '|' that is the trail byte of a
    // double-byte character is part of that character, not a separator.
    static std::string ConvertFilter(LPCSTR lpszFilter);

    OPENFILENAMEA m_ofn{};

private:
    BOOL m_bOpenFileDialog;
    std::string m_strDefExt;
    std::string m_strFilter;
    std::string m_strFile;
    char m_szFileName[MAX_PATH * 4] = {};
    char m_szFileTitle[MAX_PATH] = {};
    DWORD m_dwError = 0;
};
