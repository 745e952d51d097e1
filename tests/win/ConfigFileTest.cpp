// The settings file: created with the defaults when missing, read whole with
// atoi's rules for the thread count, written back at exit.
#include <gtest/gtest.h>
#include <windows.h>

#include <tuple>

#include "app/CorvidApp.h"
#include "core/Globals.h"
#include "win/TestSupport.h"

using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteFileBytes;

namespace {

const char kDefaultConfig[] = "[user]\r\nfileurls=\r\nthreadcount=5\r\n";

class ConfigTest : public ::testing::Test {
protected:
    CCorvidApp app;
    TempDir dir;
    void SetUp() override {
        app.m_strAppDir = dir.path + "\\";
        app.m_strConfigFile = app.m_strAppDir + "config.ini";
        g_nThreadCount = -1;
        g_strImportFile = "stale";
        g_strIgnoreList = "stale";
    }
    // Loads the settings from a file with exactly these bytes.
    void LoadFrom(const std::string& bytes) {
        ASSERT_TRUE(WriteFileBytes(app.m_strConfigFile, bytes));
        app.CreateConfigIfMissing();
        app.LoadSettings();
    }
};

}  // namespace

TEST_F(ConfigTest, MissingFileIsCreatedWithTheDefaultsAndExistingOnesAreNeverReplaced) {
    app.CreateConfigIfMissing();
    EXPECT_EQ(ReadFileBytes(app.m_strConfigFile), kDefaultConfig);
    app.LoadSettings();
    EXPECT_EQ(std::tuple(g_nThreadCount, g_strImportFile, g_strIgnoreList), std::tuple(5, "", ""));

    ASSERT_TRUE(WriteFileBytes(app.m_strConfigFile, "[user]\r\nthreadcount=3\r\n"));
    app.CreateConfigIfMissing();
    EXPECT_EQ(ReadFileBytes(app.m_strConfigFile), "[user]\r\nthreadcount=3\r\n");

    // Present but unreadable for now (another program holds it exclusively):
    // the user's settings must survive.
    HANDLE lock = ::CreateFileA(app.m_strConfigFile.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    app.CreateConfigIfMissing();
    app.LoadSettings();
    ::CloseHandle(lock);
    g_nThreadCount = 4;
    app.SaveSettings();   // what could not be read is not written back
    EXPECT_EQ(ReadFileBytes(app.m_strConfigFile), "[user]\r\nthreadcount=3\r\n");
}

TEST_F(ConfigTest, ValuesAreReadAsTheyStandHoweverLong) {
    std::string longPath = "C:\\" + std::string(94, 'p') + "\\";
    while (longPath.size() < 300) longPath += "网址";
    LoadFrom("[user]\r\nfileurls=" + longPath + "\r\nthreadcount=7abc\r\nkeypass=Foo,广告,BAR\r\n");
    // Not lower-cased at start-up.
    EXPECT_EQ(std::tuple(g_nThreadCount, g_strImportFile, g_strIgnoreList), std::tuple(7, longPath, "Foo,广告,BAR"));

    LoadFrom("[other]\r\nthreadcount=4\r\nfileurls=x\r\n");
    EXPECT_EQ(std::tuple(g_nThreadCount, g_strImportFile), std::tuple(0, "")) << "only the user section counts";

    LoadFrom("[user]\r\nthreadcount=2\r\nthreadcount=9\r\n");
    EXPECT_EQ(g_nThreadCount, 2) << "the first of duplicate keys";

    std::string binary;
    for (int i = 0; i < 65536; ++i) binary.push_back((char)((i * 131 + 7) & 0xFF));
    LoadFrom(binary);
    EXPECT_EQ(g_nThreadCount, 0);
    std::string big = "[user]\r\nthreadcount=4\r\n";
    while (big.size() < 10u * 1024 * 1024) big += "line" + std::to_string(big.size()) + "=filler text\r\n";
    big += "fileurls=at the end\r\n";
    LoadFrom(big);
    EXPECT_EQ(std::tuple(g_nThreadCount, g_strImportFile), std::tuple(4, "at the end")) << "read whole";
}

TEST_F(ConfigTest, ExitWritesTheThreeValuesBack) {
    app.CreateConfigIfMissing();
    app.LoadSettings();
    app.SaveSettings();
    EXPECT_EQ(ReadFileBytes(app.m_strConfigFile), "[user]\r\nfileurls=\r\nthreadcount=5\r\nkeypass=\r\n");

    g_strImportFile = "C:\\urls\\列表.txt";
    g_strIgnoreList = "ad,广告";
    g_nThreadCount = 10;
    app.SaveSettings();
    EXPECT_EQ(ReadFileBytes(app.m_strConfigFile),
              "[user]\r\nfileurls=C:\\urls\\列表.txt\r\nthreadcount=10\r\nkeypass=ad,广告\r\n");

    // Keys that are not there yet are added in the order of writing.
    ASSERT_TRUE(WriteFileBytes(app.m_strConfigFile, "[user]\r\n"));
    g_nThreadCount = -3;
    app.SaveSettings();
    EXPECT_EQ(ReadFileBytes(app.m_strConfigFile),
              "[user]\r\nfileurls=C:\\urls\\列表.txt\r\nkeypass=ad,广告\r\nthreadcount=-3\r\n");
}

TEST_F(ConfigTest, NoFileCanBeMadeWhereConfigIniIsADirectory) {
    ASSERT_TRUE(::CreateDirectoryA(app.m_strConfigFile.c_str(), nullptr));
    app.CreateConfigIfMissing();
    app.LoadSettings();
    EXPECT_EQ(std::tuple(g_nThreadCount, g_strImportFile), std::tuple(0, ""));
    g_strImportFile = "x";
    app.SaveSettings();   // fails quietly
    DWORD attrs = ::GetFileAttributesA(app.m_strConfigFile.c_str());
    EXPECT_TRUE(attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY));
}
