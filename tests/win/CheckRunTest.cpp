// The check run driven by posted UM_DISPATCH, with real workers probing a
// loopback server: verdicts, running counts, the bound on workers, restart,
// and rows or views that vanish while their workers run.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "core/MessageBox.h"
#include "tools/support/TestHttpServer.h"
#include "urls/CheckThread.h"
#include "urls/ExportFile.h"
#include "win/ViewTestHelpers.h"

using testsupport::PumpFor;
using testsupport::PumpUntil;
using testsupport::TestHttpServer;

namespace {

using V = std::vector<std::string>;
const std::string kRunning = "执行中";
const std::string kOk = "OK";
const std::string kInvalid = "无效!";
const std::string kTimeout = "超时!";

// The records of a CSV file (RFC 4180, CR LF after every record).
std::vector<std::vector<std::string>> ParseCsv(const std::string& s) {
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record(1);
    bool quoted = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '"' && quoted && s[i + 1] == '"') record.back() += s[i++];
        else if (s[i] == '"') quoted = !quoted;
        else if (quoted || (s[i] != ',' && s.compare(i, 2, "\r\n") != 0)) record.back() += s[i];
        else if (s[i] == ',') record.emplace_back();
        else records.push_back(std::exchange(record, std::vector<std::string>(1))), ++i;
    }
    return records;
}

// UTF-8 as GBK; bytes that are no UTF-8 come out as '?'.
std::string GbkOfUtf8(const std::string& utf8) {
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), wide.data(), (int)wide.size()));
    std::string gbk(wide.size() * 2, '\0');
    gbk.resize(::WideCharToMultiByte(936, 0, wide.data(), (int)wide.size(), gbk.data(), (int)gbk.size(), nullptr, nullptr));
    return gbk;
}

class CheckRun : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Ok());
        g_nRunningThreads = 0;
        g_nThreadCount = 3;
        m_savedLimits = CCheckThread::DefaultLimits();
        ProbeLimits& l = CCheckThread::DefaultLimits();
        l.connectTimeoutMs = 2000;
        l.receiveTimeoutMs = 2000;
        l.sendTimeoutMs = 2000;
        l.overallMs = 5000;
    }
    void TearDown() override {
        // Every started worker reports before the test's objects go.
        PumpUntil([] { return g_nRunningThreads == 0; }, 20000);
        CCheckThread::DefaultLimits() = m_savedLimits;
    }

    void AddRows(const std::vector<std::string>& urls, Validity v = Validity::Unchecked) {
        for (const auto& url : urls) h.view.Rows().append(h.view.GetRowCount() + 1, url, v);
        h.view.RowsChanged();
    }
    std::string Url(const std::string& path) const { return server.Url(path); }
    std::string Text(int row) const { return h.view.GetItemText(row, 2); }
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (int i = 0; i < h.view.GetRowCount(); ++i) out.push_back(Text(i));
        return out;
    }

    // The running count the frame would show: the last one reported to it.
    int Shown() const {
        auto counts = h.main.Of(UM_RUNNING_COUNT);
        return counts.empty() ? 0 : (int)counts.back().lParam;
    }
    size_t Finished() const { return h.main.Count(UM_RUN_FINISHED); }

    // One tick of the frame's timer, as the frame computes it: after every
    // message already posted (a timer message ranks below them all).
    void Tick() {
        Pump(1);
        h.view.PostMessage(UM_DISPATCH, 0, (LPARAM)(g_nThreadCount - Shown()));
        Pump(20);
        m_peakRunning = std::max(m_peakRunning, (int)g_nRunningThreads);
    }
    // Pumps for ms, noting the live worker threads after every message.
    void Pump(DWORD ms) {
        PumpUntil([&] { return m_peakLive = std::max(m_peakLive, CCheckThread::LiveWorkers()), false; }, ms);
    }
    // Ticks until the view reports the run finished; false on time-out.
    bool RunToEnd(DWORD timeoutMs = 30000) {
        size_t before = Finished();
        DWORD start = ::GetTickCount();
        while (Finished() == before) {
            if (::GetTickCount() - start > timeoutMs) return false;
            Tick();
            Pump(30);
        }
        return true;
    }
    // Every worker has reported and the frame has seen the count go back to 0.
    bool WorkersDone(DWORD timeoutMs = 20000) {
        return PumpUntil([&] { return g_nRunningThreads == 0 && Shown() == 0; }, timeoutMs);
    }

    TestHttpServer server;
    viewtest::ViewHarness h;
    int m_peakRunning = 0;
    LONG m_peakLive = 0;
    ProbeLimits m_savedLimits;
};

}  // namespace

