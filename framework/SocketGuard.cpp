#include <winsock2.h>

#include "framework/SocketGuard.h"

#include <mutex>
#include <utility>

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

// Points the thunk at the guarded call when it holds one of the pairs' originals.
bool PatchThunk(IMAGE_THUNK_DATA* thunk, const std::pair<void*, void*>* pairs, int count) {
    for (int i = 0; i < count; ++i) {
        if (thunk->u1.Function != (ULONG_PTR)pairs[i].first) continue;
        DWORD old = 0;
        if (!::VirtualProtect(&thunk->u1.Function, sizeof thunk->u1.Function, PAGE_READWRITE, &old)) return false;
        ::InterlockedExchangePointer(reinterpret_cast<PVOID*>(&thunk->u1.Function), (PVOID)pairs[i].second);
        ::VirtualProtect(&thunk->u1.Function, sizeof thunk->u1.Function, old, &old);
        return true;
    }
    return false;
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
        for (auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk); thunk->u1.Function; ++thunk)
            if (PatchThunk(thunk, pairs, count)) ++patched;
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
    ::setsockopt(s, SOL_SOCKET, option, reinterpret_cast<const char*>(&ms), sizeof ms);
}

// The error a non-blocking connect ends with once it has waited up to waitMs
// for the socket to become writable or failed; timedOut tells a wait that ran out.
int WaitForConnect(SOCKET s, DWORD waitMs, bool& timedOut) {
    fd_set writable, failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(s, &writable);
    FD_SET(s, &failed);
    timeval tv{(long)(waitMs / 1000), (long)(waitMs % 1000) * 1000};
    int ready = ::select(0, nullptr, &writable, &failed, &tv);
    timedOut = ready == 0;
    if (ready == 0) return WSAETIMEDOUT;
    if (ready < 0) return ::WSAGetLastError();
    int soError = 0;
    int size = sizeof soError;
    ::getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&soError), &size);
    return FD_ISSET(s, &failed) && !soError ? WSAECONNREFUSED : soError;
}

}  // namespace

CInternetGuard::CInternetGuard(DWORD dwConnectTimeoutMs, DWORD dwIoTimeoutMs, DWORD dwOverallMs)
    : m_rule(dwConnectTimeoutMs, dwIoTimeoutMs, ::GetTickCount(), dwOverallMs), m_pOuter(t_pGuard) {
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
    return ActingGuard(HooksEnabled(), t_pGuard);
}

void CInternetGuard::EnableHooks(bool bEnable) {
    ::InterlockedExchange(&g_lHooksOn, bEnable ? 1 : 0);
}

bool CInternetGuard::HooksEnabled() {
    return ::InterlockedCompareExchange(&g_lHooksOn, 0, 0) != 0;
}

int CInternetGuard::Fail(UINT_PTR s, GuardFailure failure) {
    // The connection is of no further use; shutting it down also ends the
    // server's side at once, whatever the library does with the socket later.
    ::shutdown((SOCKET)s, SD_BOTH);
    ::WSASetLastError(failure == GuardFailure::TimedOut ? WSAETIMEDOUT : WSAECONNABORTED);
    return SOCKET_ERROR;
}

int CInternetGuard::Connect(UINT_PTR s, const void* name, int namelen) {
    const GuardStep step = m_rule.BeforeConnect(::GetTickCount());
    if (step.failure != GuardFailure::None) return Fail(s, step.failure);
    u_long nonBlocking = 1;
    ::ioctlsocket((SOCKET)s, FIONBIO, &nonBlocking);
    int result = g_pfnConnect((SOCKET)s, static_cast<const sockaddr*>(name), namelen);
    int error = result == 0 ? 0 : ::WSAGetLastError();
    if (error == WSAEWOULDBLOCK || error == WSAEINPROGRESS) {
        bool timedOut = false;
        error = WaitForConnect((SOCKET)s, step.waitMs, timedOut);
        m_rule.ConnectWaitEnded(timedOut);
    }
    // The library expects a blocking socket back, whatever it set before.
    u_long blocking = 0;
    ::ioctlsocket((SOCKET)s, FIONBIO, &blocking);
    if (error == 0) return 0;
    ::WSASetLastError(error);
    return SOCKET_ERROR;
}

int CInternetGuard::Recv(UINT_PTR s, char* buf, int len, int flags) {
    const GuardStep step = m_rule.BeforeReceive(::GetTickCount(), (size_t)len);
    if (step.failure != GuardFailure::None) return Fail(s, step.failure);
    SetTimeout((SOCKET)s, SO_RCVTIMEO, step.waitMs);
    int got = g_pfnRecv((SOCKET)s, buf, (int)step.length, flags);
    m_rule.Received(got, (flags & MSG_PEEK) != 0);
    NoteIoResult(got);
    return got;
}

int CInternetGuard::Send(UINT_PTR s, const char* buf, int len, int flags) {
    const GuardStep step = m_rule.BeforeSend(::GetTickCount());
    if (step.failure != GuardFailure::None) return Fail(s, step.failure);
    SetTimeout((SOCKET)s, SO_SNDTIMEO, step.waitMs);
    int sent = g_pfnSend((SOCKET)s, buf, len, flags);
    NoteIoResult(sent);
    return sent;
}

void CInternetGuard::NoteIoResult(int nResult) {
    if (nResult != SOCKET_ERROR) {
        m_rule.IoEnded(false);
        return;
    }
    int error = ::WSAGetLastError();
    m_rule.IoEnded(error == WSAETIMEDOUT);
    ::WSASetLastError(error);
}
