#include "framework/Wnd.h"


namespace {

const char kBindingProp[] = "Skein.CWnd";

// The message the loop walked last, until its own dispatch reaches a window procedure.
thread_local MSG t_walked{};
thread_local bool t_walkPending = false;

bool IsWalkedMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!t_walkPending) return false;
    if (t_walked.hwnd != hWnd || t_walked.message != msg || t_walked.wParam != wParam ||
        t_walked.lParam != lParam)
        return false;
    t_walkPending = false;   // a nested identical message is handled on its own
    return true;
}

}  // namespace

void NoteMessageWalked(const MSG& msg) {
    t_walked = msg;
    t_walkPending = true;
}

BOOL PumpMessage(HWND hWndStop) {
    MSG msg;
    if (!::GetMessageA(&msg, nullptr, 0, 0)) {
        ::PostQuitMessage((int)msg.wParam);   // leave WM_QUIT for the outer loop as well
        return FALSE;
    }
    t_walkPending = false;
    if (!CWnd::WalkPreTranslateTree(hWndStop, &msg)) {
        NoteMessageWalked(msg);
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    t_walkPending = false;
    return TRUE;
}

CWnd::~CWnd() {
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        // The object is going: the window must not call into it any more.
        if (m_pfnSuper) UnsubclassWindow();
        else ::RemovePropA(m_hWnd, kBindingProp);
        HWND h = m_hWnd;
        m_hWnd = nullptr;
        ::DestroyWindow(h);
    }
}

void CWnd::Attach(HWND hWnd, CWnd* pWnd) {
    pWnd->m_hWnd = hWnd;
    ::SetPropA(hWnd, kBindingProp, pWnd);
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    if (!hWnd) return nullptr;
    return static_cast<CWnd*>(::GetPropA(hWnd, kBindingProp));
}

LPCSTR CWnd::RegisterWndClass(UINT style, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon) {
    // One class per combination, named after it, as the classic framework does.
    static thread_local char name[96];
    wsprintfA(name, "Skein:%x:%x:%x:%x", style, (UINT)(UINT_PTR)hCursor,
              (UINT)(UINT_PTR)hbrBackground, (UINT)(UINT_PTR)hIcon);
    WNDCLASSA wc{};
    HINSTANCE hInst = ::GetModuleHandleA(nullptr);
    if (!::GetClassInfoA(hInst, name, &wc)) {
        wc = WNDCLASSA{};
        wc.style = style;
        wc.lpfnWndProc = &CWnd::WndProc;
        wc.hInstance = hInst;
        wc.hCursor = hCursor;
        wc.hbrBackground = hbrBackground;
        wc.hIcon = hIcon;
        wc.lpszClassName = name;
        if (!::RegisterClassA(&wc)) return nullptr;
    }
    return name;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClass, LPCSTR lpszName, DWORD dwStyle,
                    const RECT& rect, HWND hParent, UINT nID) {
    HWND h = ::CreateWindowExA(dwExStyle, lpszClass, lpszName, dwStyle, rect.left, rect.top,
                               rect.right - rect.left, rect.bottom - rect.top, hParent,
                               (HMENU)(UINT_PTR)nID, ::GetModuleHandleA(nullptr), this);
    if (!h) {
        m_hWnd = nullptr;
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::CreateControl(DWORD dwExStyle, LPCSTR lpszClass, LPCSTR lpszName, DWORD dwStyle,
                         const RECT& rect, HWND hParent, UINT nID) {
    HWND h = ::CreateWindowExA(dwExStyle, lpszClass, lpszName, dwStyle, rect.left, rect.top,
                               rect.right - rect.left, rect.bottom - rect.top, hParent,
                               (HMENU)(UINT_PTR)nID, ::GetModuleHandleA(nullptr), nullptr);
    if (!h) return FALSE;
    if (!SubclassWindow(h)) {
        ::DestroyWindow(h);
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!hWnd || m_hWnd) return FALSE;
    Attach(hWnd, this);
    m_pfnSuper = (WNDPROC)::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)&CWnd::WndProc);
    return TRUE;
}

