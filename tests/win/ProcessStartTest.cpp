// skein.exe as a process: copied to a fresh directory and started from another
// working directory, as a user would start it from a shortcut.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "core/Messages.h"
#include "resource.h"
#include "win/DialogAnswerer.h"
#include "win/ProcessSupport.h"
#include "win/TestSupport.h"

using testsupport::BuiltExePath;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteFileBytes;

namespace {

const char kDefaultConfig[] = "[user]\r\nfileurls=\r\nthreadcount=5\r\n";

std::set<std::string> FilesIn(const std::string& dir) {
    std::set<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = ::FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        std::string n = fd.cFileName;
        if (n != "." && n != "..") names.insert(n);
    } while (::FindNextFileA(h, &fd));
    ::FindClose(h);
    return names;
}

using Child = testsupport::ChildProgram;

class ProcessTest : public ::testing::Test {
protected:
    TempDir exeDir, workDir;
    std::string exe, config;
    void SetUp() override {
        exe = exeDir.File("skein.exe");
        config = exeDir.File("config.ini");
        ASSERT_TRUE(::CopyFileA(BuiltExePath().c_str(), exe.c_str(), FALSE)) << BuiltExePath();
    }
    // Starts the program, waits for its frame, closes it; the exit code.
    long RunAndClose(Child& child) {
        if (!child.Start(exe, workDir.path)) return -2;
        HWND frame = child.WaitForWindow(nullptr, "Skein");
        if (!frame) return -3;
        ::PostMessageA(frame, WM_CLOSE, 0, 0);
        return child.WaitForExit();
    }
    // Starts exePath, waits for its frame and its control panel.
    void StartWithPanel(Child& child, const std::string& exePath, HWND& frame, HWND& panel) {
        ASSERT_TRUE(child.Start(exePath, workDir.path));
        frame = child.WaitForWindow(nullptr, "Skein");
        ASSERT_NE(frame, nullptr);
        ASSERT_TRUE(testsupport::WaitFor([&] { return (panel = testsupport::FindPanel(frame)) != nullptr; }, 10000));
    }
};

}  // namespace

TEST_F(ProcessTest, FirstStartCreatesTheDefaultsBesideTheExecutable) {
    Child child;
    ASSERT_TRUE(child.Start(exe, workDir.path));
    HWND frame = child.WaitForWindow(nullptr, "Skein");
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(::IsZoomed(frame)) << "shown maximised from the start, not normal first";
    EXPECT_EQ(ReadFileBytes(config), kDefaultConfig) << "created at start-up, exactly 34 bytes";
    EXPECT_TRUE(FilesIn(workDir.path).empty()) << "nothing in the working directory";
    ::PostMessageA(frame, WM_CLOSE, 0, 0);
    ASSERT_EQ(child.WaitForExit(), 0);
    EXPECT_EQ(ReadFileBytes(config), std::string(kDefaultConfig) + "keypass=\r\n");
    EXPECT_EQ(FilesIn(exeDir.path), (std::set<std::string>{"config.ini", "skein.exe"}));
    EXPECT_TRUE(FilesIn(workDir.path).empty());
}

TEST_F(ProcessTest, ThreadCountIsReadLikeAtoiAndLongPathsSurviveARestart) {
    // MAX_PATH - 1 bytes, with a double-byte character across bytes 99 and 100.
    std::string longPath = "C:\\" + std::string(95, 'u') + "网址\\";
    while (longPath.size() < 255) longPath += "列表";
    longPath += ".txt";
    ASSERT_EQ(longPath.size(), (size_t)MAX_PATH - 1);
    ASSERT_TRUE(WriteFileBytes(config, "[user]\r\nfileurls=" + longPath + "\r\nthreadcount=7abc\r\nkeypass=ad\r\n"));
    {
        Child child;
        HWND frame = nullptr, panel = nullptr;
        ASSERT_NO_FATAL_FAILURE(StartWithPanel(child, exe, frame, panel));
        EXPECT_EQ(testsupport::ControlText(::GetDlgItem(panel, IDC_IMPORT_FILE)), longPath);
        ::PostMessageA(frame, WM_CLOSE, 0, 0);
        ASSERT_EQ(child.WaitForExit(), 0);
    }
    EXPECT_EQ(ReadFileBytes(config), "[user]\r\nfileurls=" + longPath + "\r\nthreadcount=7\r\nkeypass=ad\r\n");

    ASSERT_TRUE(WriteFileBytes(config, "[user]\r\nfileurls=\r\nthreadcount=abc\r\n"));
    {
        Child child;
        ASSERT_EQ(RunAndClose(child), 0);
    }
    EXPECT_EQ(ReadFileBytes(config), "[user]\r\nfileurls=\r\nthreadcount=0\r\nkeypass=\r\n");
}

