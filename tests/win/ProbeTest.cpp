// The probe against a loopback server that shows every kind of answer.
#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>

#include "core/Messages.h"
#include "tools/support/TestHttpServer.h"
#include "tools/support/TestTlsServer.h"
#include "urls/CheckThread.h"
#include "urls/rules/ProbeReason.h"
#include "urls/rules/ProbeRules.h"
#include "win/TestSupport.h"

using testsupport::TestHttpServer;

namespace {

// Short bounds so that the slow cases end in seconds; each test states the
// ones it relies on.
ProbeLimits ShortLimits() {
    ProbeLimits l;
    l.connectTimeoutMs = 2000;
    l.sendTimeoutMs = l.receiveTimeoutMs = 1500;
    l.overallMs = 4000;
    return l;
}

// A probe state as a worker has it, without a thread.
struct Probe {
    explicit Probe(const ProbeLimits& limits = ShortLimits()) : worker(CheckThreadProc, nullptr) {
        worker.m_limits = limits;
        worker.m_bAutoDelete = FALSE;
    }
    int Run(const std::string& url) {
        if (!worker.OpenSession()) return -1;
        int code = worker.ProbeUrl(url);
        worker.CloseAll();
        return code;
    }
    std::string Fetch(const std::string& url) {
        if (!worker.OpenSession()) return "(no session)";
        std::string page = worker.FetchPage(url);
        worker.CloseAll();
        return page;
    }
    CCheckThread worker;
};

int ProbeOnce(const std::string& url, const ProbeLimits& limits = ShortLimits()) {
    return Probe(limits).Run(url);
}

// The process's committed memory (kernel32's copy of psapi's call, so that the
// tests need no further import library).
double CommittedMiB() {
    using Fn = BOOL(WINAPI*)(HANDLE, PPROCESS_MEMORY_COUNTERS, DWORD);
    static auto fn = (Fn)(void*)::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "K32GetProcessMemoryInfo");
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    if (fn) fn(::GetCurrentProcess(), &pmc, sizeof pmc);
    return pmc.PagefileUsage / (1024.0 * 1024.0);
}

// One real worker, started as the view starts it, watched from outside: its
// verdicts, when the first came, when its thread ended, and the process's
// committed memory while it ran.
struct WorkerRun {
    WorkerRun(const std::string& url, const ProbeLimits& limits) {
        ProbeLimits saved = CCheckThread::DefaultLimits();
        CCheckThread::DefaultLimits() = limits;
        auto* param = new CHECKPARAM{view.m_hWnd, nullptr, url, 5, reason};
        auto* worker = new CCheckThread(CheckThreadProc, param);
        CCheckThread::DefaultLimits() = saved;
        baseMiB = peakMiB = CommittedMiB();
        start = ::GetTickCount();
        // Suspended until its handle is ours: a running worker may delete itself at any time.
        if (worker->CreateThread(CREATE_SUSPENDED)) {
            ::DuplicateHandle(::GetCurrentProcess(), worker->m_hThread, ::GetCurrentProcess(), &hThread, SYNCHRONIZE,
                              FALSE, 0);
            worker->ResumeThread();
        }
    }
    ~WorkerRun() {
        if (hThread) ::CloseHandle(hThread);
    }
    // Pumps until the verdict has come and the thread has ended, or the
    // thread is still there endWaitMs after its verdict.
    bool Finish(DWORD timeoutMs, DWORD endWaitMs = INFINITE) {
        return hThread && testsupport::PumpUntil(
                              [&] {
                                  peakMiB = std::max(peakMiB, CommittedMiB());
                                  DWORD now = ::GetTickCount() - start;
                                  if (!verdictMs && !view.messages.empty()) verdictMs = now;
                                  if (!endedMs && ::WaitForSingleObject(hThread, 0) == WAIT_OBJECT_0) endedMs = now;
                                  return verdictMs && (endedMs || now - verdictMs > endWaitMs);
                              },
                              timeoutMs) && endedMs;
    }
    WPARAM Code() const { return view.messages.empty() ? (WPARAM)-1 : view.messages[0].msg == UM_URL_VALID ? 0 : view.messages[0].wParam; }

