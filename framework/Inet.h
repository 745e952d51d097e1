// Internet session, connection and request objects over wininet. Every
// HINTERNET is owned by exactly one object and closed by it; failures of the
// library are thrown as CInternetException and never leave the probe.
#pragma once
#include <windows.h>
#include <wininet.h>

#include <string>

class CInternetException {
public:
    explicit CInternetException(DWORD dwError) : m_dwError(dwError) {}
    DWORD m_dwError;
};

// Throws a CInternetException carrying GetLastError() (or dwError when given).
[[noreturn]] void AfxThrowInternetException(DWORD dwError = 0);

// One HINTERNET, closed exactly once: by Close or by the destructor, whichever
// comes first; a second Close finds nothing to close.
class CInternetHandle {
public:
    CInternetHandle() = default;
    explicit CInternetHandle(HINTERNET h) : m_h(h) {}
    CInternetHandle(const CInternetHandle&) = delete;
    CInternetHandle& operator=(const CInternetHandle&) = delete;
    ~CInternetHandle() { Close(); }

    HINTERNET Get() const { return ::InterlockedCompareExchangePointer(const_cast<PVOID volatile*>(&m_h), nullptr, nullptr); }
    explicit operator bool() const { return Get() != nullptr; }
    // Gives the handle up unclosed: whoever takes it closes it.
    HINTERNET Detach() { return ::InterlockedExchangePointer(&m_h, nullptr); }
    // TRUE when there was nothing to close or it closed without error.
    BOOL Close();
    // Takes ownership of h, closing what was held before.
    void Attach(HINTERNET h) {
        Close();
        ::InterlockedExchangePointer(&m_h, h);
    }

private:
    PVOID volatile m_h = nullptr;
};

// Service types reported by AfxParseURL.
enum : DWORD {
    AFX_INET_SERVICE_UNK = 0x1000,
    AFX_INET_SERVICE_HTTP = 3,
    AFX_INET_SERVICE_HTTPS = 0x1003,
};

// Splits an absolute URL with InternetCrackUrlA. On success: the service
// type, the host name, the object to request (path and query; "/" when the URL
// has no path; the fragment is dropped, it is never sent to a server) and the
// port (the scheme's default when none is written). On failure the outputs are
// left as far as they were filled and FALSE is returned.
BOOL AfxParseURL(const char* pstrURL, DWORD& dwServiceType, std::string& strServer,
                 std::string& strObject, INTERNET_PORT& nPort);

class CHttpConnection;
class CHttpFile;

class CInternetSession {
public:
    // Opens the session; throws CInternetException when it cannot be opened.
    // No agent name means the application's name.
    explicit CInternetSession(const char* pstrAgent = nullptr, DWORD_PTR dwContext = 1,
                              DWORD dwAccessType = INTERNET_OPEN_TYPE_PRECONFIG,
                              const char* pstrProxyName = nullptr, const char* pstrProxyBypass = nullptr,
                              DWORD dwFlags = 0);
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;
    virtual ~CInternetSession();

    BOOL SetOption(DWORD dwOption, DWORD dwValue);
    // Installs (or removes) the session's status callback; throws when the
    // library refuses it.
    BOOL EnableStatusCallback(BOOL bEnable = TRUE);
    // Throws on failure; the caller owns the connection.
    CHttpConnection* GetHttpConnection(const char* pstrServer, INTERNET_PORT nPort = INTERNET_INVALID_PORT_NUMBER,
                                       const char* pstrUserName = nullptr, const char* pstrPassword = nullptr);
    // FALSE when the library reported an error while closing.
    virtual BOOL Close();

    HINTERNET GetHandle() const { return m_hSession.Get(); }
    HINTERNET Detach() { return m_hSession.Detach(); }
    DWORD_PTR GetContext() const { return m_dwContext; }

private:
    static void CALLBACK StatusCallback(HINTERNET, DWORD_PTR dwContext, DWORD dwStatus,
                                        LPVOID pInfo, DWORD dwInfoLength);
    CInternetHandle m_hSession;
    DWORD_PTR m_dwContext;
};

enum : int { HTTP_VERB_POST = 0, HTTP_VERB_GET = 1, HTTP_VERB_HEAD = 2 };

class CHttpConnection {
public:
    CHttpConnection(HINTERNET hConnect, std::string strServer, INTERNET_PORT nPort)
        : m_hConnect(hConnect), m_strServer(std::move(strServer)), m_nPort(nPort) {}
    CHttpConnection(const CHttpConnection&) = delete;
    CHttpConnection& operator=(const CHttpConnection&) = delete;
    virtual ~CHttpConnection() { Close(); }

    // Throws on failure; the caller owns the request.
    CHttpFile* OpenRequest(int nVerb, const char* pstrObjectName, const char* pstrReferer = nullptr,
                           DWORD_PTR dwContext = 1, const char** ppstrAcceptTypes = nullptr,
                           const char* pstrVersion = nullptr, DWORD dwFlags = INTERNET_FLAG_EXISTING_CONNECT);
    virtual BOOL Close() { return m_hConnect.Close(); }
    HINTERNET GetHandle() const { return m_hConnect.Get(); }
    HINTERNET Detach() { return m_hConnect.Detach(); }

private:
    CInternetHandle m_hConnect;
    std::string m_strServer;
    INTERNET_PORT m_nPort;
};

class CHttpFile {
public:
    explicit CHttpFile(HINTERNET hRequest) : m_hRequest(hRequest) {}
    CHttpFile(const CHttpFile&) = delete;
    CHttpFile& operator=(const CHttpFile&) = delete;
    virtual ~CHttpFile() { Close(); }

    // nLength -1: the text ends at its zero byte.
    BOOL AddRequestHeaders(const char* pstrHeaders, DWORD dwFlags = HTTP_ADDREQ_FLAG_ADD_IF_NEW, int nLength = -1);
    BOOL SetOption(DWORD dwOption, DWORD dwValue);
    // Throw on failure.
    BOOL SendRequest(const char* pstrHeaders = nullptr, DWORD dwHeadersLen = 0, LPVOID lpOptional = nullptr,
                     DWORD dwOptionalLen = 0);
    BOOL QueryInfoStatusCode(DWORD& dwStatusCode) const;
    // A header query (HTTP_QUERY_...) as text; FALSE when the library has none.
    // With an index, the header of that index among those of the same name;
    // the index is then moved on to the next one.
    BOOL QueryInfo(DWORD dwInfoLevel, std::string& str, LPDWORD lpdwIndex = nullptr) const;
    // Bytes read; 0 at the end of the body. Waits until nCount bytes have come
    // or the body ends.
    UINT Read(void* lpBuf, UINT nCount);
    // Waits for the next bytes of the body and tells how many can be read
    // without waiting; 0 at the end. Throws on failure.
    DWORD QueryDataAvailable();

    virtual BOOL Close() { return m_hRequest.Close(); }
    HINTERNET GetHandle() const { return m_hRequest.Get(); }
    HINTERNET Detach() { return m_hRequest.Detach(); }

private:
    CInternetHandle m_hRequest;
};