TEST_F(CheckRun, EveryRowGetsItsVerdictWithinTheBound) {
    const std::string longTarget = "/echo?" + std::string(4000, 'L');
    AddRows({Url("/slow?ms=300"), Url("/errpage"), Url("/status/404"), Url("/empty"), Url("/errpage-lower"),
             "127.0.0.1:" + std::to_string(server.Port()) + "/page", Url("/slow?ms=200"), Url("/slow?ms=100"),
             "http://127.0.0.1:" + std::to_string(TestHttpServer::ClosedPort()) + "/", Url(longTarget)});
    AddRows({"bad line"}, Validity::Malformed);
    AddRows({Url("/page")}, Validity::Ignored);

    // The first tick serves the three lowest rows (looked at before any verdict is taken).
    h.view.OnDispatch(g_nThreadCount - Shown());
    EXPECT_EQ(Texts(), (V{kRunning, kRunning, kRunning, "", "", "", "", "", "", "", "格式不正确！", "用户忽略！"}));
    EXPECT_EQ(h.Shown(0, 2), kRunning);   // the control shows it too

    ASSERT_TRUE(RunToEnd());
    ASSERT_TRUE(WorkersDone());
    const V want = {kOk, kInvalid, kTimeout, kTimeout, kOk, kOk, kOk, kOk, kTimeout, kOk, "格式不正确！", "用户忽略！"};
    for (int i = 0; i < (int)want.size(); ++i)
        EXPECT_EQ(Text(i), want[i]) << "row " << i << ": " << (h.view.ReasonOf(i) ? *h.view.ReasonOf(i) : "");

    // Counted up and down, never above the setting, and back to 0.
    auto counts = h.main.Of(UM_RUNNING_COUNT);
    ASSERT_EQ(counts.size(), 20u);   // one up and one down per worker
    for (const auto& m : counts) EXPECT_LE((int)m.lParam, 3);
    EXPECT_EQ(counts.back().lParam, 0);
    EXPECT_EQ(g_nRunningThreads, 0);
    EXPECT_LE(m_peakRunning, 3);
    EXPECT_LE(server.PeakConnections(), 3);
    EXPECT_EQ(Finished(), 1u);
    // The ignored row's URL was never fetched; a long URL reached its worker whole.
    EXPECT_EQ(server.CountRequests("/page"), 1);
    EXPECT_EQ(server.CountRequests(longTarget), 1);
}

// Verdicts follow their rows, not positions: a removed row takes none and
// still counts its worker off; a new list takes none of the old verdicts.
TEST_F(CheckRun, VerdictsFindTheirRowsAfterRemovalAndReimport) {
    g_nThreadCount = 2;
    // Row 0's page comes last; once row 0 is gone, row 1 sits at its position.
    AddRows({Url("/slow?ms=400"), Url("/status/404")});
    h.view.OnDispatch(2);
    ASSERT_EQ(Text(0), kRunning);
    h.view.Rows().erase(0);
    h.view.RowsChanged();
    ASSERT_TRUE(WorkersDone());
    ASSERT_EQ(h.view.GetRowCount(), 1);
    EXPECT_EQ(Text(0), kTimeout);   // its own verdict, not the removed row's
    EXPECT_EQ(Shown(), 0);

    // A new list while workers run: its rows stay unchecked.
    AddRows({Url("/slow?ms=400"), Url("/slow?ms=400")});
    Tick();
    h.view.Rows().clear();
    AddRows({Url("/errpage"), Url("/errpage")});
    ASSERT_TRUE(WorkersDone());
    EXPECT_EQ(Texts(), (V{"", ""}));
    EXPECT_EQ(Shown(), 0);
    ASSERT_TRUE(RunToEnd());
    ASSERT_TRUE(WorkersDone());
    EXPECT_EQ(Texts(), (V{kInvalid, kInvalid}));
}

