// The check run on the view's side: each tick of the frame's timer starts
// workers for the lowest unchecked rows, and each worker's verdict is written
// into the row it was started for.
#include <algorithm>
#include <deque>
#include <new>
#include <vector>

#include "core/Globals.h"
#include "core/MessageBox.h"
#include "core/Messages.h"
#include "urls/CheckThread.h"
#include "urls/CorvidView.h"

namespace {

const char kCannotStart[] = "Cannot Start New Thread";

Validity VerdictValidity(UINT msg, WPARAM wParam) {
    if (msg == UM_URL_VALID) return Validity::Valid;
    switch (wParam) {
    case kProbeErrorPage: return Validity::Invalid;
    case kProbeNothing: return Validity::Timeout;
    default: return Validity::Unchecked;   // the worker had no session: try again later
    }
}

// Starts the workers a dispatch has chosen, one per posted message. Creating
// a thread costs a millisecond or more (several under Wine on a busy
// machine), so ten starts in one message would hold the user-interface
// thread for tens of milliseconds. Posted messages are all handled before the
// next timer tick, so the next tick still sees every worker started by this
// one. A hidden window of its own receives them: modal loops dispatch them
// like any other, and none is lost while a message box is open.
class CCheckStarter : public CWnd {
public:
    static CCheckStarter& Get() {
        static CCheckStarter starter;
        return starter;
    }
    void Queue(HWND hView, std::string strUrl, int nRow) {
        m_jobs.push_back({hView, std::move(strUrl), nRow});
        if (!m_hWnd || !PostMessage(kStartNext)) StartNext();
    }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == kStartNext) {
            StartNext();
            return 0;
        }
        return CWnd::WindowProc(msg, wParam, lParam);
    }

private:
    enum : UINT { kStartNext = WM_APP + 0x31 };
    struct Job {
        HWND hView;
        std::string url;
        int row;
    };
    CCheckStarter() {
        CreateEx(0, RegisterWndClass(0), "", 0, RECT{0, 0, 0, 0}, HWND_MESSAGE, 0);
    }
    void StartNext() {
        if (m_jobs.empty()) return;
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        // A view whose window is gone starts nothing.
        if (auto* pView = dynamic_cast<CCorvidView*>(CWnd::FromHandlePermanent(job.hView)))
            pView->StartCheckThread(std::move(job.url), job.row);
    }
    std::deque<Job> m_jobs;
};

}  // namespace

// UM_DISPATCH: up to nFree workers for the lowest unchecked rows; the run is
// over when no unchecked row is left.
void CCorvidView::OnDispatch(int nFree) {
    // The frame counts workers by their verdicts: a worker holds a run slot
    // until its verdict. One whose verdict its watchdog handed in may live on,
    // blocked in the HTTP library; it holds no run slot, but the live threads
    // never exceed twice the thread count, so a run of servers that never
    // answer neither stalls nor piles up threads. At that bound dispatch
    // waits for blocked workers to end.
    nFree = std::min(nFree, 2 * g_nThreadCount - (int)CCheckThread::LiveWorkers());
    DispatchCursor::Tick tick = m_dispatchCursor.Dispatch(m_rows, nFree);
    if (tick.finished) {
        PostToMainWnd(UM_RUN_FINISHED, 0, 0);
        return;
    }
    if (tick.take.empty()) return;
    // Everything the workers need is taken now: the rows may move before the
    // workers start (a failed start shows a message box, and its modal loop
    // may run an import or a clean-up).
    struct Job {
        UrlRows::Id id;
        std::string url;
    };
    std::vector<Job> jobs;
    jobs.reserve(tick.take.size());
    // A worker needs no more of a line than shows that it is too long to be
    // requested; a line may be megabytes long.
    for (std::size_t pos : tick.take)
        jobs.push_back({m_rows.id(pos), std::string(m_rows.url(pos).substr(0, kMaxUrlBytes + 1))});
    if (!m_hWnd) return;
    GetListCtrl().RedrawItems((int)tick.take.front(), (int)tick.take.back());
    for (Job& job : jobs) CCheckStarter::Get().Queue(m_hWnd, std::move(job.url), (int)job.id);
}

// One worker for one row; nRow is the row's id, which the verdict carries back.
BOOL CCorvidView::StartCheckThread(std::string strUrl, int nRow) {
    CHECKPARAM* pParam = new (std::nothrow) CHECKPARAM;
    if (!pParam) return FALSE;
    pParam->hView = m_hWnd;
    pParam->nRow = nRow;
    pParam->strUrl = std::move(strUrl);
    pParam->pReason = OpenReasonSlot((UrlRows::Id)nRow);

    CCheckThread* pThread = new (std::nothrow) CCheckThread(CheckThreadProc, pParam);
    if (!pThread) {
        CloseReasonSlot((UrlRows::Id)nRow);
        SkeinMessageBox(m_hWnd, kCannotStart);
        delete pParam;
        return FALSE;
    }
    if (!pThread->CreateThread(0, 0, nullptr)) {
        CloseReasonSlot((UrlRows::Id)nRow);
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
        TakeReason(id, v != Validity::Unchecked);
        if (v == Validity::Unchecked) m_dispatchCursor.Reopened(id);
        if (m_hWnd) GetListCtrl().RedrawItems((int)*pos, (int)*pos);
    } else {
        TakeReason(id, false);
    }
    LONG running = ::InterlockedDecrement(&g_nRunningThreads);
    PostToMainWnd(UM_RUNNING_COUNT, 0, (LPARAM)running);
}