HWND CWnd::UnsubclassWindow() {
    HWND h = m_hWnd;
    if (!h) return nullptr;
    if (m_pfnSuper) ::SetWindowLongPtrA(h, GWLP_WNDPROC, (LONG_PTR)m_pfnSuper);
    ::RemovePropA(h, kBindingProp);
    m_pfnSuper = nullptr;
    m_hWnd = nullptr;
    return h;
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    DWORD old = GetStyle();
    DWORD now = (old & ~dwRemove) | dwAdd;
    if (old == now) return FALSE;
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, (LONG_PTR)now);
    if (nFlags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

std::string CWnd::GetWindowText() const {
    int n = ::GetWindowTextLengthA(m_hWnd);
    std::string s(n + 1, '\0');
    n = ::GetWindowTextA(m_hWnd, s.data(), n + 1);
    s.resize(n > 0 ? n : 0);
    return s;
}

std::string CWnd::GetDlgItemText(int nID) const {
    HWND h = ::GetDlgItem(m_hWnd, nID);
    if (!h) return {};
    int n = ::GetWindowTextLengthA(h);
    std::string s(n + 1, '\0');
    n = ::GetWindowTextA(h, s.data(), n + 1);
    s.resize(n > 0 ? n : 0);
    return s;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
    for (HWND h = pMsg->hwnd; h; h = ::GetParent(h)) {
        if (CWnd* p = FromHandlePermanent(h)) {
            if (p->PreTranslateMessage(pMsg)) return TRUE;
        }
        if (h == hWndStop) break;
    }
    return FALSE;
}

LRESULT CALLBACK CWnd::WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (!pWnd && msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<LPCREATESTRUCTA>(lParam);
        pWnd = static_cast<CWnd*>(cs->lpCreateParams);
        if (pWnd) Attach(hWnd, pWnd);
    }
    if (!pWnd) return ::DefWindowProcA(hWnd, msg, wParam, lParam);
    return Route(pWnd, hWnd, msg, wParam, lParam);
}

LRESULT CWnd::Route(CWnd* pWnd, HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    try {
        if (pWnd->IsPreTranslatedOnly(msg) && !IsWalkedMessage(hWnd, msg, wParam, lParam)) {
            MSG m{hWnd, msg, wParam, lParam, (DWORD)::GetMessageTime(), {}};
            pWnd->PreTranslateMessage(&m);
        }
        result = pWnd->WindowProc(msg, wParam, lParam);
    } catch (...) {
        result = 0;   // nothing may cross the system's callback
    }
    if (msg == WM_NCDESTROY) {
        WNDPROC super = pWnd->m_pfnSuper;
        if (super) ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)super);
        ::RemovePropA(hWnd, kBindingProp);
        pWnd->m_pfnSuper = nullptr;
        pWnd->m_hWnd = nullptr;
        pWnd->PostNcDestroy();
    }
    return result;
}

namespace {
thread_local const MSG* t_current = nullptr;
struct CurrentMessage {
    MSG msg;
    const MSG* saved;
    CurrentMessage(HWND h, UINT m, WPARAM w, LPARAM l) : msg{h, m, w, l, 0, {}}, saved(t_current) { t_current = &msg; }
    ~CurrentMessage() { t_current = saved; }
};
}  // namespace

LRESULT CWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    CurrentMessage current(m_hWnd, msg, wParam, lParam);
    switch (msg) {
    case WM_CREATE:
        return OnCreate(reinterpret_cast<LPCREATESTRUCTA>(lParam));
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_SIZE:
        OnSize((UINT)wParam, (short)LOWORD(lParam), (short)HIWORD(lParam));
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_COMMAND:
        if (OnCommand(wParam, lParam)) return 0;
        break;
    case WM_NOTIFY: {
        LRESULT r = 0;
        if (OnNotify(wParam, lParam, &r)) return r;
        break;
    }
    default:
        break;
    }
    return Default();
}

LRESULT CWnd::Default() {
    const MSG* m = t_current;
    if (!m || m->hwnd != m_hWnd) return 0;
    return DefWindowProc(m->message, m->wParam, m->lParam);
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, msg, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, msg, wParam, lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    HWND hCtl = reinterpret_cast<HWND>(lParam);
    if (hCtl) {
        if (CWnd* child = FromHandlePermanent(hCtl)) {
            LRESULT r = 0;
            if (child->OnChildNotify(WM_COMMAND, wParam, lParam, &r)) return TRUE;
        }
    }
    return OnCmdMsg(LOWORD(wParam));
}

BOOL CWnd::OnCmdMsg(UINT) { return FALSE; }

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) {
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (CWnd* child = FromHandlePermanent(hdr->hwndFrom))
        return child->OnChildNotify(WM_NOTIFY, 0, lParam, pResult);
    return FALSE;
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }
