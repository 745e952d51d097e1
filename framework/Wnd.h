// CWnd: binds a C++ object to its window and routes messages to OnXxx handlers.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <string>

class CWnd {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd();

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object bound to a window, or null for windows the framework does not own.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // Creates a window of a class registered with WndProc as its procedure.
    BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClass, LPCSTR lpszName, DWORD dwStyle,
                  const RECT& rect, HWND hParent, UINT nID);
    // Creates a system control ("SysListView32", ...) and subclasses it.
    BOOL CreateControl(DWORD dwExStyle, LPCSTR lpszClass, LPCSTR lpszName, DWORD dwStyle,
                       const RECT& rect, HWND hParent, UINT nID);
    BOOL SubclassWindow(HWND hWnd);
    HWND UnsubclassWindow();
    BOOL DestroyWindow();

    // Offered each message taken from the queue before it is dispatched; TRUE consumes it.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Messages this window acts on in PreTranslateMessage alone: when one
    // reaches the window procedure without the loop's walk, Route offers it there.
    virtual bool IsPreTranslatedOnly(UINT) const { return false; }
    // Walks the target window and its parents up to hWndStop, asking each bound object.
    static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);

    // Registers the standard window class that routes to WndProc; returns its name.
    static LPCSTR RegisterWndClass(UINT style, HCURSOR hCursor = nullptr,
                                   HBRUSH hbrBackground = nullptr, HICON hIcon = nullptr);

    LRESULT SendMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::SendMessageA(m_hWnd, msg, w, l); }
    BOOL PostMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::PostMessageA(m_hWnd, msg, w, l); }
    std::string GetWindowText() const;
    void SetWindowText(const std::string& text) { ::SetWindowTextA(m_hWnd, text.c_str()); }
    std::string GetDlgItemText(int nID) const;
    void SetDlgItemText(int nID, const std::string& text) { ::SetDlgItemTextA(m_hWnd, nID, text.c_str()); }
    HWND GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    CWnd* GetParent() const { return FromHandlePermanent(::GetParent(m_hWnd)); }
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    UINT GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    DWORD GetStyle() const { return (DWORD)::GetWindowLongPtrA(m_hWnd, GWL_STYLE); }
    DWORD GetExStyle() const { return (DWORD)::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE); }
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    RECT GetWindowRect() const { RECT r{}; ::GetWindowRect(m_hWnd, &r); return r; }
    RECT GetClientRect() const { RECT r{}; ::GetClientRect(m_hWnd, &r); return r; }

    static LRESULT CALLBACK WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // What every window procedure of the framework does with a message for pWnd:
    // the walk an application message missed, WindowProc, no exception escaping,
    // and unbinding when the window is gone.
    static LRESULT Route(CWnd* pWnd, HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

protected:
    // Unpacks a message and calls its handler; unhandled messages go to Default().
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // The processing the window would get without this object.
    LRESULT Default();
    virtual LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

    // WM_COMMAND: TRUE when handled. Menu and accelerator commands (lParam 0)
    // go to OnCmdMsg; control notifications are first reflected to the child.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // Command routing hook: TRUE when this object handled command nID.
    virtual BOOL OnCmdMsg(UINT nID);
    // WM_NOTIFY: reflected to the child's own object first.
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // A notification reflected from the parent: TRUE when this child handled it.
    virtual BOOL OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    virtual int OnCreate(LPCREATESTRUCTA) { return (int)Default(); }
    virtual void OnDestroy() { Default(); }
    virtual void OnSize(UINT, int, int) { Default(); }
    virtual void OnTimer(UINT_PTR) { Default(); }
    virtual void OnClose() { Default(); }
    // Called after the window is gone; the object stays unless a subclass deletes itself.
    virtual void PostNcDestroy() {}

    WNDPROC m_pfnSuper = nullptr;   // the control's own procedure when subclassed

    static void Attach(HWND hWnd, CWnd* pWnd);

    friend class CFrameWnd;   // offers menu commands to its active view's OnCmdMsg
};

// The message loop calls this after it has walked a message through
// PreTranslateMessage and before it dispatches it. Messages that a window acts
// on in PreTranslateMessage alone (IsPreTranslatedOnly) and that reach its
// window procedure without that walk (dispatched by a modal loop of the system:
// a message box, a file dialog, a popup menu) get it there instead, so none is
// lost while such a loop runs.
void NoteMessageWalked(const MSG& msg);
// Takes one message from the queue and handles it as the framework's loop does:
// walk, then translate and dispatch. FALSE on WM_QUIT.
BOOL PumpMessage(HWND hWndStop);