    testsupport::RecordingWindow view;
    std::shared_ptr<ReasonSlot> reason = std::make_shared<ReasonSlot>();
    HANDLE hThread = nullptr;
    DWORD start = 0, verdictMs = 0, endedMs = 0;
    double baseMiB = 0, peakMiB = 0;
};

// After a worker has ended, the server sees its connections closed.
void ExpectServerLetGo(TestHttpServer& server) {
    EXPECT_TRUE(testsupport::PumpUntil([&] { return server.OpenConnections() == 0; }, 3000))
        << server.OpenConnections() << " connections still open";
}

// The process's visible top-level windows.
BOOL CALLBACK NoteShown(HWND h, LPARAM p) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(h, &pid);
    if (pid == ::GetCurrentProcessId() && ::IsWindowVisible(h)) reinterpret_cast<std::set<HWND>*>(p)->insert(h);
    return TRUE;
}
std::set<HWND> ShownWindows() {
    std::set<HWND> shown;
    ::EnumWindows(&NoteShown, (LPARAM)&shown);
    return shown;
}

}  // namespace

// A Chinese line goes out as a browser sends it: path and query as escaped
// UTF-8, escapes already in the line as they are. A redirect in raw UTF-8
// bytes goes out the same way, and the length limit holds for what is sent.
TEST(Probe, ChineseAddressGoesOutAsABrowserSendsIt) {
    TestHttpServer server;
    ASSERT_TRUE(server.Ok());
    EXPECT_EQ(ProbeOnce(server.Url("/中文/页面?q=输入法")), kProbePage);
    EXPECT_EQ(ProbeOnce(server.Url("/to-chinese")), kProbePage);
    EXPECT_EQ(ProbeOnce(server.Url("/echo?k=%E4%B8%AD中")), kProbePage);
    EXPECT_EQ(server.CountRequests("/echo?k=%E4%B8%AD%E4%B8%AD"), 1);
    std::string longLine = server.Url("/echo?k=");
    for (int i = 0; i < 1000; ++i) longLine += "中";   // 2 bytes in the row, 9 on the wire: too long
    EXPECT_EQ(ProbeOnce(longLine), kProbeNothing);
    EXPECT_EQ(server.Requests().size(), 4u);
    for (const std::string& head : server.Requests()) {
        std::string line = head.substr(0, head.find('\n'));
        EXPECT_TRUE(std::all_of(line.begin(), line.end(), [](char c) { return (unsigned char)c < 0x80; })) << line;
    }
}

