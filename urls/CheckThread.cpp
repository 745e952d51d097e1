#include "urls/CheckThread.h"

#include <algorithm>
#include <mutex>
#include <new>

#include "core/Globals.h"
#include "core/Messages.h"
#include "urls/AnsiWireAddress.h"
#include "urls/rules/ProbeRules.h"
#include "urls/rules/WireAddress.h"

namespace {

const char kAcceptHeader[] = "Accept: */*";
const char kUserAgentHeader[] = "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

// Always from the network, never into the cache. Redirects are followed by
// the probe itself, hop by hop: the library follows them without limit. A
// check sends nothing of the user's: none of the cookies of the user's store
// (and it stores none there), no log-on with the user's credentials, and no
// window of the library's asking the user anything.
const DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_DONT_CACHE |
                            INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_IGNORE_CERT_CN_INVALID |
                            INTERNET_FLAG_IGNORE_CERT_DATE_INVALID | INTERNET_FLAG_NO_COOKIES |
                            INTERNET_FLAG_NO_AUTH | INTERNET_FLAG_NO_UI;

// What the library may receive beyond the head or the body it is reading:
// its read-ahead, chunk framing and the TLS handshake and records.
const size_t kReceiveSlackBytes = 64 * 1024;

// The probe asks whether a site answers, not whether it can be trusted, and it
// sends nothing of the user's: a site with a self-signed, expired or
// mismatched certificate still answers.
const DWORD kCertificateLeniency = SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_CN_INVALID |
                                   SECURITY_FLAG_IGNORE_CERT_DATE_INVALID | SECURITY_FLAG_IGNORE_REVOCATION |
                                   SECURITY_FLAG_IGNORE_WRONG_USAGE;

// Posting fails only when the window is gone (nothing to tell then) or its
// queue is full; a lost verdict would keep its worker counted for ever.
void PostVerdict(HWND hView, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!hView) return;
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (::PostMessageA(hView, msg, wParam, lParam) || !::IsWindow(hView)) return;
        ::Sleep(50);
    }
}

// The library lets a process have only a few connections to one server (or
// through one proxy) at a time and queues further requests inside, where the
// wait counts against the probe's time: a run over one site would give
// 超时! for sites that answer. The limits are the process's, set once.
void RaiseConnectionLimits() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (DWORD option : {INTERNET_OPTION_MAX_CONNS_PER_SERVER, INTERNET_OPTION_MAX_CONNS_PER_1_0_SERVER,
                             INTERNET_OPTION_MAX_CONNS_PER_PROXY}) {
            DWORD limit = kMaxThreadCount;   // every worker a run may have
            ::InternetSetOptionA(nullptr, option, &limit, sizeof limit);
        }
    });
}

}  // namespace

// Hands in the worker's "nothing came back" when the probe's time is up,
// from a pool thread, then closes the worker's handles, which cancels what
// the library does on them where it honours that (Wine's does not). The
// worker's own socket calls end a twentieth earlier where CInternetGuard
// reaches them, so it normally reports first; this covers what no guard
// reaches: a name lookup that hangs, or socket work the library does where
// the hooks are not. A worker still blocked after this verdict lives on
// outside the run's slots (CCorvidView::OnDispatch).
class CProbeWatchdog {
public:
    CProbeWatchdog(CCheckThread* pWorker, DWORD ms) : m_pWorker(pWorker) {
        if (!::CreateTimerQueueTimer(&m_hTimer, nullptr, &OnTimeUp, this, ms, 0, WT_EXECUTEONLYONCE))
            m_hTimer = nullptr;
    }
    CProbeWatchdog(const CProbeWatchdog&) = delete;
    CProbeWatchdog& operator=(const CProbeWatchdog&) = delete;
    ~CProbeWatchdog() {
        // Waits for a callback under way, so the worker outlives it.
        if (m_hTimer) ::DeleteTimerQueueTimer(nullptr, m_hTimer, INVALID_HANDLE_VALUE);
    }
    bool Expired() const { return m_expired != 0; }

private:
    static VOID CALLBACK OnTimeUp(PVOID pThis, BOOLEAN) {
        auto* self = static_cast<CProbeWatchdog*>(pThis);
        ::InterlockedExchange(&self->m_expired, 1);
        // The worker's own reason is still being written on its thread.
        ProbeReason reason;
        reason.failure = ProbeFailure::NoResponse;
        reason.elapsedMs = self->m_pWorker->m_limits.overallMs;
        self->m_pWorker->PostVerdictOnce(UM_URL_VERDICT, kProbeNothing, reason);
        self->m_pWorker->AbandonHandles();
    }
    CCheckThread* m_pWorker;
    HANDLE m_hTimer = nullptr;
    volatile LONG m_expired = 0;
};

