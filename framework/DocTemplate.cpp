#include "framework/DocTemplate.h"

#include "framework/Document.h"
#include "framework/FrameWnd.h"
#include "framework/Handles.h"
#include "framework/Internal.h"
#include "framework/WinApp.h"

namespace {

// Title of a document that has no file and no name of its own.
const char kUntitled[] = "无标题";

bool CanReadFile(const char* path) {
    CHandle file(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    return file.IsValid();
}

std::string FileTitle(const std::string& path) {
    size_t slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, DocFactory pfnDoc, FrameFactory pfnFrame,
                                       ViewFactory pfnView)
    : m_nIDResource(nIDResource), m_pfnDoc(pfnDoc), m_pfnFrame(pfnFrame), m_pfnView(pfnView) {}

CSingleDocTemplate::~CSingleDocTemplate() {
    // The frame's window goes first, while the view and document it shows still exist.
    m_pFrame.reset();
    m_pView.reset();
    m_pDocument.reset();
}

std::string CSingleDocTemplate::GetDocString(DocStringIndex index) const {
    const std::string s = LoadResString(m_nIDResource);
    size_t start = 0;
    for (int i = 0; i < (int)index; ++i) {
        size_t nl = s.find('\n', start);
        if (nl == std::string::npos) return {};
        start = nl + 1;
    }
    return s.substr(start, s.find('\n', start) - start);
}

BOOL CSingleDocTemplate::CreateDocumentAndFrame() {
    std::unique_ptr<CDocument> doc(m_pfnDoc ? m_pfnDoc() : nullptr);
    std::unique_ptr<CView> view(m_pfnView ? m_pfnView() : nullptr);
    std::unique_ptr<CFrameWnd> frame(m_pfnFrame ? m_pfnFrame() : nullptr);
    if (!doc || !frame) return FALSE;
    if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, doc.get(), view.get()))
        return FALSE;
    m_pDocument = std::move(doc);
    m_pView = std::move(view);
    m_pFrame = std::move(frame);
    CWinApp* app = AfxGetApp();
    if (app && !app->m_pMainWnd) app->m_pMainWnd = m_pFrame.get();
    return TRUE;
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const char* lpszPathName, BOOL bMakeVisible) {
    // The document stores and loads nothing, but a file that cannot be read
    // is not "opened" (and a start-up naming one fails).
    if (lpszPathName && !CanReadFile(lpszPathName)) return nullptr;
    bool created = false;
    if (!m_pFrame) {
        if (!CreateDocumentAndFrame()) return nullptr;
        created = true;
    }
    if (!lpszPathName) {
        if (!m_pDocument->OnNewDocument()) {
            if (created) {
                CWinApp* app = AfxGetApp();
                if (app && app->m_pMainWnd == m_pFrame.get()) app->m_pMainWnd = nullptr;
                m_pFrame.reset();
                m_pView.reset();
                m_pDocument.reset();
            }
            return nullptr;
        }
        std::string name = GetDocString(docName);
        m_strDocTitle = name.empty() ? kUntitled : name;
    } else {
        m_strDocTitle = FileTitle(lpszPathName);
    }
    // A new main window stays hidden: the application shows it once, in the
    // state it chooses (maximised), instead of flashing it up normal first.
    InitialUpdateFrame(bMakeVisible && !(created && AfxGetMainWnd() == m_pFrame.get()));
    return m_pDocument.get();
}

void CSingleDocTemplate::InitialUpdateFrame(BOOL bMakeVisible) {
    CFrameWnd* frame = m_pFrame.get();
    if (m_pView && m_pView->m_hWnd) {
        frame->SetActiveView(m_pView.get());
        m_pView->OnInitialUpdate();
    }
    frame->UpdateFrameTitle(m_strDocTitle);
    if (bMakeVisible && !::IsWindowVisible(frame->m_hWnd)) {
        CWinApp* app = AfxGetApp();
        ::ShowWindow(frame->m_hWnd, app ? app->m_nCmdShow : SW_SHOWNORMAL);
        ::UpdateWindow(frame->m_hWnd);
    }
}
