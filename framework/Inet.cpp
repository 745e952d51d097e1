#include <winsock2.h>

#include "framework/Inet.h"

#include <algorithm>
#include <mutex>

#include "framework/FrameworkIds.h"

namespace {

std::string AppName() {
    char buf[256] = {};
    if (::LoadStringA(::GetModuleHandleA(nullptr), AFX_IDS_APP_TITLE, buf, sizeof buf) > 0) return buf;
    return "Tansy";
}

const char* VerbText(int nVerb) {
    switch (nVerb) {
    case HTTP_VERB_POST: return "POST";
    case HTTP_VERB_HEAD: return "HEAD";
    default: return "GET";
    }
}

}  // namespace

namespace {

using ConnectFn = int(WSAAPI*)(SOCKET, const sockaddr*, int);
using RecvFn = int(WSAAPI*)(SOCKET, char*, int, int);
using SendFn = int(WSAAPI*)(SOCKET, const char*, int, int);

ConnectFn g_pfnConnect = nullptr;
RecvFn g_pfnRecv = nullptr;
SendFn g_pfnSend = nullptr;
bool g_bGuardInstalled = false;
volatile LONG g_lHooksOn = 1;
thread_local CInternetGuard* t_pGuard = nullptr;

int WSAAPI GuardedConnect(SOCKET s, const sockaddr* name, int namelen) {
    if (CInternetGuard* g = CInternetGuard::Current()) return g->Connect(s, name, namelen);
    return g_pfnConnect(s, name, namelen);
}

int WSAAPI GuardedRecv(SOCKET s, char* buf, int len, int flags) {
    if (CInternetGuard* g = CInternetGuard::Current()) return g->Recv(s, buf, len, flags);
    return g_pfnRecv(s, buf, len, flags);
}

int WSAAPI GuardedSend(SOCKET s, const char* buf, int len, int flags) {
    if (CInternetGuard* g = CInternetGuard::Current()) return g->Send(s, buf, len, flags);
    return g_pfnSend(s, buf, len, flags);
}

// Points the library's imports of the socket calls at the guarded ones. The
// import table is matched by address, so imports by ordinal are found too.
int PatchImports(HMODULE hModule, HMODULE hTarget, const std::pair<void*, void*>* pairs, int count) {
    auto* base = reinterpret_cast<BYTE*>(hModule);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return 0;
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress) return 0;
    int patched = 0;
    for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name; ++imp) {
        if (::GetModuleHandleA(reinterpret_cast<const char*>(base + imp->Name)) != hTarget) continue;
        for (auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk); thunk->u1.Function; ++thunk) {
            for (int i = 0; i < count; ++i) {
                if (thunk->u1.Function != (ULONG_PTR)pairs[i].first) continue;
                DWORD old = 0;
                if (!::VirtualProtect(&thunk->u1.Function, sizeof thunk->u1.Function, PAGE_READWRITE, &old)) break;
                ::InterlockedExchangePointer(reinterpret_cast<PVOID*>(&thunk->u1.Function), (PVOID)pairs[i].second);
                ::VirtualProtect(&thunk->u1.Function, sizeof thunk->u1.Function, old, &old);
                ++patched;
            }
        }
    }
    return patched;
}

void InstallGuard() {
    HMODULE hWs = ::LoadLibraryA("ws2_32.dll");
    HMODULE hInet = ::GetModuleHandleA("wininet.dll");
    if (!hWs || !hInet) return;
    g_pfnConnect = (ConnectFn)(void*)::GetProcAddress(hWs, "connect");
    g_pfnRecv = (RecvFn)(void*)::GetProcAddress(hWs, "recv");
    g_pfnSend = (SendFn)(void*)::GetProcAddress(hWs, "send");
    if (!g_pfnConnect || !g_pfnRecv || !g_pfnSend) return;
    const std::pair<void*, void*> pairs[] = {
        {(void*)g_pfnConnect, (void*)&GuardedConnect},
        {(void*)g_pfnRecv, (void*)&GuardedRecv},
        {(void*)g_pfnSend, (void*)&GuardedSend},
    };
    g_bGuardInstalled = PatchImports(hInet, hWs, pairs, 3) >= 3;
}

void SetTimeout(SOCKET s, int option, DWORD ms) {
    DWORD value = ms ? ms : 1;   // 0 would mean no time-out at all
    ::setsockopt(s, SOL_SOCKET, option, reinterpret_cast<const char*>(&value), sizeof value);
}

}  // namespace