// Every way a probe ends gives its code and names its reason: the final
// status and its phrase, or the failure, with the time it took. Addresses
// without a scheme go over http; redirects are followed, to other servers and
// from http to https, and the final answer decides.
TEST(Probe, EachOutcomeGivesItsCodeAndReason) {
    TestHttpServer server, other;
    ASSERT_TRUE(server.Ok() && other.Ok());
    const std::string closed = "127.0.0.1:" + std::to_string(TestHttpServer::ClosedPort());
    const std::string hostPort = "127.0.0.1:" + std::to_string(server.Port());
    const std::string errpage = "HTTP 200 OK · 运营商的域名纠错页";
    struct Case {
        std::string url;
        int code;
        std::string reason;   // the text up to the time
    };
    const Case cases[] = {
        {server.Url("/page"), kProbePage, "HTTP 200 OK"},
        {server.Url("/chunked"), kProbePage, "HTTP 200 OK"},
        {server.Url("/errpage"), kProbeErrorPage, "HTTP 200 OK · 运营商的域名纠错页"},
        {server.Url("/errpage-lower"), kProbePage, "HTTP 200 OK"},
        {server.Url("/status/404"), kProbeNothing, "HTTP 404 Not Found"},
        {server.Url("/status/403"), kProbeNothing, "HTTP 403 Forbidden"},
        {server.Url("/status/500"), kProbeNothing, "HTTP 500 Internal Server Error"},
        {server.Url("/status/204"), kProbeNothing, "HTTP 204 No Content"},
        {server.Url("/empty"), kProbeNothing, "HTTP 200 OK · 空白页面"},
        {server.Url("/garbage"), kProbeNothing, "应答不是 HTTP"},
        {server.Url("/reset"), kProbeNothing, "HTTP 200 OK · 连接被中断"},
        {server.Url("/silent"), kProbeNothing, "服务器未按时应答"},
        {server.Url("/loop"), kProbeNothing, "HTTP 302 Found · 重定向次数过多"},
        {server.Url("/redirect/302"), kProbeNothing, "HTTP 302 Moved · 重定向没有目标地址"},
        {"http://" + closed + "/", kProbeNothing, "连接被拒绝"},
        {"https://" + closed + "/", kProbeNothing, "连接被拒绝"},
        // A server that speaks no TLS drops the handshake.
        {"https://127.0.0.1:" + std::to_string(server.Port()) + "/page", kProbeNothing, "安全连接失败"},
        {"no-such-host.invalid", kProbeNothing, "无法解析域名"},
        {"", kProbeNothing, "网址无法识别"},
        {"not an address at all", kProbeNothing, "无法解析域名"},
        {hostPort + "/errpage", kProbeErrorPage, errpage},
        {"HTTP://" + hostPort + "/errpage", kProbeErrorPage, errpage},
        {hostPort + "/echo?u=http://example.net", kProbePage, "HTTP 200 OK"},   // "http:" further in
        {server.Url("/echo#top"), kProbePage, "HTTP 200 OK"},   // the fragment stays with the client
        {server.Url("/redirect/301?to=/page"), kProbePage, "HTTP 200 OK"},
        {server.Url("/redirect/302?to=../errpage"), kProbeErrorPage, errpage},
        {server.Url("/redirect/301?to=" + server.Url("/errpage")), kProbeErrorPage, errpage},
        {server.Url("/redirect/302?to=" + other.Url("/page")), kProbePage, "HTTP 200 OK"},
        {server.Url("/redirect/301?to=https://" + hostPort + "/page"), kProbeNothing, "安全连接失败"},
        {server.Url("/redirect/302?to=https://" + closed + "/"), kProbeNothing, "连接被拒绝"},
    };
    ProbeLimits l = ShortLimits();
    l.receiveTimeoutMs = 1000;
    for (const Case& c : cases) {
        Probe p(l);
        EXPECT_EQ(p.Run(c.url), c.code) << c.url;
        std::string reason = FormatReason(p.worker.Reason());
        std::string head = reason.substr(0, reason.find('\n'));
        EXPECT_EQ(head.substr(0, head.rfind(" · ")), c.reason) << c.url;
        EXPECT_EQ(head.substr(head.size() - 3), " 秒") << c.url;
    }
    // Where redirects led.
    Probe p(l);
    p.Run(server.Url("/redirect/302?to=/status/404"));
    EXPECT_EQ(FormatReason(p.worker.Reason()).rfind("HTTP 404 Not Found · ", 0), 0u);
    EXPECT_EQ(std::tuple(p.worker.Reason().redirects, p.worker.Reason().finalUrl), std::tuple(1, server.Url("/status/404")));
    p.Run(server.Url("/loop"));
    EXPECT_EQ(p.worker.Reason().redirects, 10);
    p.Run(server.Url("/redirect/301?to=ftp://127.0.0.1/page"));
    EXPECT_EQ(std::tuple(p.worker.Reason().failure, p.worker.Reason().finalUrl),
              std::tuple(ProbeFailure::UnsupportedRedirect, std::string("ftp://127.0.0.1/page")));
    for (const char* target : {"/echo?u=http://example.net", "/echo"}) EXPECT_EQ(server.CountRequests(target), 1) << target;
    EXPECT_EQ(server.CountRequests("/page"), 2) << "the direct one and one redirect's, none over plain http for https";
    EXPECT_EQ(other.CountRequests("/page"), 1);
    ExpectServerLetGo(server);
}