ProbeLimits& CCheckThread::DefaultLimits() {
    static ProbeLimits limits;
    return limits;
}

volatile LONG CCheckThread::s_lLiveWorkers = 0;

// A worker counts from its creation, before its thread can run, to the end of
// its thread, when the framework deletes it; a probe state without a
// parameter block is no worker.
CCheckThread::CCheckThread(AFX_THREADPROC pfnThreadProc, CHECKPARAM* pParam)
    : CWinThread(pfnThreadProc, pParam), m_limits(DefaultLimits()), m_bCounted(pParam != nullptr) {
    if (pParam) pParam->pThread = this;
    if (m_bCounted) ::InterlockedIncrement(&s_lLiveWorkers);
}

CCheckThread::~CCheckThread() {
    CloseAll();
    if (m_bCounted) ::InterlockedDecrement(&s_lLiveWorkers);
}

LONG CCheckThread::LiveWorkers() {
    return ::InterlockedCompareExchange(&s_lLiveWorkers, 0, 0);
}

UINT CheckThreadProc(LPVOID pParam) {
    std::unique_ptr<CHECKPARAM> param(static_cast<CHECKPARAM*>(pParam));
    if (param && param->pThread) param->pThread->CheckUrl(param.get());
    return 0;
}

BOOL CCheckThread::CheckUrl(CHECKPARAM* pParam) {
    m_nRow = pParam->nRow;
    m_hView = pParam->hView;
    m_pReasonSlot = pParam->pReason;
    int code = kProbeNothing;
    try {
        m_strUrl = pParam->strUrl;
        if (!OpenSession()) {
            ProbeReason reason;
            reason.failure = ProbeFailure::NoSession;
            PostVerdictOnce(UM_URL_VERDICT, 0, reason);
            return FALSE;
        }
        code = ProbeUrl(m_strUrl);
    } catch (...) {
        // Out of memory or anything else unforeseen: still one verdict.
        code = kProbeNothing;
    }
    CloseAll();
    if (code == kProbePage) PostVerdictOnce(UM_URL_VALID, 0, m_reason);
    else PostVerdictOnce(UM_URL_VERDICT, (WPARAM)code, m_reason);
    return TRUE;
}

void CCheckThread::PostVerdictOnce(UINT msg, WPARAM wParam, const ProbeReason& reason) {
    if (::InterlockedExchange(&m_lVerdictPosted, 1) != 0) return;
    if (m_pReasonSlot) {
        try {
            m_pReasonSlot->reason = reason;
            m_pReasonSlot->written.store(true, std::memory_order_release);
        } catch (const std::bad_alloc&) {
            // The verdict matters more than its reason.
        }
    }
    PostVerdict(m_hView, msg, wParam, (LPARAM)m_nRow);
}

bool CCheckThread::OpenSession() {
    RaiseConnectionLimits();
    try {
        m_pSession = std::make_unique<CInternetSession>(nullptr, 1, INTERNET_OPEN_TYPE_PRECONFIG);
        m_pSession->SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, m_limits.connectTimeoutMs);
        m_pSession->SetOption(INTERNET_OPTION_CONNECT_BACKOFF, m_limits.connectBackoffMs);
        m_pSession->SetOption(INTERNET_OPTION_CONNECT_RETRIES, m_limits.connectRetries);
        m_pSession->SetOption(INTERNET_OPTION_SEND_TIMEOUT, m_limits.sendTimeoutMs);
        m_pSession->SetOption(INTERNET_OPTION_RECEIVE_TIMEOUT, m_limits.receiveTimeoutMs);
        m_pSession->EnableStatusCallback(TRUE);
        return true;
    } catch (const CInternetException&) {
    } catch (const std::bad_alloc&) {
    }
    m_pSession.reset();
    return false;
}

std::string CCheckThread::NormalizeUrl(const std::string& strUrl) {
    return ::NormalizeUrl(strUrl);
}

int CCheckThread::ProbeUrl(std::string strUrl) {
    int code = ClassifyPage(FetchPage(NormalizeUrl(strUrl)));
    if (code == kProbeErrorPage) {
        m_reason.failure = ProbeFailure::ErrorPage;
    } else if (code == kProbeNothing && m_reason.failure == ProbeFailure::None && m_reason.status == HTTP_STATUS_OK) {
        m_reason.failure = ProbeFailure::EmptyPage;
    }
    return code;
}

