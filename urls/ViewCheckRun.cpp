// The check run on the view's side: each tick of the frame's timer starts
// workers for the lowest unchecked rows, and each worker's verdict is written
// into the row it was started for.
#include <new>
#include <vector>

#include "app/Globals.h"
#include "urls/CheckThread.h"
#include "urls/CorvidView.h"
#include "urls/Messages.h"

namespace {

const char kCannotStart[] = "Cannot Start New Thread";

Validity VerdictValidity(UINT msg, WPARAM wParam) {
    if (msg == UM_URL_VALID) return Validity::Valid;
    switch (wParam) {
    case PROBE_ERROR_PAGE: return Validity::Invalid;
    case PROBE_NOTHING: return Validity::Timeout;
    default: return Validity::Unchecked;   // the worker had no session: try again later
    }
}

}  // namespace

// UM_DISPATCH: up to nFree workers for the lowest unchecked rows; the run is
// over when no unchecked row is left.
void CCorvidView::OnDispatch(int nFree) {
    DispatchCursor::Tick tick = m_dispatchCursor.Dispatch(m_rows, nFree);
    if (tick.finished) {
        PostToMainWnd(UM_RUN_FINISHED, 0, 0);
        return;
    }
    if (tick.take.empty()) return;
    // Everything the workers need is taken before the first starts: a failed
    // start shows a message box, and its modal loop may run an import or a
    // clean-up that moves the rows.
    struct Job {
        UrlRows::Id id;
        std::string url;
    };
    std::vector<Job> jobs;
    jobs.reserve(tick.take.size());
    for (std::size_t pos : tick.take) jobs.push_back({m_rows.id(pos), std::string(m_rows.url(pos))});
    if (m_hWnd) GetListCtrl().RedrawItems((int)tick.take.front(), (int)tick.take.back());
    for (Job& job : jobs) StartCheckThread(std::move(job.url), (int)job.id);
}

// One worker for one row; nRow is the row's id, which the verdict carries back.
BOOL CCorvidView::StartCheckThread(std::string strUrl, int nRow) {
    CHECKPARAM* pParam = new (std::nothrow) CHECKPARAM;
    if (!pParam) return FALSE;
    pParam->hView = m_hWnd;
    pParam->nRow = nRow;
    pParam->strUrl = std::move(strUrl);

    CCheckThread* pThread = new (std::nothrow) CCheckThread(CheckThreadProc, pParam);
    if (!pThread) {
        SkeinMessageBox(m_hWnd, kCannotStart);
        delete pParam;
        return FALSE;
    }
    if (!pThread->CreateThread(0, 0, nullptr)) {
        SkeinMessageBox(m_hWnd, kCannotStart);
        delete pThread;
        delete pParam;
        return FALSE;
    }
    // The block and the worker belong to the worker's thread from here on.
    LONG running = ::InterlockedIncrement(&g_nRunningThreads);
    PostToMainWnd(UM_RUNNING_COUNT, 0, (LPARAM)running);
    return TRUE;
}

// UM_URL_VALID / UM_URL_VERDICT: lParam is the id of the row the worker was
// started for. A row removed meanwhile takes no verdict, but the worker is
// counted off all the same.
void CCorvidView::OnUrlVerdict(UINT msg, WPARAM wParam, LPARAM lParam) {
    const UrlRows::Id id = (UrlRows::Id)lParam;
    if (auto pos = m_rows.find(id)) {
        Validity v = VerdictValidity(msg, wParam);
        m_rows.setValidity(*pos, v);
        if (v == Validity::Unchecked) m_dispatchCursor.Reopened(id);
        if (m_hWnd) GetListCtrl().RedrawItems((int)*pos, (int)*pos);
    }
    LONG running = ::InterlockedDecrement(&g_nRunningThreads);
    PostToMainWnd(UM_RUNNING_COUNT, 0, (LPARAM)running);
}
