// CWinThread: a worker thread object. By default it deletes itself when its
// thread function returns, so whoever starts it must not touch it afterwards.
#pragma once
#include <windows.h>

using AFX_THREADPROC = UINT (*)(LPVOID);

class CWinThread {
public:
    // A worker thread that will run pfnThreadProc(pParam) once CreateThread is called.
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;
    virtual ~CWinThread();

    // Starts the thread. With auto-delete on and no CREATE_SUSPENDED, the object
    // may already be gone when this returns TRUE. On FALSE nothing was started
    // and the object still belongs to the caller.
    BOOL CreateThread(DWORD dwCreateFlags = 0, SIZE_T nStackSize = 0,
                      LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
    DWORD ResumeThread();

    // Called on the thread after the thread function returned: deletes the object
    // when m_bAutoDelete is set.
    virtual void Delete();

    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    BOOL m_bAutoDelete = TRUE;

protected:
    AFX_THREADPROC m_pfnThreadProc;
    LPVOID m_pThreadParams;

private:
    static DWORD WINAPI ThreadEntry(LPVOID pThis);
};
