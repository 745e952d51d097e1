#include <winsock2.h>
#include <ws2tcpip.h>

#include "tools/support/TestHttpServer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace testsupport {

namespace {

const char kPage[] =
    "<html><head><title>Skein test page</title></head>\r\n<body>hello</body></html>\r\n";
const char kErrorPage[] = "<HTML><HEAD><TITLE>域名纠错系统</TITLE></HEAD>\r\n<BODY>您访问的域名不存在</BODY></HTML>\r\n";

std::string Response(int status, const std::string& reason, const std::string& headers, const std::string& body) {
    return "HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\nContent-Type: text/html\r\nConnection: close\r\n" +
           "Content-Length: " + std::to_string(body.size()) + "\r\n" + headers + "\r\n" + body;
}

// The reason phrases a client may show; any other status says "Status".
const char* ReasonPhrase(int status) {
    switch (status) {
    case 204: return "No Content";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

// The query's one key's value, to the end of the target as written (a URL there keeps its own query).
std::string QueryValue(const std::string& target, const std::string& key) {
    size_t at = target.find("?" + key + "=");
    return at == std::string::npos ? std::string() : target.substr(at + key.size() + 2);
}

bool TimeLeft(DWORD deadline) {
    return (LONG)(deadline - ::GetTickCount()) > 0;
}

void SetNonBlocking(SOCKET s) {
    u_long on = 1;
    ::ioctlsocket(s, FIONBIO, &on);
}

// Waits up to ms for the socket to be readable (or writable).
int WaitReady(SOCKET s, bool write, long ms) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tv{0, ms * 1000};
    return ::select(0, write ? nullptr : &set, write ? &set : nullptr, nullptr, &tv);
}

// A socket bound to a free loopback port, listening with the backlog if one is given.
SOCKET BindLoopback(sockaddr_in& addr, int backlog = 0) {
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    addr = sockaddr_in{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int len = sizeof addr;
    if (s != INVALID_SOCKET && (::bind(s, (sockaddr*)&addr, sizeof addr) != 0 ||
                                (backlog && ::listen(s, backlog) != 0) || ::getsockname(s, (sockaddr*)&addr, &len) != 0)) {
        ::closesocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

struct ServeArgs {
    TestHttpServer* server;
    SOCKET s;
};

DWORD WINAPI ServeThread(LPVOID p) {
    ServeArgs a = *static_cast<ServeArgs*>(p);
    delete static_cast<ServeArgs*>(p);
    a.server->Serve(a.s);
    return 0;
}

}  // namespace

TestHttpServer::TestHttpServer(const Options& options) : m_options(options) {
    WSADATA wsa;
    m_wsa = ::WSAStartup(MAKEWORD(2, 2), &wsa) == 0;
    m_hStopEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    sockaddr_in addr;
    SOCKET s = BindLoopback(addr, SOMAXCONN);
    if (s == INVALID_SOCKET) return;
    m_listen = s;
    m_port = ntohs(addr.sin_port);
    m_acceptThread = std::thread([this] { AcceptLoop(); });
}

TestHttpServer::~TestHttpServer() {
    Stop();
    if (m_hStopEvent) ::CloseHandle(m_hStopEvent);
    if (m_wsa) ::WSACleanup();
}

std::string TestHttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

void TestHttpServer::Stop() {
    m_stop.store(true);
    if (m_hStopEvent) ::SetEvent(m_hStopEvent);
    if (m_acceptThread.joinable()) m_acceptThread.join();
    if (m_listen != INVALID_SOCKET) {
        ::closesocket(m_listen);
        m_listen = INVALID_SOCKET;
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    m_idle.wait(lock, [this] { return m_handlers == 0; });
    for (Socket s : m_stalled) ::closesocket(s);
    m_stalled.clear();
}

unsigned short TestHttpServer::StalledPort() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_stalledPort) return m_stalledPort;
    sockaddr_in addr;
    SOCKET l = BindLoopback(addr, 1);
    if (l == INVALID_SOCKET) return 0;
    m_stalled.push_back(l);
    // Connect until one connect stays pending: from then on the queue is full.
    for (int i = 0; i < 16; ++i) {
        SOCKET c = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (c == INVALID_SOCKET) return 0;
        m_stalled.push_back(c);
        SetNonBlocking(c);
        ::connect(c, (sockaddr*)&addr, sizeof addr);
        if (WaitReady(c, true, 300) == 0) {
            m_stalledPort = ntohs(addr.sin_port);
            break;
        }
    }
    return m_stalledPort;
}

std::vector<std::string> TestHttpServer::Requests() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

int TestHttpServer::CountRequests(const std::string& target) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::string line = "GET " + target + " ";
    return (int)std::count_if(m_requests.begin(), m_requests.end(),
                              [&](const std::string& r) { return r.compare(0, line.size(), line) == 0; });
}

unsigned short TestHttpServer::ClosedPort() {
    WSADATA wsa;
    ::WSAStartup(MAKEWORD(2, 2), &wsa);
    unsigned short port = 0;
    sockaddr_in addr;
    SOCKET s = BindLoopback(addr);
    if (s != INVALID_SOCKET) {
        port = ntohs(addr.sin_port);
        ::closesocket(s);
    }
    ::WSACleanup();
    return port;
}

void TestHttpServer::AcceptLoop() {
    while (!Stopping()) {
        if (WaitReady(m_listen, false, 50) <= 0) continue;
        SOCKET s = ::accept(m_listen, nullptr, nullptr);
        if (s == INVALID_SOCKET) continue;
        ++m_total;
        int open = ++m_open;
        int peak = m_peak.load();
        while (open > peak && !m_peak.compare_exchange_weak(peak, open)) {
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            ++m_handlers;
        }
        auto* args = new ServeArgs{this, s};
        HANDLE h = ::CreateThread(nullptr, 64 * 1024, &ServeThread, args, STACK_SIZE_PARAM_IS_A_RESERVATION,
                                  nullptr);
        if (h) {
            ::CloseHandle(h);
        } else {
            delete args;
            ::closesocket(s);
            --m_open;
            std::lock_guard<std::mutex> lock(m_mutex);
            --m_handlers;
        }
    }
}

void TestHttpServer::Serve(Socket s) {
    SetNonBlocking(s);
    DWORD deadline = ::GetTickCount() + m_options.connectionLimitMs;
    std::string head;
    if (ReadHead(s, head, deadline)) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_requests.size() < 100000) m_requests.push_back(head);
        }
        std::string target;
        size_t sp1 = head.find(' ');
        size_t sp2 = sp1 == std::string::npos ? sp1 : head.find(' ', sp1 + 1);
        if (sp2 != std::string::npos) target = head.substr(sp1 + 1, sp2 - sp1 - 1);
        // Asked as a proxy ("GET http://host/path"): answered as for the path.
        if (target.rfind("http://", 0) == 0) target.erase(0, std::min(target.find('/', 7), target.size()));
        Answer(s, target, head);
    }
    if (s != INVALID_SOCKET) ::closesocket(s);
    --m_open;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (--m_handlers == 0) m_idle.notify_all();
}

