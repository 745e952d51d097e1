// CHtmlView: a view meant to host a web browser. This program never creates a
// browser, so only the hooks its subclasses rely on are here: the browser's
// interface pointer (released with the window), the before-navigate hook with
// its cancel flag, and a view's destruction and mouse activation.
#pragma once
#include <windows.h>
#include <exdisp.h>
#include <string>

#include "framework/Document.h"

class CHtmlView : public CView {
public:
    CHtmlView() = default;
    ~CHtmlView() override;

    // Creates the view's window as a child of hParent. No browser is created in
    // it: m_pBrowserApp stays null until one is attached.
    BOOL Create(LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect, HWND hParent, UINT nID);

    // What the browser's event sink calls before each navigation; returns TRUE
    // when the navigation may go ahead (OnBeforeNavigate2 did not cancel it).
    BOOL FireBeforeNavigate2(LPCSTR lpszURL, DWORD nFlags = 0, LPCSTR lpszTargetFrameName = "",
                             const std::string& baPostedData = {}, LPCSTR lpszHeaders = "");

    IWebBrowser2* GetBrowser() const { return m_pBrowserApp; }

    // Before a navigation: set *pbCancel to TRUE to stop it. Does nothing here.
    virtual void OnBeforeNavigate2(LPCSTR lpszURL, DWORD nFlags, LPCSTR lpszTargetFrameName,
                                   const std::string& baPostedData, LPCSTR lpszHeaders, BOOL* pbCancel);

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // A view's destruction: it stops being its frame's active view.
    void OnDestroy() override;
    // A view's mouse activation: a click makes it its frame's active view.
    virtual int OnMouseActivate(HWND hDesktopWnd, UINT nHitTest, UINT message);
    // Views live on the heap and go with their window.
    void PostNcDestroy() override { delete this; }

    IWebBrowser2* m_pBrowserApp = nullptr;
};
