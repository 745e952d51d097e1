// A loopback HTTP server for tests and benchmarks, run inside the calling
// process. It answers by path (see Behaviours), one thread per connection,
// and counts how many connections are open at once. Every connection and
// the server itself are bounded in time; the destructor stops everything.
#pragma once
#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

namespace testsupport {

// Paths the server answers (anything else: 404):
//   /page               200, a small HTML page
//   /errpage            200, the provider's domain error page, GBK, <TITLE> upper case
//   /errpage-lower      the same page with <title> in lower case
//   /status/NNN         status NNN with its reason phrase (or "Status") and a short body
//   /empty              200 with an empty body
//   /redirect/NNN?to=L  status NNN (301, 302...) with Location: L (L taken as written)
//   /set-cookie?to=L    302 to L, setting the cookies first=1 and second=2 (two Set-Cookie lines)
//   /needs-cookie       200 with the page when the request carries "Cookie: first=1; second=2", else 403
//   /auth?scheme=S      401 with "WWW-Authenticate: S" (S taken as written; Basic with a realm)
//   /chunked            200, the page in chunked encoding
//   /endless            200, a body without length that never ends
//   /endless-chunked    200, a chunked body that never ends
//   /huge-length        200, Content-Length of a terabyte, the body sent for ever
//   /header-flood       a status line, then header lines for ever
//   /many-headers?n=N   200 with N header lines (30,000 by default), then the page
//   /loop               302 to /loop
//   /self-loop          302 to its own absolute URL
//   /ping, /pong        302 to each other
//   /silent             accepted and never answered
//   /trickle            200, a body sent one byte per trickle interval
//   /trickle-headers    the response head sent one byte per trickle interval
//   /reset              200, part of the body, then a connection reset
//   /garbage            bytes that are not HTTP, then close
//   /slow?ms=N          the page after N milliseconds
//   /echo               200, the request head as the body
//   /中文/页面?q=输入...    200, the page; only in UTF-8 with every byte escaped, as browsers send it
//   /to-chinese         302 to /中文/页面?q=输入 in raw UTF-8 bytes, as some servers send it (bytes
//                       that also pair up as GBK: Wine's library hands headers back through the code page)
// A request in absolute form, as to a proxy ("GET http://host/path"), is
// answered as for its path.
// A client that opens with a TLS greeting is let go at once.
class TestHttpServer {
public:
    using Socket = UINT_PTR;   // winsock's SOCKET, without winsock's header here
    static constexpr Socket kNoSocket = ~(Socket)0;

    struct Options {
        DWORD trickleIntervalMs = 1000;
        DWORD connectionLimitMs = 120000;   // no connection lives longer
    };

    TestHttpServer() : TestHttpServer(Options{}) {}
    explicit TestHttpServer(const Options& options);
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;
    ~TestHttpServer();

    bool Ok() const { return m_listen != kNoSocket; }
    unsigned short Port() const { return m_port; }
    // "http://127.0.0.1:PORT" + path.
    std::string Url(const std::string& path) const;
    // Stops accepting, ends every connection and waits for their threads.
    void Stop();

    int OpenConnections() const { return m_open.load(); }
    int PeakConnections() const { return m_peak.load(); }
    int TotalConnections() const { return m_total.load(); }
    // Request heads received so far (request line and headers), oldest first.
    std::vector<std::string> Requests() const;
    // How many requests asked for exactly this target (path and query).
    int CountRequests(const std::string& target) const;

    // A loopback port whose listening socket never accepts and whose queue is
    // full: the system drops further SYNs, so a connect there never completes.
    // Lives as long as the server.
    unsigned short StalledPort();

    // A loopback port that nothing listens on (bound once, then released).
    static unsigned short ClosedPort();

    // Thread bodies (public for the thread entry functions only).
    void AcceptLoop();
    void Serve(Socket s);

private:
    void Answer(Socket s, const std::string& target, const std::string& head);
    bool ReadHead(Socket s, std::string& head, DWORD deadline);
    bool SendAll(Socket s, const char* data, size_t len, DWORD deadline);
    bool SendAll(Socket s, const std::string& data, DWORD deadline) {
        return SendAll(s, data.data(), data.size(), deadline);
    }
    bool Pause(DWORD ms, DWORD deadline);
    void WaitForClientClose(Socket s, DWORD deadline);
    bool Stopping() const { return m_stop.load(); }

    Options m_options;
    Socket m_listen = kNoSocket;
    unsigned short m_port = 0;
    HANDLE m_hStopEvent = nullptr;
    HANDLE m_hAcceptThread = nullptr;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_open{0}, m_peak{0}, m_total{0};

    mutable std::mutex m_mutex;
    std::condition_variable m_idle;
    int m_handlers = 0;                  // connection threads still running
    std::vector<std::string> m_requests;
    bool m_wsa = false;
    std::vector<Socket> m_stalled;       // the stalled port's listener and the connects filling its queue
    unsigned short m_stalledPort = 0;
};

}  // namespace testsupport
