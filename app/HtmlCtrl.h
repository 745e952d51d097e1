// CHtmlCtrl: a browser view used as an ordinary child control of a dialog. It
// drops the view behaviour that expects a frame and a document, lives as a
// member of its owner, and turns "app:" links into calls on OnAppCmd.
#pragma once
#include "framework/HtmlView.h"

class CHtmlCtrl : public CHtmlView {
public:
    CHtmlCtrl() = default;

    // "app:xyz" calls OnAppCmd("xyz") and cancels the navigation; other links navigate.
    void OnBeforeNavigate2(LPCSTR lpszURL, DWORD nFlags, LPCSTR lpszTargetFrameName,
                           const std::string& baPostedData, LPCSTR lpszHeaders, BOOL* pbCancel) override;
    // The text of an "app:" link behind the scheme; subclasses act on it.
    virtual void OnAppCmd(LPCSTR lpszWhere);

protected:
    // Releases the browser and destroys the plain window: there is no frame to leave.
    void OnDestroy() override;
    // Plain window activation: a control never becomes a frame's active view.
    int OnMouseActivate(HWND hDesktopWnd, UINT nHitTest, UINT message) override;
    // The owner holds this object as a member and destroys it.
    void PostNcDestroy() override {}
};