std::string CCheckThread::FetchPage(const std::string& strUrl) {
    m_reason = {};
    if (!m_pSession) {
        m_reason.failure = ProbeFailure::NoSession;
        return {};
    }
    const DWORD start = ::GetTickCount();
    CProbeWatchdog watchdog(this, m_limits.overallMs);
    CInternetGuard guard(m_limits.connectTimeoutMs, m_limits.receiveTimeoutMs,
                         m_limits.overallMs - m_limits.overallMs / 20);
    // The library sends an address byte for byte; a row's Chinese goes out as a browser sends it.
    std::string url = WireAddressFromAnsi(strUrl);
    std::string page;
    m_cookies = {};
    for (int hop = 0; !watchdog.Expired(); ++hop) {
        if (hop) {
            m_reason.redirects = hop;
            m_reason.finalUrl = url;
        }
        // Never handed to the library: it fails on addresses of megabytes.
        if (!FitsRequestLine(url)) {
            m_reason.failure = ProbeFailure::AddressTooLong;
            break;
        }
        if (!IsFollowableScheme(url)) {
            m_reason.failure = hop ? ProbeFailure::UnsupportedRedirect : ProbeFailure::BadAddress;
            break;
        }
        Hop result = FetchHop(url, guard);
        if (!result.redirect) {
            page = std::move(result.page);
            break;
        }
        if (hop == kMaxRedirects) {
            m_reason.failure = ProbeFailure::TooManyRedirects;
            break;
        }
        // No Location, or one that names nothing, ends the chain with nothing.
        // A Location's non-ASCII bytes are taken as UTF-8, as browsers take them.
        url = WireAddress(ResolveLocation(url, result.location));
        if (url.empty()) {
            m_reason.failure = ProbeFailure::NoLocation;
            break;
        }
    }
    if (watchdog.Expired()) {
        page.clear();
        m_reason.failure = ProbeFailure::NoResponse;
    }
    m_reason.elapsedMs = ::GetTickCount() - start;
    return page;
}

void CCheckThread::NoteFailure(DWORD dwError, const CInternetGuard& guard, bool bSecure) {
    GuardOutcome outcome = guard.ConnectTimedOut() ? GuardOutcome::ConnectTimedOut
                           : guard.IoTimedOut()    ? GuardOutcome::IoTimedOut
                           : guard.Expired()       ? GuardOutcome::Expired
                           : guard.BudgetSpent()   ? GuardOutcome::BudgetSpent
                                                   : GuardOutcome::None;
    m_reason.failure = FailureFromError(dwError, outcome, bSecure);
    m_reason.error = dwError;
}

// One request, with the connect's one retry. A redirect leaves its Location.
CCheckThread::Hop CCheckThread::FetchHop(const std::string& strUrl, CInternetGuard& guard) {
    Hop result;
    for (DWORD attempt = 0;; ++attempt) {
        bool failed = !Request(strUrl, guard, result);
        if (!failed || !guard.ConnectTimedOut() || attempt >= m_limits.connectRetries) break;
        ::Sleep(std::min(m_limits.connectBackoffMs, guard.RemainingMs()));
    }
    return result;
}

