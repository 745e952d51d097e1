// Export from the URL list view: the save dialog, the file's bytes and the
// completion message that brings the panel's button back.
#include <gtest/gtest.h>

#include "framework/Handles.h"
#include "urls/ExportFile.h"
#include "win/DialogAnswerer.h"
#include "win/ViewTestHelpers.h"

using namespace testsupport;

namespace {

class ExportViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetExportFileChooser([this](CWnd* owner, std::string& path) {
            ++chooserCalls;
            chooserOwner = owner;
            if (chosen.empty()) return false;
            path = chosen;
            return true;
        });
    }
    void TearDown() override { SetExportFileChooser({}); }

    void AddRows() {
        UrlRows& rows = h.view.Rows();
        rows.append(1, "example.com", Validity::Valid);
        rows.append(2, "\xD6\xD0\xCE\xC4.cn", Validity::Ignored);
        rows.append(3, "new.example", Validity::Unchecked);
        rows.append(5, "example.net", Validity::Valid);
        h.view.RowsChanged();
    }
    // Posts UM_EXPORT as the frame does and waits for the view's report.
    std::pair<WPARAM, LPARAM> Export(int kind) {
        size_t before = h.main.Count(UM_EXPORTED);
        h.view.PostMessage(UM_EXPORT, 0, kind);
        EXPECT_TRUE(PumpUntil([&] { return h.main.Count(UM_EXPORTED) > before; }, 30000));
        auto all = h.main.Of(UM_EXPORTED);
        if (all.empty()) return {~WPARAM(0), -1};
        return {all.back().wParam, all.back().lParam};
    }

    // What a save dialog proposes: its name and its file types, each followed by '|'.
    static std::string Proposed(HWND dlg) {
        std::string out = TextOf(DialogAnswerer::FindFileNameEdit(dlg)) + "|";
        HWND types = ::GetDlgItem(dlg, 0x470);
        for (int i = 0, n = (int)::SendMessageA(types, CB_GETCOUNT, 0, 0); i < n; ++i) {
            char buf[128] = {};
            ::SendMessageA(types, CB_GETLBTEXT, i, (LPARAM)buf);
            out += std::string(buf) + "|";
        }
        return out;
    }

    viewtest::ViewHarness h;
    TempDir dir;
    std::string chosen;
    int chooserCalls = 0;
    CWnd* chooserOwner = nullptr;
};

}  // namespace

// An empty list asks nothing; each kind writes its rows and reports its count.
TEST_F(ExportViewTest, EachKindWritesItsRowsAndReportsItsCount) {
    chosen = dir.File("out.txt");
    for (int kind : {0, 1, 2, 10}) EXPECT_EQ(Export(kind), (std::pair<WPARAM, LPARAM>(kind, 0)));
    EXPECT_EQ(chooserCalls, 0);
    EXPECT_EQ(::GetFileAttributesA(chosen.c_str()), INVALID_FILE_ATTRIBUTES);
    AddRows();
    EXPECT_EQ(Export(1), (std::pair<WPARAM, LPARAM>(1, 2)));
    EXPECT_EQ(chooserOwner, &h.view);
    EXPECT_EQ(ReadFileBytes(chosen), "example.com\r\nexample.net\r\n");
    EXPECT_EQ(Export(2), (std::pair<WPARAM, LPARAM>(2, 1)));
    EXPECT_EQ(ReadFileBytes(chosen), "\xD6\xD0\xCE\xC4.cn\r\n");
    EXPECT_EQ(h.view.GetRowCount(), 4);   // the export changes nothing in the list

    // A cancelled dialog writes nothing and reports 0.
    chosen.clear();
    EXPECT_EQ(Export(0), (std::pair<WPARAM, LPARAM>(0, 0)));
    EXPECT_EQ(ReadFileBytes(dir.File("out.txt")), "\xD6\xD0\xCE\xC4.cn\r\n");
}

