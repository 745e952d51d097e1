// CDocument, CView and CListView: the document/view minimum the program uses.
#pragma once
#include "framework/ListCtrl.h"
#include "framework/Wnd.h"

class CArchive;   // documents of this program are never stored

class CDocument {
public:
    CDocument() = default;
    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;
    virtual ~CDocument() = default;
    virtual void Serialize(CArchive&) {}
    virtual BOOL OnNewDocument() { return TRUE; }
};

class CView : public CWnd {
public:
    CDocument* GetDocument() const { return m_pDocument; }
    void SetDocument(CDocument* pDoc) { m_pDocument = pDoc; }
    // Adjusts the creation parameters before the window is made.
    virtual BOOL PreCreateWindow(CREATESTRUCTA&) { return TRUE; }
    // Called once the view and its frame exist, before the frame is shown.
    virtual void OnInitialUpdate() {}

protected:
    CDocument* m_pDocument = nullptr;
};

// A view that is itself a report list control ("SysListView32").
class CListView : public CView {
public:
    // Creates the list control as a child of hParent; the styles pass through PreCreateWindow.
    BOOL Create(HWND hParent, UINT nID, const RECT& rect = RECT{0, 0, 0, 0});
    CListCtrl GetListCtrl() const { return CListCtrl(m_hWnd); }
};
