// CSingleDocTemplate: ties one document, its frame and its view together. The
// first New or Open creates all three; later ones reuse them.
#pragma once
#include <memory>
#include <string>

#include <windows.h>

class CDocument;
class CFrameWnd;
class CView;

// A factory for a class the template creates: NewObject<CMyView, CView>.
template <class TDerived, class TBase>
TBase* NewObject() {
    return new TDerived;
}

class CSingleDocTemplate {
public:
    using DocFactory = CDocument* (*)();
    using FrameFactory = CFrameWnd* (*)();
    using ViewFactory = CView* (*)();

    // Fields of the resource string nIDResource, separated by '\n'.
    enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };

    CSingleDocTemplate(UINT nIDResource, DocFactory pfnDoc, FrameFactory pfnFrame, ViewFactory pfnView);
    CSingleDocTemplate(const CSingleDocTemplate&) = delete;
    CSingleDocTemplate& operator=(const CSingleDocTemplate&) = delete;
    ~CSingleDocTemplate();

    // New document (null path) or a file. The first call creates document,
    // frame (LoadFrame) and view and makes the frame the main window; later
    // calls start the one document afresh in the frame and view it already has.
    // A frame that becomes the main window is left for the application to show.
    // Null when the document or its frame cannot be made, or the file cannot be read.
    CDocument* OpenDocumentFile(const char* lpszPathName, BOOL bMakeVisible = TRUE);

    std::string GetDocString(DocStringIndex index) const;
    UINT GetResourceID() const { return m_nIDResource; }
    CDocument* GetDocument() const { return m_pDocument.get(); }
    CFrameWnd* GetFrame() const { return m_pFrame.get(); }
    CView* GetView() const { return m_pView.get(); }

private:
    BOOL CreateDocumentAndFrame();
    void InitialUpdateFrame(BOOL bMakeVisible);

    UINT m_nIDResource;
    DocFactory m_pfnDoc;
    FrameFactory m_pfnFrame;
    ViewFactory m_pfnView;
    std::unique_ptr<CDocument> m_pDocument;
    std::unique_ptr<CView> m_pView;
    std::unique_ptr<CFrameWnd> m_pFrame;
    std::string m_strDocTitle;
};
