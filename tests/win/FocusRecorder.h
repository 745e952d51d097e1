#pragma once
#include <windows.h>

namespace testsupport {

// The last window inside a watched one that was given the keyboard focus.
// Another test process on the same Wine server may take the activation, and
// with it what GetFocus answers, but not the WM_SETFOCUS that our own calls
// already caused; a message box's buttons are not the watched window's.
class FocusRecorder {
public:
    FocusRecorder() { s_hHook = ::SetWindowsHookExA(WH_CALLWNDPROC, &OnCall, nullptr, ::GetCurrentThreadId()); }
    ~FocusRecorder() {
        if (s_hHook) ::UnhookWindowsHookEx(s_hHook);
        s_hHook = nullptr;
    }
    FocusRecorder(const FocusRecorder&) = delete;
    FocusRecorder& operator=(const FocusRecorder&) = delete;
    bool Installed() const { return s_hHook != nullptr; }
    void Watch(HWND hParent) { s_hParent = hParent, s_hLast = nullptr; }
    void Reset() { s_hLast = nullptr; }
    HWND Last() const { return s_hLast; }

private:
    static LRESULT CALLBACK OnCall(int code, WPARAM wParam, LPARAM lParam) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && call->message == WM_SETFOCUS && ::IsChild(s_hParent, call->hwnd))
            s_hLast = call->hwnd;
        return ::CallNextHookEx(s_hHook, code, wParam, lParam);
    }
    static inline HHOOK s_hHook = nullptr;
    static inline HWND s_hParent = nullptr;
    static inline HWND s_hLast = nullptr;
};

}  // namespace testsupport
