// CReasonTip: the tip that tells why a row's check ended as it did. A
// tracking tooltip of the list's own, placed by the list when the mouse rests
// on a cell, so the list's extended styles stay as they are.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

class CReasonTip {
public:
    CReasonTip() = default;
    CReasonTip(const CReasonTip&) = delete;
    CReasonTip& operator=(const CReasonTip&) = delete;
    ~CReasonTip();

    // Creates the tooltip for hOwner; FALSE when the control cannot be made.
    BOOL Create(HWND hOwner);
    // Shows text (GBK, lines separated by '\n') with its top left at ptScreen.
    void Show(POINT ptScreen, const std::string& text);
    void Hide();
    // Before the owner goes: the system would destroy the tip with it.
    void Destroy();

    HWND GetSafeHwnd() const { return m_hTip; }
    bool IsShown() const { return m_bShown; }

private:
    TOOLINFOA Tool(const char* text) const;
    HWND m_hTip = nullptr;
    HWND m_hOwner = nullptr;
    bool m_bShown = false;
    std::string m_text;
};
