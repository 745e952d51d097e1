// Importing URL files into a real view: rows, the report to the main window,
// and every kind of bad input.
#include <gtest/gtest.h>

#include <optional>

#include "urls/Import.h"
#include "win/AllocationFailure.h"
#include "win/FrameFixture.h"
#include "win/ViewTestHelpers.h"

using testsupport::TempDir;
using testsupport::WriteFileBytes;
using testsupport::DialogAnswerer;
using viewtest::ViewHarness;

namespace {

const std::string kMalformed = "格式不正确！";
const std::string kIgnored = "用户忽略！";

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
        EXPECT_EQ(std::tuple(h.view.GetItemText(row, 0), h.view.GetItemText(row, 1), h.view.GetItemText(row, 2)),
                  std::tuple(number, url, validity));
        // What the control shows comes from the same rows.
        EXPECT_EQ(std::tuple(h.Shown(row, 0), h.Shown(row, 1), h.Shown(row, 2)),
                  std::tuple(number, url.substr(0, 1000), validity));
    }
    TempDir dir;
    ViewHarness h;
};

// UTF-16 text with its byte-order mark, as Notepad saves it.
std::string Utf16File(std::u16string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t u : text) {
        char hi = (char)(u >> 8), lo = (char)(u & 0xFF);
        bytes += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return bytes;
}

// The program's frame with its real view and status bar; the import is
// pressed as the panel does, and the view acts on it.
class FailedImport : public frametest::FrameTest {
protected:
    // The rows' URLs, the rows shown and the three panes.
    auto Now() const {
        std::vector<std::string> urls;
        for (int i = 0; i < view->GetRowCount(); ++i) urls.push_back(view->GetItemText(i, 1));
        return std::tuple(urls, view->GetListCtrl().GetItemCount(), Pane(0), Pane(1), Pane(2));
    }
    struct Pressed {
        std::vector<DialogAnswerer::Seen> boxes;
        bool memoryRanOut = false;
    };
    // Presses import for `path` (memory running out past `budget` bytes, if
    // given) and waits for the button to come back.
    Pressed PressImport(const std::string& path, std::optional<size_t> budget = {}) {
        size_t before = panel.Count(UM_ENABLE_IMPORT);
        g_strImportFile = path;
        Pressed pressed;
        DialogAnswerer watcher;
        {
            std::optional<testsupport::FailingAllocation> failing;
            if (budget) failing.emplace(*budget);
            ::PostMessageA(frame->m_hWnd, UM_REQ_IMPORT, 0, 0);
            EXPECT_TRUE(testsupport::PumpUntil([&] { return panel.Count(UM_ENABLE_IMPORT) > before; }, 30000));
            pressed.memoryRanOut = failing && failing->Failed();
        }
        watcher.Stop();
        pressed.boxes = watcher.Dialogs();
        return pressed;
    }
    TempDir dir;
};

}  // namespace

// The file's lines become rows as the import rules make them, every byte of
// the file read (zero bytes, CR-only line ends, GBK and invalid GBK), and the
// control shows the same rows.
TEST_F(ImportView, FillsRowsAndReportsTheCountToTheMainWindow) {
    g_strIgnoreList = "ad  track";
    const std::string bytes = std::string("example.com\r\nexample。net\r\n\r\nx y.example.com\r"
                                          "http://中文。网址.com/路径?词=表\nad.ex") +
                              '\0' + "ample.com\n\x81\n\xFF\xFE.com";
    ASSERT_EQ(ImportBytes(bytes), 8);
    ASSERT_EQ(h.main.messages.size(), 1u) << "one report, nothing else";
    EXPECT_EQ(h.main.Of(UM_LIST_LOADED)[0].wParam, 0u);
    EXPECT_EQ(h.ShownCount(), 8);
    ExpectRow(0, "1", "example.com", "");
    ExpectRow(1, "2", "example.net", "");
    ExpectRow(2, "3", "", kMalformed);
    ExpectRow(3, "4", "x y.example.com", kMalformed);
    ExpectRow(4, "5", "http://中文.网址.com/路径?词=表", "");
    ExpectRow(5, "6", "ad.example.com", kIgnored);
    ExpectRow(6, "7", "\x81", kMalformed);
    ExpectRow(7, "8", "\xFF\xFE.com", "");
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
    EXPECT_EQ(std::tuple(list.GetSelectionMark(), list.GetItemState(0, LVIS_SELECTED)), std::tuple(-1, 0u));
    ASSERT_EQ(ImportBytes(""), 0);
    EXPECT_EQ(std::tuple(h.ShownCount(), h.view.GetItemText(0, 1)), std::tuple(0, std::string()));
}

