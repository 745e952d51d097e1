#include "framework/Inet.h"

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