CInternetGuard::CInternetGuard(DWORD dwConnectTimeoutMs, DWORD dwIoTimeoutMs, DWORD dwOverallMs)
    : m_dwConnectTimeoutMs(dwConnectTimeoutMs), m_dwIoTimeoutMs(dwIoTimeoutMs), m_dwStart(::GetTickCount()),
      m_dwOverallMs(dwOverallMs), m_pOuter(t_pGuard) {
    static std::once_flag once;
    std::call_once(once, InstallGuard);
    t_pGuard = this;
}

CInternetGuard::~CInternetGuard() {
    t_pGuard = m_pOuter;
}

bool CInternetGuard::Installed() {
    static std::once_flag once;
    std::call_once(once, [] { CInternetGuard probe(0, 0, 0); });
    return g_bGuardInstalled;
}

CInternetGuard* CInternetGuard::Current() {
    return HooksEnabled() ? t_pGuard : nullptr;
}

void CInternetGuard::EnableHooks(bool bEnable) {
    ::InterlockedExchange(&g_lHooksOn, bEnable ? 1 : 0);
}

bool CInternetGuard::HooksEnabled() {
    return ::InterlockedCompareExchange(&g_lHooksOn, 0, 0) != 0;
}

DWORD CInternetGuard::RemainingMs() const {
    DWORD elapsed = ::GetTickCount() - m_dwStart;
    return elapsed >= m_dwOverallMs ? 0 : m_dwOverallMs - elapsed;
}

void CInternetGuard::SetReceiveBudget(size_t nBytes) {
    m_nBudget = nBytes;
    m_bBudgetSpent = false;
}

void CInternetGuard::Refuse() {
    // Connections the library finished with are left alone: its pool hands
    // them to the next request for the same server, on whichever worker's
    // thread, and a shutdown here would fail that worker's request.
    m_bRefused = true;
}

void CInternetGuard::Resume() {
    m_bRefused = false;
    m_nBudget = (size_t)-1;
    m_bBudgetSpent = false;
    m_bIoTimedOut = false;
}

int CInternetGuard::Fail(UINT_PTR s, int nError) {
    // The connection is of no further use; shutting it down also ends the
    // server's side at once, whatever the library does with the socket later.
    ::shutdown((SOCKET)s, SD_BOTH);
    ::WSASetLastError(nError);
    return SOCKET_ERROR;
}

int CInternetGuard::Connect(UINT_PTR s, const void* name, int namelen) {
    if (m_bRefused) return Fail(s, WSAECONNABORTED);
    DWORD wait = std::min(m_dwConnectTimeoutMs, RemainingMs());
    if (wait == 0) return Fail(s, WSAETIMEDOUT);
    m_bConnectTimedOut = false;
    u_long nonBlocking = 1;
    ::ioctlsocket((SOCKET)s, FIONBIO, &nonBlocking);
    int result = g_pfnConnect((SOCKET)s, static_cast<const sockaddr*>(name), namelen);
    int error = result == 0 ? 0 : ::WSAGetLastError();
    if (error == WSAEWOULDBLOCK || error == WSAEINPROGRESS) {
        fd_set writable, failed;
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        FD_SET((SOCKET)s, &writable);
        FD_SET((SOCKET)s, &failed);
        timeval tv{(long)(wait / 1000), (long)(wait % 1000) * 1000};
        int ready = ::select(0, nullptr, &writable, &failed, &tv);
        if (ready == 0) {
            m_bConnectTimedOut = true;
            error = WSAETIMEDOUT;
        } else if (ready < 0) {
            error = ::WSAGetLastError();
        } else {
            int soError = 0;
            int size = sizeof soError;
            ::getsockopt((SOCKET)s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&soError), &size);
            error = FD_ISSET((SOCKET)s, &failed) && !soError ? WSAECONNREFUSED : soError;
        }
    }
    // The library expects a blocking socket back, whatever it set before.
    u_long blocking = 0;
    ::ioctlsocket((SOCKET)s, FIONBIO, &blocking);
    if (error == 0) return 0;
    ::WSASetLastError(error);
    return SOCKET_ERROR;
}

int CInternetGuard::Recv(UINT_PTR s, char* buf, int len, int flags) {
    if (m_bRefused) return Fail(s, WSAECONNABORTED);
    if (m_nBudget == 0) {
        m_bBudgetSpent = true;
        return Fail(s, WSAECONNABORTED);
    }
    DWORD left = RemainingMs();
    if (left == 0) return Fail(s, WSAETIMEDOUT);
    SetTimeout((SOCKET)s, SO_RCVTIMEO, std::min(left, m_dwIoTimeoutMs));
    if ((size_t)len > m_nBudget) len = (int)m_nBudget;
    int got = g_pfnRecv((SOCKET)s, buf, len, flags);
    if (got > 0 && !(flags & MSG_PEEK)) m_nBudget -= (size_t)got;
    NoteIoResult(got);
    return got;
}