// What cannot be read is refused before a byte is read, and so is a file past
// the 1 GiB a 32-bit process can hold (sparse, so it costs no disk).
TEST_F(ImportView, UnreadableAndOversizedFilesAreRefusedBeforeReading) {
    const std::string path = dir.File("locked.txt"), huge = dir.File("huge.txt");
    ASSERT_TRUE(WriteFileBytes(path, "a.com\n"));
    for (const std::string& none : {std::string(), dir.path, dir.File("none.txt")}) EXPECT_FALSE(IsFileReadable(none)) << none;
    for (DWORD share : {0ul, (DWORD)FILE_SHARE_READ}) {
        // A writer makes the file count as locked, even one that lets others read.
        HANDLE writer = ::CreateFileA(path.c_str(), GENERIC_WRITE, share, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(writer, INVALID_HANDLE_VALUE);
        EXPECT_FALSE(IsFileReadable(path)) << share;
        ::CloseHandle(writer);
    }
    // Another reader does not lock it.
    HANDLE reader = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(IsFileReadable(path));
    EXPECT_EQ(h.Import(path), 1);
    ::CloseHandle(reader);

    HANDLE file = ::CreateFileA(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size{};
    size.QuadPart = (1LL << 30) + 1;
    EXPECT_TRUE(::SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && ::SetEndOfFile(file));
    ::CloseHandle(file);
    std::string text = "old";
    EXPECT_EQ(ReadUrlFileText(huge, text), FileReadResult::TooLarge);
    EXPECT_EQ(text, "");
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

TEST_F(ImportView, UnicodeFilesAreReadAsTheEditorMeantThem) {
    // UTF-8 with its mark, UTF-8 without one (Notepad's default), UTF-16 either
    // way round: converted to the ANSI code page; what it cannot hold (Thai,
    // an emoji) is one "?" per character.
    const std::u8string_view utf8 = u8"a.com\r\n\u9875\u9762.cn\r\n\u0E01.com\n\U0001F600x\r\n";
    const std::string plain(utf8.begin(), utf8.end());
    const std::u16string text = u"a.com\r\n\u9875\u9762.cn\r\n\u0E01.com\n\U0001F600x\r\n";
    for (const std::string& file : {"\xEF\xBB\xBF" + plain, plain, Utf16File(text, false), Utf16File(text, true)}) {
        SCOPED_TRACE(testing::PrintToString(file.substr(0, 3)));
        ASSERT_EQ(ImportBytes(file), 4);
        ExpectRow(0, "1", "a.com", "");
        ExpectRow(1, "2", "页面.cn", "");
        ExpectRow(2, "3", "?.com", "");
        ExpectRow(3, "4", "?x", kMalformed);
    }
    // GBK that starts like UTF-8 (C1 AA: an overlong form) stays GBK.
    ASSERT_EQ(ImportBytes("联通.cn\n页面.cn"), 2);
    ExpectRow(0, "1", "联通.cn", "");
    ExpectRow(1, "2", "页面.cn", "");
}

TEST_F(FailedImport, LeavesTheListAndAllThreePanesAsTheyWere) {
    const std::string good = dir.File("good.txt");
    std::string lines;
    for (int i = 0; i < 5000; ++i) lines += "www.example-" + std::to_string(i) + ".com\r\n";
    ASSERT_TRUE(WriteFileBytes(good, lines));
    ASSERT_TRUE(PressImport(good).boxes.empty());
    ASSERT_EQ(view->GetRowCount(), 5000);
    ASSERT_TRUE(PostAndPump(UM_RUNNING_COUNT, 0, 2, [&] { return Pane(1) == "线程: 2"; }));
    ASSERT_TRUE(PostAndPump(UM_INVALID_CLEANED, 0, 5, [&] { return Pane(0) == "共清理了 5 个无效网址。"; }));
    const auto before = Now();

    const std::string missing = "文件不存在或被锁定！\n\n", tooLarge = "文件太大，无法载入。\n\n";
    // Each way an import fails, once: a file that cannot be opened, and
    // memory running out in each of the two steps that take it.
    const struct {
        const char* name;
        std::string path, text;
        std::optional<size_t> budget;
    } cases[] = {
        {"missing", dir.File("none.txt"), missing + dir.File("none.txt"), {}},
        {"memory out while reading", good, tooLarge + good, 1024},
        {"memory out while filling the rows", good, tooLarge + good, lines.size() + 65536 + 8192},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Pressed pressed = PressImport(c.path, c.budget);
        EXPECT_EQ(pressed.memoryRanOut, c.budget.has_value());
        const auto& boxes = pressed.boxes;
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(std::tuple(boxes[0].text, boxes[0].caption, boxes[0].owner), std::tuple(c.text, "", frame->m_hWnd));
        EXPECT_TRUE(Now() == before) << std::get<2>(Now()) << " / " << std::get<4>(Now());
    }
}
