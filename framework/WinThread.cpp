#include "framework/WinThread.h"

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_pfnThreadProc(pfnThreadProc), m_pThreadParams(pParam) {}

CWinThread::~CWinThread() {
    if (m_hThread) ::CloseHandle(m_hThread);
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, SIZE_T nStackSize,
                              LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
    if (m_hThread || !m_pfnThreadProc) return FALSE;
    // Start suspended so that the handle and id are stored before the thread
    // can run to its end and delete this object.
    DWORD id = 0;
    HANDLE h = ::CreateThread(lpSecurityAttrs, nStackSize, &ThreadEntry, this,
                              dwCreateFlags | CREATE_SUSPENDED, &id);
    if (!h) return FALSE;
    m_hThread = h;
    m_nThreadID = id;
    if (!(dwCreateFlags & CREATE_SUSPENDED)) ::ResumeThread(h);   // `this` may be gone from here on
    return TRUE;
}

DWORD CWinThread::ResumeThread() {
    return m_hThread ? ::ResumeThread(m_hThread) : (DWORD)-1;
}

void CWinThread::Delete() {
    if (m_bAutoDelete) delete this;
}

DWORD WINAPI CWinThread::ThreadEntry(LPVOID pThis) {
    auto* self = static_cast<CWinThread*>(pThis);
    UINT code = 0;
    // Nothing may leave a thread function by exception.
    try {
        code = self->m_pfnThreadProc(self->m_pThreadParams);
    } catch (...) {
        code = (UINT)-1;
    }
    self->Delete();
    return code;
}