// However many workers a run has, the library lets each have its own connection
// to one server (or through one proxy) at once instead of queueing them.
TEST(Probe, ConnectionLimitsAllowEveryWorkerItsOwn) {
    TestHttpServer server;
    ASSERT_TRUE(server.Ok());
    ASSERT_EQ(ProbeOnce(server.Url("/page")), kProbePage);
    // Wine keeps no limit per proxy: it neither sets nor answers that one.
    for (DWORD option : {INTERNET_OPTION_MAX_CONNS_PER_SERVER, INTERNET_OPTION_MAX_CONNS_PER_1_0_SERVER}) {
        DWORD value = 0, size = sizeof value;
        EXPECT_TRUE(::InternetQueryOptionA(nullptr, option, &value, &size)) << option << ": " << ::GetLastError();
        EXPECT_GE(value, 10u) << option;
    }
}

// A check carries nothing of the user's store and leaves nothing in it; what
// the site sets on the way goes with that check's next hops only.
TEST(Probe, CookiesStayWithinTheirCheck) {
    TestHttpServer server;
    ASSERT_TRUE(server.Ok());
    const std::string site = server.Url("/");
    ASSERT_TRUE(::InternetSetCookieA(site.c_str(), nullptr, "user=1"));
    EXPECT_EQ(ProbeOnce(server.Url("/set-cookie?to=/needs-cookie")), kProbePage);
    EXPECT_EQ(ProbeOnce(server.Url("/echo")), kProbePage);
    char stored[1024] = {};
    DWORD size = sizeof stored;
    ::InternetGetCookieA(site.c_str(), nullptr, stored, &size);
    ::InternetSetCookieA(site.c_str(), nullptr, "user=; expires=Sat, 01-Jan-2000 00:00:00 GMT");
    EXPECT_STREQ(stored, "user=1");
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].find("Cookie:"), std::string::npos) << requests[0];
    EXPECT_NE(requests[1].find("\r\nCookie: first=1; second=2\r\n"), std::string::npos) << requests[1];
    EXPECT_EQ(requests[1].find("user="), std::string::npos) << requests[1];
    // The later check asks with the fixed headers only.
    const std::string& plain = requests[2];
    EXPECT_EQ(plain.rfind("GET /echo HTTP/1.1\r\n", 0), 0u) << plain;
    for (const char* line : {"\r\nAccept: */*\r\n", "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n"})
        EXPECT_NE(plain.find(line), std::string::npos) << plain;
    for (const char* text : {"Tansy", "Cookie:"}) EXPECT_EQ(plain.find(text), std::string::npos) << plain;
}

// Whatever a site asks to be logged on with, the probe neither answers with
// the user's credentials nor asks the user: the 401 is the verdict.
TEST(Probe, LogOnRequestsAreTheVerdict) {
    TestHttpServer server;
    ASSERT_TRUE(server.Ok());
    const std::set<HWND> before = ShownWindows();
    for (const char* scheme : {"Negotiate", "NTLM", "Basic"}) {
        WorkerRun run(server.Url(std::string("/auth?scheme=") + scheme), ShortLimits());
        ASSERT_TRUE(run.Finish(10000)) << scheme;
        EXPECT_EQ(run.Code(), (WPARAM)kProbeNothing) << scheme;
        EXPECT_EQ(FormatReason(run.reason->reason).rfind("HTTP 401 Unauthorized · ", 0), 0u) << scheme;
        EXPECT_EQ(ShownWindows(), before) << scheme;
    }
    const auto requests = server.Requests();
    EXPECT_EQ(requests.size(), 3u);
    for (const std::string& head : requests) EXPECT_EQ(head.find("Authorization:"), std::string::npos) << head;
}