// FALSE when the library failed; the connection is closed either way.
bool CCheckThread::Request(const std::string& strUrl, CInternetGuard& guard, Hop& result) {
    result = {};
    m_reason.status = 0;
    m_reason.statusText.clear();
    m_reason.failure = ProbeFailure::None;
    DWORD dwService = 0;
    std::string strServer, strObject;
    INTERNET_PORT nPort = 0;
    // An address the parser cannot split names no server: nothing can come back.
    if (!AfxParseURL(strUrl.c_str(), dwService, strServer, strObject, nPort)) {
        m_reason.failure = ProbeFailure::BadAddress;
        return true;
    }

    bool ok = true;
    guard.Resume();
    try {
        m_pConnection.reset(m_pSession->GetHttpConnection(strServer.c_str(), nPort));
        DWORD flags = kRequestFlags;
        if (dwService == AFX_INET_SERVICE_HTTPS) flags |= INTERNET_FLAG_SECURE;
        m_pFile.reset(m_pConnection->OpenRequest(HTTP_VERB_GET, strObject.c_str(), nullptr, 0, nullptr,
                                                 nullptr, flags));
        m_pFile->SetOption(INTERNET_OPTION_SECURITY_FLAGS, kCertificateLeniency);
        // Set on the request as well: not every library hands the session's down.
        m_pFile->SetOption(INTERNET_OPTION_SEND_TIMEOUT, m_limits.sendTimeoutMs);
        m_pFile->SetOption(INTERNET_OPTION_RECEIVE_TIMEOUT, m_limits.receiveTimeoutMs);
        // A system switched to "work offline" would answer from the cache or not at all.
        m_pFile->SetOption(INTERNET_OPTION_IGNORE_OFFLINE, TRUE);
        // Also keeps back credentials the process already holds, where the
        // library knows this option (Wine's does not, and sends them).
        m_pFile->SetOption(INTERNET_OPTION_SUPPRESS_SERVER_AUTH, TRUE);
        const std::string cookie = m_cookies.HeaderFor(strUrl);
        if (!cookie.empty())
            m_pFile->AddRequestHeaders(("Cookie: " + cookie).c_str(), HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE, -1);
        m_pFile->AddRequestHeaders(kAcceptHeader, HTTP_ADDREQ_FLAG_ADD_IF_NEW, -1);
        // The session's agent is the application's name; a site is asked as a
        // browser would ask, so the browser's agent replaces it.
        m_pFile->AddRequestHeaders(kUserAgentHeader, HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE, -1);

        guard.SetReceiveBudget(kMaxHeadBytes + kReceiveSlackBytes);
        m_pFile->SendRequest();
        DWORD status = 0;
        std::string head;
        if (m_pFile->QueryInfoStatusCode(status)) {
            m_reason.status = status;
            m_pFile->QueryInfo(HTTP_QUERY_STATUS_TEXT, m_reason.statusText);
        }
        // A site that sets a cookie and redirects to see it come back answers only with it.
        std::string setCookie;
        for (DWORD index = 0;;) {
            const DWORD asked = index;
            if (!m_pFile->QueryInfo(HTTP_QUERY_SET_COOKIE, setCookie, &index)) break;
            m_cookies.Take(strUrl, setCookie);
            if (index == asked) break;   // a library that does not move on would give it for ever
        }
        if (IsRedirectStatus(status)) {
            result.redirect = true;
            m_pFile->QueryInfo(HTTP_QUERY_LOCATION, result.location);
        } else if (status == HTTP_STATUS_OK && m_pFile->QueryInfo(HTTP_QUERY_RAW_HEADERS_CRLF, head) &&
                   HasHeaderLines(head)) {
            guard.SetReceiveBudget(m_limits.maxBodyBytes + kReceiveSlackBytes);
            result.page = ReadBody(guard);
        } else if (status == HTTP_STATUS_OK) {
            // The library's dress for bytes that were no HTTP answer.
            m_reason.status = 0;
            m_reason.statusText.clear();
            m_reason.failure = ProbeFailure::NotHttp;
        }
    } catch (const CInternetException& e) {
        ok = false;
        NoteFailure(e.m_dwError, guard, dwService == AFX_INET_SERVICE_HTTPS);
    } catch (const std::bad_alloc&) {
    }
    // Closing reads nothing more of what the server still sends.
    guard.Refuse();
    CloseRequest();
    return ok;
}

std::string CCheckThread::ReadBody(CInternetGuard& guard) {
    PageTextBuilder text(m_limits.maxBodyBytes);
    char buf[4096];
    try {
        // Ask for what has arrived only: a read of a full buffer would wait for
        // a trickling server to fill it, past the probe's time.
        while (!guard.Expired()) {
            DWORD avail = m_pFile->QueryDataAvailable();
            if (avail == 0) break;
            UINT got = m_pFile->Read(buf, avail < sizeof buf - 1 ? avail : sizeof buf - 1);
            if (got == 0 || !text.Feed(std::string_view(buf, got))) break;
        }
    } catch (const CInternetException& e) {
        // A body that outgrew the receive budget reached the cap; any other
        // failure, the clock included, means no page came back.
        if (!guard.BudgetSpent()) {
            if (guard.Expired()) m_reason.failure = ProbeFailure::BodyTimedOut;
            else NoteFailure(e.m_dwError, guard, false);
            return {};
        }
    }
    if (guard.Expired()) {
        m_reason.failure = ProbeFailure::BodyTimedOut;
        return {};
    }
    if (text.Full() || guard.BudgetSpent()) m_reason.failure = ProbeFailure::TooLarge;
    return text.Text();
}

void CCheckThread::AbandonHandles() {
    HINTERNET handles[3] = {};
    {
        std::lock_guard<std::mutex> hold(m_handleLock);
        if (m_pFile) handles[0] = m_pFile->Detach();
        if (m_pConnection) handles[1] = m_pConnection->Detach();
        if (m_pSession) handles[2] = m_pSession->Detach();
    }
    // Closed outside the lock, which the worker may need at any moment:
    // closing may wait in the library.
    for (HINTERNET h : handles)
        if (h) ::InternetCloseHandle(h);
}

bool CCheckThread::CloseRequest() {
    bool ok = true;
    if (m_pFile) {
        ok = m_pFile->Close() && ok;
        m_pFile.reset();
    }
    if (m_pConnection) {
        ok = m_pConnection->Close() && ok;
        m_pConnection.reset();
    }
    return ok;
}

bool CCheckThread::CloseAll() {
    bool ok = CloseRequest();
    if (m_pSession) {
        ok = m_pSession->Close() && ok;
        m_pSession.reset();
    }
    return ok;
}
