// skein.exe as a process: copied to a fresh directory and started from another
// working directory, as a user would start it from a shortcut.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "urls/Messages.h"
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

TEST_F(ProcessTest, ThreadCountIsReadLikeAtoiAndLongPathsComeBackCut) {
    std::string longPath = "C:\\" + std::string(147, 'u');
    ASSERT_TRUE(WriteFileBytes(config, "[user]\r\nfileurls=" + longPath + "\r\nthreadcount=7abc\r\nkeypass=ad\r\n"));
    {
        Child child;
        ASSERT_EQ(RunAndClose(child), 0);
    }
    EXPECT_EQ(ReadFileBytes(config),
              "[user]\r\nfileurls=" + longPath.substr(0, 99) + "\r\nthreadcount=7\r\nkeypass=ad\r\n");

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
        {"a directory", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ::DeleteFileA(config.c_str());
        ::RemoveDirectoryA(config.c_str());
        if (std::string(c.name) == "a directory") ASSERT_TRUE(::CreateDirectoryA(config.c_str(), nullptr));
        else ASSERT_TRUE(WriteFileBytes(config, c.bytes));
        Child child;
        EXPECT_EQ(RunAndClose(child), 0);
        EXPECT_EQ(FilesIn(exeDir.path), (std::set<std::string>{"config.ini", "skein.exe"}));
        EXPECT_TRUE(FilesIn(workDir.path).empty());
    }
    EXPECT_NE(::GetFileAttributesA(config.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}