// Certificates are not judged: the test server's is self-signed for another name.
TEST(Probe, HttpsIsFetchedWithTlsAndRedirectsCrossSchemes) {
    testsupport::TestTlsServer tls;
    if (!tls.Ok()) GTEST_SKIP() << "no TLS test server here: " << tls.Error();
    TestHttpServer server;
    ASSERT_TRUE(server.Ok());
    EXPECT_EQ(ProbeOnce(tls.Url("/page")), kProbePage);
    EXPECT_EQ(ProbeOnce(tls.Url("/errpage")), kProbeErrorPage);
    EXPECT_EQ(ProbeOnce(server.Url("/redirect/301?to=" + tls.Url("/errpage"))), kProbeErrorPage);
    EXPECT_EQ(ProbeOnce(tls.Url("/redirect?to=" + server.Url("/errpage"))), kProbeErrorPage);
    EXPECT_EQ(server.CountRequests("/errpage"), 1);
    // The row's text may name the scheme in capitals.
    EXPECT_EQ(ProbeOnce(tls.Url("/page").replace(0, 5, "HTTPS")), kProbePage);
}

// A body that never ends is read up to the body limit and no further.
TEST(Probe, EndlessBodiesStopAtTheLimit) {
    TestHttpServer server;
    ASSERT_TRUE(server.Ok());
    std::string page = Probe().Fetch(server.Url("/endless"));
    EXPECT_LE(page.size(), kMaxBodyBytes);
    EXPECT_GE(page.size(), kMaxBodyBytes - 4096);
    ProbeLimits small = ShortLimits();
    small.maxBodyBytes = 100;
    EXPECT_EQ(Probe(small).Fetch(server.Url("/endless")).size(), 100u);
    // The server sees every connection closed once the probe stopped reading.
    ExpectServerLetGo(server);
}

// Hostile servers. Redirect loops end at the hop limit; a head of lines for
// ever, of 30,000 lines, one byte at a time or none at all ends at its size or
// time limit; a body that never ends counts once the cap is read, and closing
// the request does not read on.
namespace {

struct HostileRow {
    const char* path;
    bool clock;   // whether the probe's clock may end it
    WPARAM code;
    int requests;
    DWORD verdictMs, endedAfterMs;
};
const bool kClock = true, kNoClock = false;
const HostileRow kHostileRows[] = {
    {"/loop", kNoClock, kProbeNothing, 11, 5000, 5000},   // the first request and ten hops
    {"/self-loop", kNoClock, kProbeNothing, 11, 5000, 5000},
    {"/ping", kNoClock, kProbeNothing, 11, 5000, 5000},
    {"/header-flood", kClock, kProbeNothing, 1, 5000, 5000},
    {"/many-headers", kClock, kProbeNothing, 1, 5000, 5000},
    {"/trickle-headers", kClock, kProbeNothing, 1, 5000, 5000},
    {"/silent", kClock, kProbeNothing, 1, 5000, 5000},
    {"/trickle", kClock, kProbeNothing, 1, 5000, 5000},   // a body, every wait far below the time-out
    {"/endless-chunked", kNoClock, kProbePage, 1, 3000, 1000},
    {"/huge-length", kNoClock, kProbePage, 1, 3000, 1000},
    {"/endless", kNoClock, kProbePage, 1, 3000, 1000},
};

}  // namespace