int CInternetGuard::Send(UINT_PTR s, const char* buf, int len, int flags) {
    if (m_bRefused) return Fail(s, WSAECONNABORTED);
    DWORD left = RemainingMs();
    if (left == 0) return Fail(s, WSAETIMEDOUT);
    SetTimeout((SOCKET)s, SO_SNDTIMEO, std::min(left, m_dwIoTimeoutMs));
    int sent = g_pfnSend((SOCKET)s, buf, len, flags);
    NoteIoResult(sent);
    return sent;
}

void CInternetGuard::NoteIoResult(int nResult) {
    if (nResult != SOCKET_ERROR) {
        m_bIoTimedOut = false;
        return;
    }
    int error = ::WSAGetLastError();
    m_bIoTimedOut = error == WSAETIMEDOUT;
    ::WSASetLastError(error);
}

void AfxThrowInternetException(DWORD dwError) {
    throw CInternetException(dwError ? dwError : ::GetLastError());
}

BOOL CInternetHandle::Close() {
    HINTERNET h = ::InterlockedExchangePointer(&m_h, nullptr);
    return h ? ::InternetCloseHandle(h) : TRUE;
}

BOOL AfxParseURL(const char* pstrURL, DWORD& dwServiceType, std::string& strServer, std::string& strObject,
                 INTERNET_PORT& nPort) {
    dwServiceType = AFX_INET_SERVICE_UNK;
    if (!pstrURL || !*pstrURL) return FALSE;
    // Lengths of 1 with null buffers ask for pointers into the URL itself, so
    // a URL of any length is split without copying into fixed buffers.
    URL_COMPONENTSA uc{};
    uc.dwStructSize = sizeof uc;
    uc.dwSchemeLength = 1;
    uc.dwHostNameLength = 1;
    uc.dwUrlPathLength = 1;
    uc.dwExtraInfoLength = 1;
    if (!::InternetCrackUrlA(pstrURL, 0, 0, &uc)) return FALSE;

    switch (uc.nScheme) {
    case INTERNET_SCHEME_HTTP: dwServiceType = AFX_INET_SERVICE_HTTP; break;
    case INTERNET_SCHEME_HTTPS: dwServiceType = AFX_INET_SERVICE_HTTPS; break;
    default: dwServiceType = AFX_INET_SERVICE_UNK; break;
    }
    strServer.assign(uc.lpszHostName ? uc.lpszHostName : "", uc.lpszHostName ? uc.dwHostNameLength : 0);
    strObject.assign(uc.lpszUrlPath ? uc.lpszUrlPath : "", uc.lpszUrlPath ? uc.dwUrlPathLength : 0);
    if (uc.lpszExtraInfo) strObject.append(uc.lpszExtraInfo, uc.dwExtraInfoLength);
    std::size_t hash = strObject.find('#');
    if (hash != std::string::npos) strObject.erase(hash);
    if (strObject.empty() || strObject[0] != '/') strObject.insert(0, "/");
    nPort = uc.nPort;
    return !strServer.empty() && dwServiceType != AFX_INET_SERVICE_UNK;
}

CInternetSession::CInternetSession(const char* pstrAgent, DWORD_PTR dwContext, DWORD dwAccessType,
                                   const char* pstrProxyName, const char* pstrProxyBypass, DWORD dwFlags)
    : m_dwContext(dwContext) {
    std::string agent = pstrAgent ? pstrAgent : AppName();
    HINTERNET h = ::InternetOpenA(agent.c_str(), dwAccessType, pstrProxyName, pstrProxyBypass, dwFlags);
    if (!h) AfxThrowInternetException();
    m_hSession.Attach(h);
}

CInternetSession::~CInternetSession() { Close(); }

BOOL CInternetSession::Close() {
    if (HINTERNET h = m_hSession.Get()) ::InternetSetStatusCallbackA(h, nullptr);
    return m_hSession.Close();
}

BOOL CInternetSession::SetOption(DWORD dwOption, DWORD dwValue) {
    return ::InternetSetOptionA(m_hSession.Get(), dwOption, &dwValue, sizeof dwValue);
}