// Each verdict brings its reason, kept with its row: the validity cell's tip
// shows it, and rows without a verdict show none.
TEST_F(CheckRun, ReasonsFollowTheirRowsIntoTheTip) {
    AddRows({Url("/status/404"), Url("/redirect/302?to=/page"), Url("/page")});
    AddRows({"bad line"}, Validity::Malformed);
    h.view.OnDispatch(3);
    h.view.Rows().erase(2);   // its verdict and reason find no row
    h.view.RowsChanged();
    ASSERT_TRUE(WorkersDone());
    ASSERT_TRUE(h.view.ReasonOf(0) && h.view.ReasonOf(1));
    EXPECT_EQ(h.view.ReasonOf(0)->rfind("HTTP 404 Not Found · ", 0), 0u) << *h.view.ReasonOf(0);
    EXPECT_EQ(h.view.ReasonOf(1)->rfind("HTTP 200 OK · ", 0), 0u) << *h.view.ReasonOf(1);
    EXPECT_NE(h.view.ReasonOf(1)->find("\n重定向 1 次 → " + Url("/page")), std::string::npos);
    EXPECT_FALSE(h.view.ReasonOf(2));

    auto cell = [&](int row, int col) {
        RECT r{};
        r.top = col;
        r.left = LVIR_BOUNDS;
        ::SendMessageA(h.view, LVM_GETSUBITEMRECT, row, (LPARAM)&r);
        return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    auto tipShown = [&] {
        HWND tip = h.view.ReasonTip().GetSafeHwnd();
        return tip && ::IsWindowVisible(tip);
    };
    auto tipText = [&] {
        char buf[1024] = {};
        TOOLINFOA ti{};
        ti.cbSize = TTTOOLINFOA_V1_SIZE;
        ti.hwnd = h.view;
        ti.uId = 1;
        ti.lpszText = buf;
        ::SendMessageA(h.view.ReasonTip().GetSafeHwnd(), TTM_GETTEXTA, sizeof buf, (LPARAM)&ti);
        return std::string(buf);
    };
    h.view.SendMessage(WM_MOUSEHOVER, 0, cell(0, 2));
    ASSERT_TRUE(tipShown());
    EXPECT_EQ(tipText(), *h.view.ReasonOf(0));
    h.view.SendMessage(WM_MOUSEHOVER, 0, cell(1, 2));
    EXPECT_EQ(tipText(), *h.view.ReasonOf(1));
    for (LPARAM elsewhere : {cell(0, 1), cell(2, 2)}) {
        h.view.SendMessage(WM_MOUSEHOVER, 0, cell(1, 2));
        h.view.SendMessage(WM_MOUSEHOVER, 0, elsewhere);
        EXPECT_FALSE(tipShown()) << "the URL cell, and the malformed row";
    }
    h.view.SendMessage(WM_MOUSEHOVER, 0, cell(0, 2));
    h.view.SendMessage(WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(tipShown());
}

// Verdict codes other than 1 and 2 put the row back; it is served again
// before the rows after it. A verdict for a row that is gone changes nothing
// but still counts off.
TEST_F(CheckRun, VerdictCodeZeroReopensTheRowAndUnknownRowsOnlyCountOff) {
    AddRows({Url("/page"), Url("/page"), Url("/page")});
    UrlRows::Id first = h.view.Rows().id(0);
    // As if the first row's worker had been started and found no session.
    h.view.Rows().setValidity(0, Validity::Running);
    h.view.Rows().setValidity(1, Validity::Running);
    g_nRunningThreads = 3;
    h.view.PostMessage(UM_URL_VERDICT, 0, (LPARAM)first);
    h.view.PostMessage(UM_URL_VERDICT, 7, (LPARAM)h.view.Rows().id(1));
    h.view.PostMessage(UM_URL_VALID, 0, (LPARAM)(h.view.Rows().id(2) + 1000));   // no such row
    ASSERT_TRUE(PumpUntil([&] { return h.main.Count(UM_RUNNING_COUNT) == 3; }));
    EXPECT_EQ(Texts(), (V{"", "", ""}));
    EXPECT_EQ(g_nRunningThreads, 0);
    auto counts = h.main.Of(UM_RUNNING_COUNT);
    ASSERT_EQ(counts.size(), 3u);
    EXPECT_EQ(counts[2].lParam, 0);
    h.view.OnDispatch(1);
    EXPECT_EQ(Texts(), (V{kRunning, "", ""}));
}

// A worker that ends after the view is gone, window and object, touches
// neither: the object's pages are made inaccessible once it is destroyed, so
// a late read or write through it faults.
TEST_F(CheckRun, WorkerOutlivingTheViewTouchesNothing) {
    void* memory = ::VirtualAlloc(nullptr, sizeof(CCorvidView), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    ASSERT_NE(memory, nullptr);
    auto* view = new (memory) CCorvidView;
    ASSERT_TRUE(view->Create(h.main, AFX_IDW_PANE_FIRST + 1, RECT{0, 0, 300, 200}));
    view->OnInitialUpdate();
    view->Rows().append(1, Url("/slow?ms=300"));
    view->RowsChanged();
    view->OnDispatch(1);
    ASSERT_TRUE(PumpUntil([&] { return h.main.Count(UM_RUNNING_COUNT) == 1; }));   // the worker started
    view->~CCorvidView();
    DWORD old = 0;
    ASSERT_TRUE(::VirtualProtect(memory, sizeof(CCorvidView), PAGE_NOACCESS, &old));
    // The worker ends: its page was fetched, its thread is gone, nothing reached anyone.
    EXPECT_TRUE(PumpUntil([&] { return CCheckThread::LiveWorkers() == 0 && server.OpenConnections() == 0; }));
    EXPECT_EQ(server.CountRequests("/slow?ms=300"), 1);
    EXPECT_EQ(h.main.Count(UM_RUNNING_COUNT), 1u);
    ::VirtualFree(memory, 0, MEM_RELEASE);
    g_nRunningThreads = 0;   // nobody is left to count it off
}

// A message box open on the user-interface thread (an export's, an import's)
// runs its own loop: workers still start and verdicts still land.
TEST_F(CheckRun, WorkersStartAndReportWhileAModalLoopRuns) {
    AddRows({Url("/page"), Url("/errpage"), Url("/status/404")});
    h.view.OnDispatch(3);
    EXPECT_EQ(g_nRunningThreads, 0);   // the starts are queued, not yet made
    {
        testsupport::DialogAnswerer watcher;   // closes each box once it is up; the next one pumps on
        DWORD start = ::GetTickCount();
        while (::GetTickCount() - start < 15000 && Text(2) != kTimeout)
            SkeinMessageBox(h.view.m_hWnd, "busy");
    }
    EXPECT_EQ(Texts(), (V{kOk, kInvalid, kTimeout}));
    EXPECT_EQ(g_nRunningThreads, 0);
}

// A worker whose verdict its watchdog handed in may still be blocked in the
// library: it gives up its run slot but not its place among the live
// threads, of which there are never more than twice the thread count.
TEST_F(CheckRun, WorkersLivingOnAfterTheirVerdictsLeaveTheRunSlotsButBoundTheThreads) {
    g_nThreadCount = 2;
    AddRows({Url("/page"), Url("/page"), Url("/page")});
    CHECKPARAM a, b, c;
    {
        CCheckThread lingerA(CheckThreadProc, &a), lingerB(CheckThreadProc, &b), lingerC(CheckThreadProc, &c);
        h.view.OnDispatch(g_nThreadCount - Shown());   // the frame sees no worker running
        ASSERT_TRUE(WorkersDone());
        EXPECT_EQ(Texts(), (V{kOk, "", ""})) << "four live threads at most";
    }
    ASSERT_TRUE(RunToEnd());
    ASSERT_TRUE(WorkersDone());
    EXPECT_EQ(Texts(), (V{kOk, kOk, kOk}));
}

// Servers that never finish their answers, with the library's sockets out of
// reach: their workers hand in "超时!" by the probe's limit and live on
// blocked, yet the run reaches its end and the live threads stay bounded.
TEST_F(CheckRun, TarpitsWithoutTheSocketHooksNeitherStopTheRunNorPileUpThreads) {
    CInternetGuard::EnableHooks(false);
    g_nThreadCount = 10;
    CCheckThread::DefaultLimits().overallMs = 1500;
    std::vector<std::string> urls;
    for (int i = 0; i < 100; ++i) urls.push_back(Url(i % 10 == 5 ? "/trickle-headers" : "/page"));
    AddRows(urls);
    bool ended = RunToEnd(60000) && WorkersDone();
    CInternetGuard::EnableHooks(true);
    ASSERT_TRUE(ended);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(Text(i), i % 10 == 5 ? kTimeout : kOk) << "row " << i;
    EXPECT_LE(m_peakLive, 20);
    server.Stop();   // lets the blocked workers go
    EXPECT_TRUE(PumpUntil([] { return CCheckThread::LiveWorkers() == 0; }, 10000));
}

// The report names every row with its reason, one CSV record each, in UTF-8
// behind a byte-order mark; texts a spreadsheet would misread are guarded.
TEST_F(CheckRun, TheReportListsEveryRowWithItsReason) {
    AddRows({Url("/status/404"), Url("/redirect/302?to=/page")});
    h.view.OnDispatch(2);
    AddRows({"http://中文.cn/路径", "http://a.example/?q=1,\"2\"", "=1+2"});
    ASSERT_TRUE(WorkersDone());
    testsupport::TempDir dir;
    const std::string path = dir.File("report.csv");
    SetExportFileChooser([&](CWnd*, std::string& chosen) { return chosen = path, true; });
    h.view.SendMessage(WM_COMMAND, ID_EXPORT_REPORT);
    SetExportFileChooser({});
    ASSERT_TRUE(PumpUntil([&] { return h.main.Count(UM_EXPORTED) == 1; }));
    EXPECT_EQ(h.main.Of(UM_EXPORTED)[0].wParam, (WPARAM)EXPORT_REPORT);
    EXPECT_EQ(h.main.Of(UM_EXPORTED)[0].lParam, 5);

    const std::string bytes = testsupport::ReadFileBytes(path);
    ASSERT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    auto records = ParseCsv(GbkOfUtf8(bytes.substr(3)));
    ASSERT_EQ(records.size(), 6u) << bytes;
    // The time is the tip's; the reason is the tip's text on one line.
    for (int i : {1, 2}) EXPECT_NE(records[i].at(3).find(" · " + records[i].at(5) + " 秒"), std::string::npos);
    std::string redirected = *h.view.ReasonOf(1);
    redirected.replace(redirected.find('\n'), 1, " · ");
    const std::vector<std::vector<std::string>> want = {
        {"序号", "网址", "有效性", "原因", "HTTP 状态", "用时（秒）", "最终网址"},
        {"1", Url("/status/404"), kTimeout, *h.view.ReasonOf(0), "404", records[1].at(5), ""},
        {"2", Url("/redirect/302?to=/page"), kOk, redirected, "200", records[2].at(5), Url("/page")},
        {"3", "http://中文.cn/路径", "", "", "", "", ""},
        {"4", "http://a.example/?q=1,\"2\"", "", "", "", "", ""},
        {"5", "'=1+2", "", "", "", "", ""},
    };
    EXPECT_EQ(records, want);
}

// Timed-out rows checked again: the next run requests just them; a row
// checked again while a run goes on joins that run.
TEST_F(CheckRun, RecheckedRowsAloneAreCheckedAgainAndJoinARunningRun) {
    const std::string closed = "http://127.0.0.1:" + std::to_string(TestHttpServer::ClosedPort()) + "/";
    AddRows({Url("/page"), closed, Url("/errpage"), closed});
    ASSERT_TRUE(RunToEnd());
    ASSERT_TRUE(WorkersDone());
    const V verdicts = {kOk, kTimeout, kInvalid, kTimeout};
    ASSERT_EQ(Texts(), verdicts);
    const size_t counted = h.main.Count(UM_RUNNING_COUNT);

    ASSERT_TRUE(h.ChooseFromMenu("重新检查全部超时网址", 0));
    EXPECT_FALSE(h.view.ReasonOf(1));   // checked again, a row starts without a reason
    ASSERT_TRUE(RunToEnd());
    ASSERT_TRUE(WorkersDone());
    EXPECT_EQ(Texts(), verdicts);
    EXPECT_EQ(h.main.Count(UM_RUNNING_COUNT), counted + 4);   // two workers, up and down
    EXPECT_EQ(server.CountRequests("/page"), 1);

    AddRows({Url("/slow?ms=600")});
    Tick();
    ASSERT_EQ(Text(4), kRunning);
    h.Select({0, 4});
    ASSERT_TRUE(h.ChooseFromMenu("重新检查所选网址", 0));
    EXPECT_EQ(Text(0), "");
    ASSERT_TRUE(RunToEnd());
    ASSERT_TRUE(WorkersDone());
    EXPECT_EQ(Texts(), (V{kOk, kTimeout, kInvalid, kTimeout, kOk}));
    EXPECT_EQ(server.CountRequests("/page"), 2);
    EXPECT_EQ(Finished(), 3u);
}
