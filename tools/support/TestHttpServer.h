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
#include <thread>
#include <vector>

namespace testsupport {

// Paths the server answers (anything else: 404):
//   /page, /chunked, /empty: 200 with a small page, the page chunked, no body
//   /errpage, /errpage-lower: 200, the provider's GBK domain error page, its <TITLE> in upper or lower case
//   /status/NNN: status NNN with its phrase (or "Status"); /redirect/NNN?to=L: NNN with Location L as written
//   /set-cookie?to=L: 302 to L, setting first=1 and second=2; /needs-cookie: 200 with both cookies, else 403
//   /auth?scheme=S: 401 with "WWW-Authenticate: S" (Basic with a realm); /echo: 200, the request head as body
//   /endless, /endless-chunked, /huge-length (a terabyte announced): 200 and a body for ever
//   /header-flood: header lines for ever; /many-headers?n=N: N header lines (30,000), then the page
//   /loop, /self-loop (absolute), /ping <-> /pong: 302 for ever; /silent: never a byte
//   /trickle, /trickle-headers: the body, or the whole answer, one byte per trickle interval
//   /reset: part of the body, then a reset; /garbage: no HTTP; /slow?ms=N: the page after N ms
//   /中文/页面?q=输入...: the page, only asked in escaped UTF-8 as browsers do; /to-chinese: 302 there in raw
//   UTF-8 bytes (that also pair up as GBK: Wine's library hands headers back through the code page)
// A request in absolute form, as to a proxy, is answered as for its path; a
// client that opens with a TLS greeting is let go at once.
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

    // A connection's thread body (public for its entry function only).
    void Serve(Socket s);

private:
    void AcceptLoop();
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
    std::thread m_acceptThread;
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
