// The socket guard: bounds the HTTP library's socket calls on one thread.
#pragma once
#include <windows.h>

#include <cstddef>

#include "framework/rules/GuardRules.h"

// Bounds what the HTTP library does with its sockets on the calling thread
// while the guard lives. Wine's library ignores its connect time-out, keeps
// reading a response head for as long as header lines come, and drains a
// body when a request is closed; and closing a handle from another thread
// interrupts none of that. So the library's own socket calls are bounded
// where it makes them: on the thread that called it, a connect gives up after
// its time-out, no call waits past the guard's deadline, receives stop when
// their byte budget is spent, and a refusing guard fails every call at once
// (closing a request then reads nothing more). Threads without a guard, and
// every other user of the library, are not touched. What each call may do is
// GuardRule's to say; this class makes the socket calls.
class CInternetGuard {
public:
    CInternetGuard(DWORD dwConnectTimeoutMs, DWORD dwIoTimeoutMs, DWORD dwOverallMs);
    CInternetGuard(const CInternetGuard&) = delete;
    CInternetGuard& operator=(const CInternetGuard&) = delete;
    ~CInternetGuard();

    // Whether the library's socket calls could be bounded in this process.
    static bool Installed();
    // Process-wide, read by the hooks on every call: when off, guards keep
    // their clocks but the library's sockets are left alone, as they are
    // where its calls cannot be reached (its own threads, other imports).
    static void EnableHooks(bool bEnable);
    static bool HooksEnabled();

    // Bytes the library may still receive; a receive beyond them fails.
    void SetReceiveBudget(size_t nBytes) { m_rule.SetReceiveBudget(nBytes); }
    // Fails every further call (and shuts down the socket it was made on).
    // Connections the library finished with are left alone: its pool hands
    // them to the next request for the same server, on whichever worker's
    // thread, and a shutdown here would fail that worker's request.
    void Refuse() { m_rule.Refuse(); }
    // Lets calls through again (the next request of the same fetch).
    void Resume() { m_rule.Resume(); }

    DWORD RemainingMs() const { return m_rule.RemainingMs(::GetTickCount()); }
    bool Expired() const { return RemainingMs() == 0; }
    bool BudgetSpent() const { return m_rule.BudgetSpent(); }
    // The last connect gave up at its time-out (the server may still answer a retry).
    bool ConnectTimedOut() const { return m_rule.ConnectTimedOut(); }
    // The last receive or send gave up at its time-out: the library reports
    // that as a broken connection.
    bool IoTimedOut() const { return m_rule.IoTimedOut(); }

    // Called by the hooks on the guarded thread.
    int Connect(UINT_PTR s, const void* name, int namelen);
    int Recv(UINT_PTR s, char* buf, int len, int flags);
    int Send(UINT_PTR s, const char* buf, int len, int flags);
    static CInternetGuard* Current();

private:
    int Fail(UINT_PTR s, GuardFailure failure);
    void NoteIoResult(int nResult);
    GuardRule m_rule;
    CInternetGuard* m_pOuter;
};
