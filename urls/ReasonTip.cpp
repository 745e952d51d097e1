#include "urls/ReasonTip.h"

namespace {

const UINT_PTR kToolId = 1;
// Wide enough for a status line and a shortened address on the next.
const int kMaxTipWidth = 640;

}  // namespace

CReasonTip::~CReasonTip() {
    Destroy();
}

void CReasonTip::Destroy() {
    if (m_hTip) ::DestroyWindow(m_hTip);
    m_hTip = nullptr;
    m_bShown = false;
}

// The first version's size: every comctl32 takes it, and nothing newer is needed.
TOOLINFOA CReasonTip::Tool(const char* text) const {
    TOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V1_SIZE;
    ti.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    ti.hwnd = m_hOwner;
    ti.uId = kToolId;
    ti.lpszText = const_cast<char*>(text);
    return ti;
}

BOOL CReasonTip::Create(HWND hOwner) {
    if (m_hTip) return TRUE;
    m_hOwner = hOwner;
    m_hTip = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hOwner, nullptr,
                               ::GetModuleHandleA(nullptr), nullptr);
    if (!m_hTip) return FALSE;
    TOOLINFOA ti = Tool("");
    ::SendMessageA(m_hTip, TTM_ADDTOOLA, 0, (LPARAM)&ti);
    // A width makes '\n' break the line.
    ::SendMessageA(m_hTip, TTM_SETMAXTIPWIDTH, 0, kMaxTipWidth);
    return TRUE;
}

void CReasonTip::Show(POINT ptScreen, const std::string& text) {
    if (!m_hTip) return;
    if (!m_bShown || text != m_text) {
        m_text = text;
        TOOLINFOA ti = Tool(m_text.c_str());
        ::SendMessageA(m_hTip, TTM_UPDATETIPTEXTA, 0, (LPARAM)&ti);
    }
    ::SendMessageA(m_hTip, TTM_TRACKPOSITION, 0, MAKELPARAM(ptScreen.x, ptScreen.y));
    if (!m_bShown) {
        TOOLINFOA ti = Tool(m_text.c_str());
        ::SendMessageA(m_hTip, TTM_TRACKACTIVATE, TRUE, (LPARAM)&ti);
        m_bShown = true;
    }
}

void CReasonTip::Hide() {
    if (!m_hTip || !m_bShown) return;
    TOOLINFOA ti = Tool(m_text.c_str());
    ::SendMessageA(m_hTip, TTM_TRACKACTIVATE, FALSE, (LPARAM)&ti);
    m_bShown = false;
}
