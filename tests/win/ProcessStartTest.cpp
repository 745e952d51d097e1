// skein.exe as a process: what only a start from another working directory
// and a real exit can show, the settings file beside the executable above all.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "resource.h"
#include "win/DialogAnswerer.h"
#include "win/ProcessSupport.h"

using namespace testsupport;

namespace {

const char kDefaultConfig[] = "[user]\r\nfileurls=\r\nthreadcount=5\r\n";

class ProcessTest : public ProgramTest {};

}  // namespace

TEST_F(ProcessTest, FirstStartCreatesTheDefaultsBesideTheExecutableAndLogOffSavesThem) {
    ASSERT_TRUE(program.Start(exe, workDir.path));
    frame = program.WaitForWindow(nullptr, "Skein");
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(::IsZoomed(frame)) << "shown maximised from the start, not normal first";
    EXPECT_EQ(ReadFileBytes(config), kDefaultConfig) << "created at start-up";
    ASSERT_NO_FATAL_FAILURE(FindWindows());
    // Restored and sized by another program: the list keeps to its place
    // beside the side bar and above the status bar.
    ::ShowWindow(frame, SW_RESTORE);
    ::SetWindowPos(frame, nullptr, 0, 0, 1000, 500, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    RECT rList{}, rPanel{}, rStatus{};
    EXPECT_TRUE(program.WaitFor([&] {
        ::GetWindowRect(list, &rList), ::GetWindowRect(panel, &rPanel), ::GetWindowRect(status, &rStatus);
        return rList.left >= rPanel.right && rList.bottom <= rStatus.top;
    }, 5000)) << "list " << rList.left << "," << rList.top << "-" << rList.right << "," << rList.bottom;
    // New settings take effect with a run: over the empty list it ends on the first tick.
    SendBounded(Item(IDC_THREAD_COUNT), WM_SETTEXT, 0, (LPARAM) "8");
    SendBounded(Item(IDC_IGNORE_LIST), WM_SETTEXT, 0, (LPARAM) "Ads");
    Click(IDC_QUERY);
    ASSERT_TRUE(WaitForPane(0, "执行完毕"));
    EXPECT_EQ(program.FindTopWindow("#32770", nullptr), nullptr) << "nothing to tell under GBK";

    // What Windows does at log-off: ask, tell, then end the process.
    LRESULT mayEnd = 0;
    ASSERT_TRUE(SendBounded(frame, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, &mayEnd));
    EXPECT_NE(mayEnd, 0);
    ASSERT_TRUE(SendBounded(frame, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF));
    ::TerminateProcess(program.Process(), 0);
    ASSERT_NE(program.WaitForExit(), -1);
    EXPECT_EQ(ReadFileBytes(config), "[user]\r\nfileurls=\r\nthreadcount=8\r\nkeypass=ads\r\n");
    EXPECT_EQ(TempDir::FilesIn(exeDir.path), (std::set<std::string>{"config.ini", "skein.exe"}));
    EXPECT_TRUE(TempDir::FilesIn(workDir.path).empty()) << "nothing in the working directory";
}

TEST_F(ProcessTest, SettingsThatCouldNotBeReadAreNeverWrittenBack) {
    // Another program (backup, sync, antivirus) holds the file exclusively while Skein starts.
    const std::string original = "[user]\r\nfileurls=C:\\lists\\urls.txt\r\nthreadcount=7\r\nkeypass=ads\r\n";
    ASSERT_TRUE(WriteFileBytes(config, original));
    HANDLE lock = ::CreateFileA(config.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(program.Start(exe, workDir.path));
    HWND box = program.WaitForWindow("#32770", nullptr);
    ::CloseHandle(lock);
    ASSERT_NE(box, nullptr) << "the user is told at start-up";
    EXPECT_EQ(TextOf(box), "");
    EXPECT_NE(MessageBoxText(box).find(config), std::string::npos) << MessageBoxText(box);
    DialogAnswerer::Press(box, IDOK);
    frame = program.WaitForWindow(nullptr, "Skein");
    ASSERT_NE(frame, nullptr);
    ASSERT_EQ(CloseAndWait(), 0);
    EXPECT_EQ(ReadFileBytes(config), original) << "not one byte changed";
    EXPECT_EQ(program.FindTopWindow("#32770", nullptr), nullptr);
}

TEST_F(ProcessTest, UnderAnotherCodePageTheUserIsToldOnceInTextAnyCodePageShowsAndTheProgramRuns) {
    // The code page a Western Windows gives non-Unicode programs (1252), through
    // the manifest: a child of a Wine process keeps the parent's locale.
    std::string manifest = OwnManifest();
    const size_t at = manifest.find("zh-CN</activeCodePage>");
    ASSERT_NE(at, std::string::npos);
    manifest.replace(at, 5, "en-US");
    HANDLE update = ::BeginUpdateResourceA(exe.c_str(), FALSE);
    ASSERT_NE(update, nullptr);
    ASSERT_TRUE(::UpdateResourceA(update, MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1),
                                  MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), manifest.data(),
                                  (DWORD)manifest.size()));
    ASSERT_TRUE(::EndUpdateResourceA(update, FALSE));

    ASSERT_TRUE(program.Start(exe, workDir.path));
    HWND box = program.WaitForWindow("#32770", nullptr);
    ASSERT_NE(box, nullptr);
    const std::string text = MessageBoxText(box);
    EXPECT_NE(text.find("控制面板 > 区域 > 管理 > 非 Unicode 程序的语言 > 更改系统区域设置"), std::string::npos) << text;
    EXPECT_NE(text.find("中文(简体，中国)"), std::string::npos) << text;
    EXPECT_NE(text.find("Control Panel > Region > Administrative > Language for non-Unicode programs"),
              std::string::npos) << text;
    DialogAnswerer::Press(box, IDOK);
    ASSERT_NO_FATAL_FAILURE(FindWindows());
    // A run needs the program's own message loop: no second message holds it up.
    Click(IDC_QUERY);
    ASSERT_TRUE(WaitForPane(0, "执行完毕")) << Pane(0);
    EXPECT_EQ(program.FindTopWindow("#32770", nullptr), nullptr);
}