// With the library's sockets bounded: whatever the server does, each row's
// worker (one after the other) gives one verdict in time, its thread ends with
// it, what it took is freed, and the server sees its connection closed.
TEST(ProbeHostile, EachWorkerGivesOneVerdictInTimeAndLetsGo) {
    ASSERT_TRUE(CInternetGuard::Installed()) << "the library's socket calls cannot be bounded here";
    ASSERT_GT(CommittedMiB(), 0.0);
    TestHttpServer::Options o;
    o.trickleIntervalMs = 200;
    TestHttpServer server(o);
    ASSERT_TRUE(server.Ok());
    for (const HostileRow& c : kHostileRows) {
        SCOPED_TRACE(c.path);
        ProbeLimits l = ShortLimits();
        l.receiveTimeoutMs = 20000;   // never a receive time-out
        l.overallMs = c.clock ? 2000 : 20000;
        const int before = (int)server.Requests().size(), open = server.OpenConnections();
        WorkerRun run(server.Url(c.path), l);
        run.Finish(l.overallMs + 30000, c.endedAfterMs);
        bool letGo = testsupport::PumpUntil([&] { return server.OpenConnections() <= open; }, run.endedMs ? 3000 : 0);
        printf("%-18s code %d, verdict %lu ms, ended %lu ms, peak +%.1f MiB, kept +%.1f MiB\n", c.path,
               (int)run.Code(), run.verdictMs, run.endedMs, run.peakMiB - run.baseMiB, CommittedMiB() - run.baseMiB);
        EXPECT_EQ(run.Code(), c.code);
        EXPECT_EQ(run.view.messages.size(), 1u);
        EXPECT_EQ((int)server.Requests().size() - before, c.requests);
        EXPECT_LT(run.verdictMs, c.verdictMs);
        EXPECT_NE(run.endedMs, 0u);
        EXPECT_LE(run.endedMs, run.verdictMs + c.endedAfterMs);
        EXPECT_LT(run.peakMiB - run.baseMiB, 64.0);
        EXPECT_LT(CommittedMiB() - run.baseMiB, 16.0);
        EXPECT_TRUE(letGo);
    }
}

// A worker its watchdog answered for, and which then finishes after all,
// posts nothing more: the row has one verdict.
TEST(ProbeHostile, WorkerFinishingAfterItsWatchdogPostsNoSecondVerdict) {
    TestHttpServer server;
    ASSERT_TRUE(server.Ok());
    CInternetGuard::EnableHooks(false);   // only the watchdog ends the wait for an answer
    ProbeLimits l = ShortLimits();
    l.receiveTimeoutMs = 60000;
    l.overallMs = 300;
    WorkerRun run(server.Url("/silent"), l);
    EXPECT_TRUE(testsupport::PumpUntil([&] { return !run.view.messages.empty(); }, 10000));
    server.Stop();   // lets the held request end, so the worker finishes
    EXPECT_TRUE(run.Finish(60000));
    testsupport::PumpFor(0);   // what it posted just before it ended
    EXPECT_EQ(run.view.messages.size(), 1u);
    CInternetGuard::EnableHooks(true);
}

TEST(ProbeHostile, ConnectThatNeverCompletesEndsAfterOneRetry) {
    TestHttpServer server;
    ASSERT_TRUE(server.Ok());
    unsigned short port = server.StalledPort();
    ASSERT_NE(port, 0);
    ProbeLimits l = ShortLimits();
    l.connectTimeoutMs = 1000;
    l.connectBackoffMs = 300;
    l.overallMs = 20000;
    WorkerRun run("http://127.0.0.1:" + std::to_string(port) + "/", l);
    ASSERT_TRUE(run.Finish(30000));
    EXPECT_EQ(run.Code(), (WPARAM)kProbeNothing);
    EXPECT_GE(run.verdictMs, 2000u) << "two connects and the back-off between them";
    EXPECT_LT(run.verdictMs, 5000u);
    EXPECT_LE(run.endedMs, run.verdictMs + 1000);
}

// An address longer than servers take is never handed to the library; one
// just within the limit is fetched whole.
TEST(ProbeHostile, OverlongAddressIsNeverRequested) {
    TestHttpServer server;
    ASSERT_TRUE(server.Ok());
    std::string base = server.Url("/echo?");
    std::string atLimit = base + std::string(8192 - base.size(), 'a');
    WorkerRun fits(atLimit, ShortLimits());
    ASSERT_TRUE(fits.Finish(10000));
    EXPECT_EQ(fits.Code(), (WPARAM)kProbePage);
    EXPECT_EQ(server.CountRequests(atLimit.substr(base.size() - 6)), 1) << "not fetched whole";
    for (size_t size : {(size_t)8193, (size_t)20 * 1024 * 1024}) {
        WorkerRun tooLong(base + std::string(size - base.size(), 'a'), ShortLimits());
        ASSERT_TRUE(tooLong.Finish(10000)) << size;
        EXPECT_EQ(tooLong.Code(), (WPARAM)kProbeNothing) << size;
    }
    EXPECT_EQ(server.TotalConnections(), 1);
}