TEST_F(ProcessTest, CloseQuestionCancelKeepsTheWindowAndOkEndsTheProgram) {
    Child child;
    ASSERT_TRUE(child.Start(exe, workDir.path));
    HWND frame = child.WaitForWindow(nullptr, "Skein");
    ASSERT_NE(frame, nullptr);
    ::PostMessageA(frame, UM_RUNNING_COUNT, 0, 3);

    ::PostMessageA(frame, WM_CLOSE, 0, 0);
    HWND box = child.WaitForWindow("#32770", nullptr);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(testsupport::MessageBoxText(box), "还有正在运行的线程。确定要退出吗？");
    EXPECT_EQ(testsupport::TextOf(box), "");
    EXPECT_EQ(::GetWindow(box, GW_OWNER), frame);
    testsupport::DialogAnswerer::Press(box, IDCANCEL);
    EXPECT_EQ(child.WaitForExit(1500), -1) << "Cancel keeps the program";
    EXPECT_TRUE(::IsWindow(frame));

    ::PostMessageA(frame, WM_CLOSE, 0, 0);
    box = child.WaitForWindow("#32770", nullptr);
    ASSERT_NE(box, nullptr);
    testsupport::DialogAnswerer::Press(box, IDOK);
    EXPECT_EQ(child.WaitForExit(), 0);
    EXPECT_EQ(ReadFileBytes(config), std::string(kDefaultConfig) + "keypass=\r\n");
}

TEST_F(ProcessTest, BadSettingsFilesStillBringTheWindowUpAndDown) {
    std::string binary;
    for (int i = 0; i < 65536; ++i) binary.push_back((char)((i * 131 + 7) & 0xFF));
    std::string big = "[user]\r\nthreadcount=4\r\n";
    while (big.size() < 10u * 1024 * 1024) big += "line" + std::to_string(big.size()) + "=filler text\r\n";
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"binary", binary},
        {"10 MB", big},
        {"no user section", "[other]\r\nthreadcount=3\r\n"},
        {"duplicate keys", "[user]\r\nthreadcount=2\r\nthreadcount=8\r\nfileurls=a\r\nfileurls=b\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteFileBytes(config, c.bytes));
        Child child;
        EXPECT_EQ(RunAndClose(child), 0);
        EXPECT_EQ(FilesIn(exeDir.path), (std::set<std::string>{"config.ini", "skein.exe"}));
        EXPECT_TRUE(FilesIn(workDir.path).empty());
    }
}

