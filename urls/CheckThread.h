// CCheckThread: the worker that checks one URL. It opens an internet session
// of its own, fetches the page with one GET, closes everything and posts one
// verdict to the list view's window. It deletes itself when it ends.
#pragma once
#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "framework/Inet.h"
#include "framework/SocketGuard.h"
#include "framework/WinThread.h"
#include "urls/rules/Cookies.h"
#include "urls/rules/ProbeReason.h"
#include "urls/rules/ProbeRules.h"

class CCheckThread;

// Where a worker leaves the reason for its verdict. Shared by the view and the
// worker, so either may go first; written once, by whoever posts the verdict,
// before it is posted, and read by the view only when the verdict arrives.
struct ReasonSlot {
    ProbeReason reason;
    // Also read by the view for a slot whose worker may still be running.
    std::atomic<bool> written{false};
};

// What the view hands a worker. Allocated by the view, freed by the worker's
// thread function. The worker knows the view only by its window, so a worker
// that ends after the window is gone posts into nothing.
struct CHECKPARAM {
    HWND hView = nullptr;             // receives the verdict
    CCheckThread* pThread = nullptr;  // written by the worker's constructor
    std::string strUrl;               // the row's URL at dispatch (cut only beyond what may be requested)
    int nRow = 0;                     // the row's id at dispatch (UrlRows::Id)
    std::shared_ptr<ReasonSlot> pReason;  // may be empty: nobody asks why
};

// The bounds of one probe. The program runs with the defaults; tests shorten them.
struct ProbeLimits {
    DWORD connectTimeoutMs = 5000;
    DWORD connectBackoffMs = 1000;
    DWORD connectRetries = 1;
    DWORD sendTimeoutMs = 15000;
    DWORD receiveTimeoutMs = 15000;
    DWORD overallMs = 60000;           // from the start of the fetch to the last byte read
    size_t maxBodyBytes = kMaxBodyBytes; // a page that reaches it still counts
};

// An owned probe object that another thread may reach while it lives: it is
// set and taken away under a lock, which that thread holds while it uses the
// object; the object is deleted outside the lock, since closing it may wait
// in the library.
template <class T>
class CLockedPtr {
public:
    explicit CLockedPtr(std::mutex& lock) : m_lock(lock) {}
    CLockedPtr(const CLockedPtr&) = delete;
    CLockedPtr& operator=(const CLockedPtr&) = delete;
    ~CLockedPtr() { reset(); }
    CLockedPtr& operator=(std::unique_ptr<T> p) {
        reset(p.release());
        return *this;
    }
    // The object held before is deleted on return, after the lock is let go.
    void reset(T* p = nullptr) {
        std::unique_ptr<T> old(p);
        std::lock_guard<std::mutex> hold(m_lock);
        old.swap(m_p);
    }
    T* operator->() const { return m_p.get(); }
    T* get() const { return m_p.get(); }
    explicit operator bool() const { return m_p != nullptr; }
    bool operator!=(std::nullptr_t) const { return m_p != nullptr; }

private:
    std::mutex& m_lock;
    std::unique_ptr<T> m_p;
};

// The worker's thread function: checks the URL of the CHECKPARAM, frees it, returns 0.
UINT CheckThreadProc(LPVOID pParam);

class CCheckThread : public CWinThread {
public:
    CCheckThread(AFX_THREADPROC pfnThreadProc, CHECKPARAM* pParam);
    ~CCheckThread() override;

    // Opens the session, probes, closes, and posts exactly one verdict:
    // UM_URL_VALID, or UM_URL_VERDICT with 1 (error page), 2 (nothing came
    // back) or 0 (no session could be opened; FALSE is returned then).
    BOOL CheckUrl(CHECKPARAM* pParam);

    bool OpenSession();
    // 0 a page came back, 1 the provider's domain error page, 2 nothing came back.
    int ProbeUrl(std::string strUrl);
    static std::string NormalizeUrl(const std::string& strUrl);
    // The page text, empty when nothing came back.
    std::string FetchPage(const std::string& strUrl);
    bool CloseRequest();
    bool CloseAll();

    // Posts the worker's one verdict, with its reason, to its view; later
    // calls post nothing. Called by the worker, or by its watchdog when the
    // probe's time is up.
    void PostVerdictOnce(UINT msg, WPARAM wParam, const ProbeReason& reason);

    // Why the last ProbeUrl or FetchPage ended as it did.
    const ProbeReason& Reason() const { return m_reason; }

    // Copied by every new worker; set before workers start.
    static ProbeLimits& DefaultLimits();
    // Workers created and not yet ended, counted by the worker objects, which
    // live exactly as long as their threads: a verdict already posted does
    // not end a thread.
    static LONG LiveWorkers();

    int m_nRow = 0;
    std::string m_strUrl;
    ProbeLimits m_limits;

private:
    struct Hop {
        std::string page;       // the page text of a 200
        bool redirect = false;
        std::string location;   // the redirect's Location, empty when it had none
    };
    Hop FetchHop(const std::string& strUrl, CInternetGuard& guard);
    bool Request(const std::string& strUrl, CInternetGuard& guard, Hop& result);
    std::string ReadBody(CInternetGuard& guard);
    void NoteFailure(DWORD dwError, const CInternetGuard& guard, bool bSecure);
    // Called by the watchdog once the verdict is in: closes whatever the
    // probe has open, which cancels a call blocked on it; the worker's own
    // closes then find nothing.
    void AbandonHandles();
    friend class CProbeWatchdog;

    static volatile LONG s_lLiveWorkers;
    bool m_bCounted;
    HWND m_hView = nullptr;
    std::shared_ptr<ReasonSlot> m_pReasonSlot;
    ProbeReason m_reason;
    CookieJar m_cookies;   // what the answers of the fetch under way have set
    volatile LONG m_lVerdictPosted = 0;
    std::mutex m_handleLock;   // never held while the library works
    CLockedPtr<CInternetSession> m_pSession{m_handleLock};
    CLockedPtr<CHttpConnection> m_pConnection{m_handleLock};
    CLockedPtr<CHttpFile> m_pFile{m_handleLock};
};