bool TestHttpServer::ReadHead(Socket s, std::string& head, DWORD deadline) {
    char buf[4096];
    while (!Stopping() && TimeLeft(deadline) && head.size() < 64 * 1024) {
        int got = ::recv(s, buf, sizeof buf, 0);
        if (got > 0) {
            if (head.empty() && buf[0] == 0x16) return false;   // a TLS handshake record
            head.append(buf, got);
            size_t end = head.find("\r\n\r\n");
            if (end != std::string::npos) {
                head.resize(end + 4);
                return true;
            }
            continue;
        }
        if (got == 0 || ::WSAGetLastError() != WSAEWOULDBLOCK) return false;
        WaitReady(s, false, 50);
    }
    return false;
}

bool TestHttpServer::SendAll(Socket s, const char* data, size_t len, DWORD deadline) {
    while (len > 0) {
        if (Stopping() || !TimeLeft(deadline)) return false;
        int sent = ::send(s, data, (int)std::min<size_t>(len, 64 * 1024), 0);
        if (sent > 0) {
            data += sent;
            len -= (size_t)sent;
            continue;
        }
        if (::WSAGetLastError() != WSAEWOULDBLOCK) return false;
        WaitReady(s, true, 50);
    }
    return true;
}

bool TestHttpServer::Pause(DWORD ms, DWORD deadline) {
    if (!TimeLeft(deadline)) return false;
    DWORD left = deadline - ::GetTickCount();
    return ::WaitForSingleObject(m_hStopEvent, std::min(ms, left)) == WAIT_TIMEOUT && TimeLeft(deadline);
}