TEST_F(ProcessTest, SettingsThatCouldNotBeReadAreNeverWrittenBack) {
    // Another program (backup, sync, antivirus) holds the file exclusively while Skein starts.
    const std::string original = "[user]\r\nfileurls=C:\\lists\\urls.txt\r\nthreadcount=7\r\nkeypass=ads\r\n";
    ASSERT_TRUE(WriteFileBytes(config, original));
    HANDLE lock = ::CreateFileA(config.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Child child;
    ASSERT_TRUE(child.Start(exe, workDir.path));
    HWND box = child.WaitForWindow("#32770", nullptr);
    ::CloseHandle(lock);
    ASSERT_NE(box, nullptr) << "the user is told at start-up";
    EXPECT_EQ(testsupport::TextOf(box), "");
    EXPECT_NE(testsupport::MessageBoxText(box).find(config), std::string::npos) << testsupport::MessageBoxText(box);
    testsupport::DialogAnswerer::Press(box, IDOK);
    HWND frame = child.WaitForWindow(nullptr, "Skein");
    ASSERT_NE(frame, nullptr);
    ::PostMessageA(frame, WM_CLOSE, 0, 0);
    ASSERT_EQ(child.WaitForExit(), 0);
    EXPECT_EQ(ReadFileBytes(config), original) << "not one byte changed";
    EXPECT_EQ(child.FindTopWindow("#32770", nullptr), nullptr);

    // Where config.ini is a directory nothing can be read either; asked once, and left alone.
    ASSERT_TRUE(::DeleteFileA(config.c_str()));
    ASSERT_TRUE(::CreateDirectoryA(config.c_str(), nullptr));
    Child second;
    ASSERT_TRUE(second.Start(exe, workDir.path));
    box = second.WaitForWindow("#32770", nullptr);
    ASSERT_NE(box, nullptr);
    testsupport::DialogAnswerer::Press(box, IDOK);
    frame = second.WaitForWindow(nullptr, "Skein");
    ASSERT_NE(frame, nullptr);
    ::PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(second.WaitForExit(), 0);
    EXPECT_NE(::GetFileAttributesA(config.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(FilesIn(exeDir.path), (std::set<std::string>{"config.ini", "skein.exe"}));
}

TEST_F(ProcessTest, EndOfTheWindowsSessionSavesTheSettingsAsAnExitDoes) {
    Child child;
    HWND frame = nullptr, panel = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartWithPanel(child, exe, frame, panel));
    HWND bar = ::GetDlgItem(frame, AFX_IDW_STATUS_BAR);
    // New settings take effect with a run: over the empty list it ends on the first tick.
    testsupport::SendBounded(::GetDlgItem(panel, IDC_THREAD_COUNT), WM_SETTEXT, 0, (LPARAM) "8");
    testsupport::SendBounded(::GetDlgItem(panel, IDC_IGNORE_LIST), WM_SETTEXT, 0, (LPARAM) "Ads");
    ::PostMessageA(::GetDlgItem(panel, IDC_QUERY), BM_CLICK, 0, 0);
    ASSERT_TRUE(testsupport::WaitFor([&] { return child.PaneText(bar, 0) == "执行完毕"; }, 10000));

    // What Windows does at log-off: ask, tell, then end the process.
    LRESULT mayEnd = 0;
    ASSERT_TRUE(testsupport::SendBounded(frame, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, &mayEnd));
    EXPECT_NE(mayEnd, 0);
    ASSERT_TRUE(testsupport::SendBounded(frame, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF));
    ::TerminateProcess(child.Process(), 0);
    ASSERT_NE(child.WaitForExit(), -1);
    EXPECT_EQ(ReadFileBytes(config), "[user]\r\nfileurls=\r\nthreadcount=8\r\nkeypass=ads\r\n");
}

TEST_F(ProcessTest, RunsImportsAndExportsUnderChineseNames) {
    const std::string programDir = exeDir.File("程序"), listDir = exeDir.File("网址 列表"),
                      outDir = exeDir.File("导出");
    for (const std::string& d : {programDir, listDir, outDir})
        ASSERT_TRUE(::CreateDirectoryA(d.c_str(), nullptr)) << d << " error " << ::GetLastError();
    const std::string chineseExe = programDir + "\\网址检查.exe";
    ASSERT_TRUE(::CopyFileA(exe.c_str(), chineseExe.c_str(), FALSE));
    const std::string list = listDir + "\\网址.txt", out = outDir + "\\结果.txt";
    ASSERT_TRUE(WriteFileBytes(list, "a.com\r\n中文.cn\r\n"));
    ASSERT_TRUE(WriteFileBytes(programDir + "\\config.ini", "[user]\r\nfileurls=" + list + "\r\nthreadcount=5\r\n"));

    Child child;
    HWND frame = nullptr, panel = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartWithPanel(child, chineseExe, frame, panel));
    HWND bar = ::GetDlgItem(frame, AFX_IDW_STATUS_BAR);
    auto pane = [&](int i) { return child.PaneText(bar, i); };
    ::PostMessageA(::GetDlgItem(panel, IDC_IMPORT), BM_CLICK, 0, 0);
    ASSERT_TRUE(testsupport::WaitFor([&] { return pane(2) == "网址个数: 2"; }, 20000)) << pane(0);
    HWND list32 = ::FindWindowExA(frame, nullptr, "SysListView32", nullptr);
    EXPECT_EQ(child.CellText(list32, 1, 1), "中文.cn");
    {
        testsupport::DialogAnswerer answer(
            child.ThreadId(), {{frame, [&](HWND dlg) { testsupport::DialogAnswerer::EnterFileName(dlg, out); }}}, 30000);
        ::PostMessageA(::GetDlgItem(panel, IDC_EXPORT_ALL), BM_CLICK, 0, 0);
        ASSERT_TRUE(testsupport::WaitFor([&] { return pane(0) == "共导出了 2 个网址。"; }, 40000)) << pane(0);
        EXPECT_TRUE(answer.AllAnswered());
    }
    EXPECT_EQ(ReadFileBytes(out), "a.com\r\n中文.cn\r\n");
    ::PostMessageA(frame, WM_CLOSE, 0, 0);
    ASSERT_EQ(child.WaitForExit(), 0);
    EXPECT_EQ(ReadFileBytes(programDir + "\\config.ini"),
              "[user]\r\nfileurls=" + list + "\r\nthreadcount=5\r\nkeypass=\r\n");
}
