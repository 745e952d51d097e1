// Importing URL files into a real view: rows, the report to the main window,
// and every kind of bad input.
#include <gtest/gtest.h>

#include "urls/Import.h"
#include "win/ViewTestHelpers.h"

using testsupport::TempDir;
using testsupport::WriteFileBytes;
using viewtest::ModalWatcher;
using viewtest::ViewHarness;

namespace {

const std::string kMalformed = "格式不正确！";
const std::string kIgnored = "用户忽略！";
const std::string kMissingText = "文件不存在或被锁定！\n\n";

class ImportView : public ::testing::Test {
protected:
    void SetUp() override { g_strIgnoreList.clear(); }
    void TearDown() override {
        g_strIgnoreList.clear();
        g_strImportFile.clear();
    }
    // Imports `bytes` from a fresh file; the reported count.
    long ImportBytes(const std::string& bytes) {
        std::string path = dir.File("urls.txt");
        EXPECT_TRUE(WriteFileBytes(path, bytes));
        return h.Import(path);
    }
    void ExpectRow(int row, const std::string& number, const std::string& url, const std::string& validity) {
        SCOPED_TRACE("row " + std::to_string(row));
        EXPECT_EQ(h.view.GetItemText(row, 0), number);
        EXPECT_EQ(h.view.GetItemText(row, 1), url);
        EXPECT_EQ(h.view.GetItemText(row, 2), validity);
        // What the control shows comes from the same rows.
        EXPECT_EQ(h.Shown(row, 0), number);
        EXPECT_EQ(h.Shown(row, 1), url.substr(0, 1000));
        EXPECT_EQ(h.Shown(row, 2), validity);
    }
    // Imports a path that cannot be read and checks the message box and the report.
    void ExpectUnreadable(const std::string& path) {
        size_t rowsBefore = h.view.GetRowCount();
        ModalWatcher watcher;
        EXPECT_EQ(h.Import(path), 0);
        watcher.Stop();
        auto boxes = watcher.Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, kMissingText + path);
        EXPECT_EQ(boxes[0].caption, "");
        EXPECT_EQ(boxes[0].owner, h.main.m_hWnd);   // the view's top-level window owns it
        EXPECT_EQ((size_t)h.view.GetRowCount(), rowsBefore);
        EXPECT_EQ(h.ShownCount(), (int)rowsBefore);
    }

    TempDir dir;
    ViewHarness h;
};

}  // namespace

TEST_F(ImportView, FillsRowsAndReportsTheCountToTheMainWindow) {
    EXPECT_EQ(ImportBytes("example.com\r\nexample。net\r\n\r\nx y.example.com\r\n"), 4);
    ASSERT_EQ(h.main.Count(UM_LIST_LOADED), 1u);
    EXPECT_EQ(h.main.Of(UM_LIST_LOADED)[0].wParam, 0u);
    EXPECT_EQ(h.ShownCount(), 4);
    ExpectRow(0, "1", "example.com", "");
    ExpectRow(1, "2", "example.net", "");
    ExpectRow(2, "3", "", kMalformed);
    ExpectRow(3, "4", "x y.example.com", kMalformed);
    // Nothing else was posted to the main window.
    EXPECT_EQ(h.main.messages.size(), 1u);
}

TEST_F(ImportView, ChineseTextComesBackAsTheSameBytes) {
    std::string url = "http://中文。网址.com/路径?词=表";
    ASSERT_EQ(ImportBytes(url + "\n中文\n"), 2);
    ExpectRow(0, "1", "http://中文.网址.com/路径?词=表", "");
    ExpectRow(1, "2", "中文", kMalformed);
}

TEST_F(ImportView, IgnoreListMarksRowsAndStaysNormalised) {
    g_strIgnoreList = "ad  track";
    ASSERT_EQ(ImportBytes("ad.example.com\nAD.example.com\ntrack\nplain.com"), 4);
    ExpectRow(0, "1", "ad.example.com", kIgnored);
    ExpectRow(1, "2", "AD.example.com", "");
    ExpectRow(2, "3", "track", kIgnored);
    ExpectRow(3, "4", "plain.com", "");
    EXPECT_EQ(g_strIgnoreList, "ad,track");
}