void CALLBACK CInternetSession::StatusCallback(HINTERNET, DWORD_PTR dwContext, DWORD dwStatus, LPVOID pInfo,
                                               DWORD dwInfoLength) {
    // Only handles opened with this session's context carry it; the session
    // object itself is not reachable from here, so there is nothing to forward.
    (void)dwContext;
    (void)dwStatus;
    (void)pInfo;
    (void)dwInfoLength;
}

BOOL CInternetSession::EnableStatusCallback(BOOL bEnable) {
    INTERNET_STATUS_CALLBACK prev =
        ::InternetSetStatusCallbackA(m_hSession.Get(), bEnable ? &StatusCallback : nullptr);
    if (prev == INTERNET_INVALID_STATUS_CALLBACK) AfxThrowInternetException();
    return TRUE;
}

CHttpConnection* CInternetSession::GetHttpConnection(const char* pstrServer, INTERNET_PORT nPort,
                                                     const char* pstrUserName, const char* pstrPassword) {
    HINTERNET h = ::InternetConnectA(m_hSession.Get(), pstrServer ? pstrServer : "", nPort, pstrUserName,
                                     pstrPassword, INTERNET_SERVICE_HTTP, 0, m_dwContext);
    if (!h) AfxThrowInternetException();
    return new CHttpConnection(h, pstrServer ? pstrServer : "", nPort);
}

CHttpFile* CHttpConnection::OpenRequest(int nVerb, const char* pstrObjectName, const char* pstrReferer,
                                        DWORD_PTR dwContext, const char** ppstrAcceptTypes,
                                        const char* pstrVersion, DWORD dwFlags) {
    HINTERNET h = ::HttpOpenRequestA(m_hConnect.Get(), VerbText(nVerb), pstrObjectName, pstrVersion,
                                     pstrReferer, ppstrAcceptTypes, dwFlags, dwContext);
    if (!h) AfxThrowInternetException();
    return new CHttpFile(h);
}

BOOL CHttpFile::AddRequestHeaders(const char* pstrHeaders, DWORD dwFlags, int nLength) {
    return ::HttpAddRequestHeadersA(m_hRequest.Get(), pstrHeaders, (DWORD)nLength, dwFlags);
}

BOOL CHttpFile::SetOption(DWORD dwOption, DWORD dwValue) {
    return ::InternetSetOptionA(m_hRequest.Get(), dwOption, &dwValue, sizeof dwValue);
}

BOOL CHttpFile::SendRequest(const char* pstrHeaders, DWORD dwHeadersLen, LPVOID lpOptional,
                            DWORD dwOptionalLen) {
    if (!::HttpSendRequestA(m_hRequest.Get(), pstrHeaders, dwHeadersLen, lpOptional, dwOptionalLen))
        AfxThrowInternetException();
    return TRUE;
}

BOOL CHttpFile::QueryInfoStatusCode(DWORD& dwStatusCode) const {
    DWORD size = sizeof dwStatusCode;
    dwStatusCode = 0;
    return ::HttpQueryInfoA(m_hRequest.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &dwStatusCode,
                            &size, nullptr);
}

BOOL CHttpFile::QueryInfo(DWORD dwInfoLevel, std::string& str, LPDWORD lpdwIndex) const {
    str.clear();
    DWORD size = 0;
    // The size query leaves the index where it is.
    DWORD index = lpdwIndex ? *lpdwIndex : 0;
    if (::HttpQueryInfoA(m_hRequest.Get(), dwInfoLevel, nullptr, &size, &index) ||
        ::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return FALSE;
    // Room for two bytes per reported unit: Wine reports a header's length in
    // characters, and then, for a buffer too small for its bytes, succeeds
    // with a length of -1.
    std::string buf(size * 2 + 1, '\0');
    size = (DWORD)buf.size();
    if (!::HttpQueryInfoA(m_hRequest.Get(), dwInfoLevel, buf.data(), &size, lpdwIndex) || size >= buf.size())
        return FALSE;
    buf.resize(size);
    str = std::move(buf);
    return TRUE;
}

UINT CHttpFile::Read(void* lpBuf, UINT nCount) {
    DWORD got = 0;
    if (!::InternetReadFile(m_hRequest.Get(), lpBuf, nCount, &got)) AfxThrowInternetException();
    return got;
}

DWORD CHttpFile::QueryDataAvailable() {
    DWORD avail = 0;
    if (!::InternetQueryDataAvailable(m_hRequest.Get(), &avail, 0, 0)) AfxThrowInternetException();
    return avail;
}
