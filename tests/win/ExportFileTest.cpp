// Writing the export file: complete bytes or the old file untouched, never a
// truncated file and never a leftover temporary file.
#include <gtest/gtest.h>

#include "framework/FileDialog.h"
#include "urls/ExportFile.h"
#include "win/TestSupport.h"

using namespace testsupport;

namespace {

UrlRows Rows() {
    UrlRows rows;
    rows.append(1, "example.com", Validity::Valid);
    rows.append(2, "\xD6\xD0\xCE\xC4.example", Validity::Timeout);
    rows.append(4, "", Validity::Valid);
    return rows;
}

}  // namespace

TEST(ExportFile, ReplacesTheTargetWithExactlyTheSelectedLines) {
    TempDir dir;
    std::string target = dir.File("out.txt");
    ASSERT_TRUE(WriteFileBytes(target, std::string(10000, 'x')));
    ExportFileResult r = WriteExportFile(target, Rows(), 1);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.lines, 2u);
    EXPECT_EQ(ReadFileBytes(target), "example.com\r\n\r\n");
    EXPECT_EQ(TempDir::FilesIn(dir.path), std::set<std::string>{"out.txt"});

    // No selected row: the file exists and is empty.
    UrlRows unchecked;
    unchecked.append(1, "a.cn");
    r = WriteExportFile(target, unchecked, 1);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.lines, 0u);
    EXPECT_NE(::GetFileAttributesA(target.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadFileBytes(target), "");
}

TEST(ExportFile, FailuresLeaveTheOldFileAndNoTemporaryBehind) {
    TempDir dir;
    // A read-only file cannot be replaced: its bytes stay as they were.
    std::string locked = dir.File("locked.txt");
    ASSERT_TRUE(WriteFileBytes(locked, "keep me\r\n"));
    ASSERT_TRUE(::SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    ExportFileResult r = WriteExportFile(locked, Rows(), 0);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error, 0u);
    EXPECT_EQ(ReadFileBytes(locked), "keep me\r\n");
    ::SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);

    // A directory that has vanished, and a directory in place of the file.
    r = WriteExportFile(dir.File("gone\\out.txt"), Rows(), 0);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error, 0u);
    std::string sub = dir.File("sub");
    ASSERT_TRUE(::CreateDirectoryA(sub.c_str(), nullptr));
    r = WriteExportFile(sub, Rows(), 0);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(::GetFileAttributesA(sub.c_str()) & FILE_ATTRIBUTE_DIRECTORY);

    EXPECT_EQ(TempDir::FilesIn(dir.path), (std::set<std::string>{"locked.txt", "sub"}));
}

TEST(ExportFile, DialogFilterSplitsOnlyAtRealSeparators) {
    // "亅" is 0x81 0x7C in GBK: its trail byte is '|' and must stay in the text.
    std::string converted = CFileDialog::ConvertFilter("\xCE\xC4\xB1\xBE|*.txt|\x81\x7C|*.*||");
    EXPECT_EQ(converted, std::string("\xCE\xC4\xB1\xBE\0*.txt\0\x81\x7C\0*.*\0\0\0\0", 21));
    EXPECT_EQ(CFileDialog::ConvertFilter("a|b"), std::string("a\0b\0\0", 5));
}