TEST_F(ExportViewTest, AFailedExportSaysWhereAndWhyAndStillReports) {
    AddRows();
    chosen = dir.File("missing-dir\\out.txt");
    DialogAnswerer answer(::GetCurrentThreadId(),
                          {{::GetAncestor(h.view, GA_ROOT), [](HWND box) { DialogAnswerer::Press(box, IDOK); }}});
    EXPECT_EQ(Export(1), (std::pair<WPARAM, LPARAM>(1, 0)));
    ASSERT_TRUE(answer.AllAnswered());
    ASSERT_EQ(answer.Dialogs().size(), 1u);
    const auto box = answer.Dialogs()[0];
    EXPECT_EQ(std::tuple(box.caption, box.text.find(chosen) != std::string::npos), std::tuple(std::string(), true)) << box.text;
    EXPECT_GT(box.text.size(), chosen.size() + 4);   // a reason follows the path
}

TEST_F(ExportViewTest, TheRealSaveDialogProposesTheNameAndAsksBeforeReplacing) {
    SetExportFileChooser({});
    AddRows();
    HWND owner = ::GetAncestor(h.view, GA_ROOT);
    std::string proposed;
    std::string typed = dir.File("mine");
    {
        DialogAnswerer answer(::GetCurrentThreadId(), {{owner, [&](HWND dlg) {
                                                            proposed = Proposed(dlg);
                                                            DialogAnswerer::EnterFileName(dlg, typed);
                                                        }}});
        EXPECT_EQ(Export(1), (std::pair<WPARAM, LPARAM>(1, 2)));
        EXPECT_TRUE(answer.AllAnswered());
    }
    EXPECT_EQ(proposed, "urls_export.txt|文本文件|所有文件|");
    // A name typed without an extension gets the first three characters of the default one.
    std::string saved = typed + ".TXT";
    EXPECT_EQ(ReadFileBytes(saved), "example.com\r\nexample.net\r\n");

    // The same name again: the dialog asks before replacing, and Yes replaces.
    HWND fileDialog = nullptr;
    {
        DialogAnswerer answer(::GetCurrentThreadId(),
                              {{owner, [&](HWND dlg) {
                                    fileDialog = dlg;
                                    DialogAnswerer::EnterFileName(dlg, saved);
                                }},
                               {nullptr, [](HWND confirm) { DialogAnswerer::Press(confirm, IDYES); }}});
        EXPECT_EQ(Export(0), (std::pair<WPARAM, LPARAM>(0, 4)));
        EXPECT_TRUE(answer.AllAnswered());
        ASSERT_EQ(answer.Dialogs().size(), 2u);
        EXPECT_EQ(answer.Dialogs()[1].owner, fileDialog);
    }
    EXPECT_EQ(ReadFileBytes(saved), "example.com\r\n\xD6\xD0\xCE\xC4.cn\r\nnew.example\r\nexample.net\r\n");
}

// The report asks with the save dialog for a CSV file; a file another program
// holds open is left as it was, and the message says where and why.
TEST_F(ExportViewTest, TheReportLeavesAFileInUseAsItWas) {
    SetExportFileChooser({});
    AddRows();
    const std::string target = dir.File("report.csv");
    ASSERT_TRUE(WriteFileBytes(target, "keep me"));
    CHandle lock(::CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock.IsValid());
    HWND owner = ::GetAncestor(h.view, GA_ROOT);
    std::string proposed;
    DialogAnswerer answer(::GetCurrentThreadId(), {{owner, [&](HWND dlg) {
                                                        proposed = Proposed(dlg);
                                                        DialogAnswerer::EnterFileName(dlg, target);
                                                    }},
                                                   {nullptr, [](HWND confirm) { DialogAnswerer::Press(confirm, IDYES); }},
                                                   {owner, [](HWND box) { DialogAnswerer::Press(box, IDOK); }}});
    h.view.SendMessage(WM_COMMAND, ID_EXPORT_REPORT);
    ASSERT_TRUE(answer.AllAnswered());
    EXPECT_EQ(proposed, "urls_report.csv|CSV 文件 (*.csv)|所有文件|");
    const std::string text = answer.Dialogs().at(2).text;
    EXPECT_EQ(text.rfind("无法导出报告到文件：\r\n" + target + "\r\n", 0), 0u) << text;
    EXPECT_GT(text.size(), target.size() + 24);   // the system's reason follows
    ASSERT_TRUE(lock.Close());
    EXPECT_EQ(ReadFileBytes(target), "keep me");
}