TEST_F(ImportView, ANewImportReplacesTheRowsAndClearsTheSelection) {
    ASSERT_EQ(ImportBytes("a.com\nb.com\nc.com\n"), 3);
    CListCtrl list = h.view.GetListCtrl();
    list.SetItemState(2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    list.SetSelectionMark(2);
    ASSERT_EQ(ImportBytes("d.com\n"), 1);
    EXPECT_EQ(h.ShownCount(), 1);
    ExpectRow(0, "1", "d.com", "");
    EXPECT_EQ(list.GetSelectionMark(), -1);
    EXPECT_EQ(list.GetItemState(0, LVIS_SELECTED), 0u);
    ASSERT_EQ(ImportBytes(""), 0);
    EXPECT_EQ(h.ShownCount(), 0);
    EXPECT_EQ(h.view.GetItemText(0, 1), "");
}

TEST_F(ImportView, MissingFileShowsTheMessageAndKeepsTheList) {
    ASSERT_EQ(ImportBytes("kept.com\n"), 1);
    ExpectUnreadable(dir.File("no such file.txt"));
    ExpectRow(0, "1", "kept.com", "");
    ExpectUnreadable("");
}

TEST_F(ImportView, ADirectoryIsNotReadable) {
    ExpectUnreadable(dir.path);
}

TEST_F(ImportView, AFileLockedByAnotherHandleIsNotReadable) {
    std::string path = dir.File("locked.txt");
    ASSERT_TRUE(WriteFileBytes(path, "a.com\n"));
    {
        HANDLE exclusive = ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
        ExpectUnreadable(path);
        ::CloseHandle(exclusive);
    }
    {
        // A writer that lets others read still makes the file count as locked.
        HANDLE writer = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(writer, INVALID_HANDLE_VALUE);
        EXPECT_FALSE(IsFileReadable(path));
        ::CloseHandle(writer);
    }
    // Another reader does not lock it.
    HANDLE reader = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(IsFileReadable(path));
    EXPECT_EQ(h.Import(path), 1);
    ::CloseHandle(reader);
}

TEST_F(ImportView, BadFilesGiveDefinedRows) {
    EXPECT_EQ(ImportBytes(""), 0);
    EXPECT_EQ(ImportBytes(" \n\t\n\n"), 3);
    ExpectRow(0, "1", "", kMalformed);

    EXPECT_EQ(ImportBytes("a.com\rb.com\rc.com"), 3);   // CR-only line ends
    ExpectRow(2, "3", "c.com", "");

    EXPECT_EQ(ImportBytes(std::string("a.\0com\n\0\0\n", 10)), 2);
    ExpectRow(0, "1", "a.com", "");
    ExpectRow(1, "2", "", kMalformed);

    EXPECT_EQ(ImportBytes("\x81\n\xFF\xFE.com\r\n\x80"), 3);   // invalid GBK stays as it is
    ExpectRow(0, "1", "\x81", kMalformed);
    ExpectRow(1, "2", "\xFF\xFE.com", "");
    ExpectRow(2, "3", "\x80", kMalformed);
}

TEST_F(ImportView, ATenMegabyteLineIsOneRow) {
    std::string line(10u << 20, 'a');
    line.replace(0, 4, "中文");
    line[100] = '.';
    ASSERT_EQ(ImportBytes(line + "\r\nnext.com"), 2);
    EXPECT_EQ(h.view.GetItemText(0, 1), line);
    EXPECT_EQ(h.view.GetItemText(0, 2), "");
    // The control shows the beginning of it.
    EXPECT_EQ(h.Shown(0, 1).substr(0, 8), line.substr(0, 8));
    ExpectRow(1, "2", "next.com", "");
}

TEST_F(ImportView, ActsOnlyOnMessagesAddressedToTheView) {
    std::string path = dir.File("urls.txt");
    ASSERT_TRUE(WriteFileBytes(path, "a.com\n"));
    g_strImportFile = path;
    h.main.PostMessage(UM_IMPORT);   // the frame's own queue, not the view's
    testsupport::PumpFor(300);
    EXPECT_EQ(h.view.GetRowCount(), 0);
    EXPECT_EQ(h.main.Count(UM_LIST_LOADED), 0u);
}