// Half-closes and waits (briefly) for the client to close its side, so that a
// response is not cut off by a reset while it is still in flight.
void TestHttpServer::WaitForClientClose(Socket s, DWORD deadline) {
    ::shutdown(s, SD_SEND);
    DWORD until = std::min<DWORD>(deadline - ::GetTickCount(), 2000) + ::GetTickCount();
    char buf[1024];
    while (!Stopping() && TimeLeft(until)) {
        int got = ::recv(s, buf, sizeof buf, 0);
        if (got == 0 || (got < 0 && ::WSAGetLastError() != WSAEWOULDBLOCK)) return;
        if (got > 0) continue;
        WaitReady(s, false, 20);
    }
}

void TestHttpServer::Answer(Socket s, const std::string& target, const std::string& head) {
    const std::string path = target.substr(0, target.find('?'));
    const DWORD deadline = ::GetTickCount() + m_options.connectionLimitMs;
    const DWORD tick = m_options.trickleIntervalMs;

    if (path == "/silent") {
        // Hold the connection without a byte until the client gives up.
        while (!Stopping() && TimeLeft(deadline)) {
            char c;
            int got = ::recv(s, &c, 1, 0);
            if (got == 0 || (got < 0 && ::WSAGetLastError() != WSAEWOULDBLOCK)) return;
            Pause(50, deadline);
        }
        return;
    }
    // Answers that never end: a head, then the same piece for as long as the client reads.
    auto endless = [&](const std::string& head, const std::string& piece) {
        if (SendAll(s, head, deadline))
            while (SendAll(s, piece, deadline)) {
            }
    };
    if (path == "/endless") return endless("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n",
                                           std::string(16 * 1024, 'e'));
    if (path == "/trickle" || path == "/trickle-headers") {
        std::string body(1000, 't');
        std::string r = Response(200, "OK", "", body);
        size_t start = path == "/trickle" ? r.size() - body.size() : 0;
        if (!SendAll(s, r.data(), start, deadline)) return;
        for (size_t i = start; i < r.size(); ++i)
            if (!Pause(tick, deadline) || !SendAll(s, &r[i], 1, deadline)) return;
        WaitForClientClose(s, deadline);
        return;
    }
    if (path == "/reset") {
        std::string r = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 100000\r\n\r\n";
        r += std::string(1000, 'r');
        SendAll(s, r, deadline);
        Pause(100, deadline);
        linger lg{1, 0};   // closing now sends a reset
        ::setsockopt(s, SOL_SOCKET, SO_LINGER, (const char*)&lg, sizeof lg);
        return;
    }
    if (path == "/header-flood") {
        std::string lines;
        for (int i = 0; i < 256; ++i) lines += "X-Flood-" + std::to_string(i) + ": " + std::string(40, 'f') + "\r\n";
        return endless("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n", lines);
    }
    if (path == "/many-headers") {
        int n = atoi(QueryValue(target, "n").c_str());
        std::string headers;
        for (int i = 0; i < (n > 0 ? n : 30000); ++i) headers += "X-Many-" + std::to_string(i) + ": m\r\n";
        if (SendAll(s, Response(200, "OK", headers, kPage), deadline)) WaitForClientClose(s, deadline);
        return;
    }
    if (path == "/endless-chunked" || path == "/huge-length") {
        const bool chunked = path == "/endless-chunked";
        std::string data(16 * 1024, 'e');
        memcpy(data.data(), kPage, sizeof kPage - 1);
        return endless(std::string("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n") +
                           (chunked ? "Transfer-Encoding: chunked\r\n\r\n" : "Content-Length: 1099511627776\r\n\r\n"),
                       chunked ? "4000\r\n" + data + "\r\n" : data);
    }

    auto moved = [](const std::string& location, const std::string& more = "", int status = 302,
                    const char* reason = "Found") {
        return Response(status, reason, more + "Location: " + location + "\r\n", "<html>moved</html>\r\n");
    };
    std::string r;
    if (path == "/page") {
        r = Response(200, "OK", "", kPage);
    } else if (path == "/errpage") {
        r = Response(200, "OK", "", kErrorPage);
    } else if (path == "/errpage-lower") {
        r = Response(200, "OK", "", "<HTML><HEAD><title>域名纠错系统</title></HEAD>\r\n<BODY>您访问的域名不存在</BODY></HTML>\r\n");
    } else if (path.rfind("/status/", 0) == 0) {
        r = Response(atoi(path.c_str() + 8), ReasonPhrase(atoi(path.c_str() + 8)), "", "<html>status page</html>\r\n");
    } else if (path == "/empty") {
        r = Response(200, "OK", "", "");
    } else if (path == "/loop" || path == "/ping" || path == "/pong") {
        r = moved(path == "/loop" ? "/loop" : path == "/ping" ? "/pong" : "/ping");
    } else if (path == "/self-loop") {
        r = moved(Url("/self-loop"));
    } else if (path.rfind("/redirect/", 0) == 0) {
        r = moved(QueryValue(target, "to"), "", atoi(path.c_str() + 10), "Moved");
    } else if (path == "/set-cookie") {
        r = moved(QueryValue(target, "to"), "Set-Cookie: first=1; Path=/\r\nSet-Cookie: second=2; Path=/\r\n");
    } else if (path == "/needs-cookie") {
        r = head.find("\r\nCookie: first=1; second=2\r\n") != std::string::npos
                ? Response(200, "OK", "", kPage)
                : Response(403, "Forbidden", "", "<html>no cookie</html>\r\n");
    } else if (path == "/auth") {
        const std::string scheme = QueryValue(target, "scheme");
        r = Response(401, "Unauthorized",
                     "WWW-Authenticate: " + scheme + (scheme == "Basic" ? " realm=\"skein\"" : "") + "\r\n",
                     "<html>log on first</html>\r\n");
    } else if (path == "/chunked") {
        r = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\nTransfer-Encoding: chunked\r\n\r\n";
        std::string body = kPage;
        for (size_t at = 0; at < body.size(); at += 10) {
            std::string piece = body.substr(at, 10);
            char size[16];
            snprintf(size, sizeof size, "%x\r\n", (unsigned)piece.size());
            r += size + piece + "\r\n";
        }
        r += "0\r\n\r\n";
    } else if (path == "/garbage") {
        r = std::string("\x01\x02\x03 this is not HTTP at all\r\n\r\n", 31);
    } else if (path == "/slow") {
        if (!Pause((DWORD)atoi(QueryValue(target, "ms").c_str()), deadline)) return;
        r = Response(200, "OK", "", kPage);
    } else if (target.rfind("/%E4%B8%AD%E6%96%87/%E9%A1%B5%E9%9D%A2?q=%E8%BE%93%E5%85%A5", 0) == 0) {
        r = Response(200, "OK", "", kPage);
    } else if (path == "/to-chinese") {
        r = moved("/\xE4\xB8\xAD\xE6\x96\x87/\xE9\xA1\xB5\xE9\x9D\xA2?q=\xE8\xBE\x93\xE5\x85\xA5");
    } else if (path == "/echo") {
        r = Response(200, "OK", "", head);
    } else {
        r = Response(404, "Not Found", "", "<html>not found</html>\r\n");
    }
    if (SendAll(s, r, deadline)) WaitForClientClose(s, deadline);
}

}  // namespace testsupport
