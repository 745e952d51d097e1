// How a URL file becomes list rows: lines, tidying, the format check and the
// ignore list. Plain bytes in the ANSI code page; nothing here touches Windows.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "urls/rules/UrlRows.h"
#include "urls/rules/Utf8.h"

// Splits file content into lines. LF, CR LF and a CR on its own each end a line
// (files from old Macs end lines in CR only; reading them as one line would put
// the whole file into a single row). A line end at the very end of the content
// starts no further line, so empty content has no lines and "\n" has one.
class LineReader {
public:
    explicit LineReader(std::string_view text) : m_text(text) {}
    // The next line without its line end; false after the last one.
    bool Next(std::string_view& line);

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
    // Where the next CR and LF are, found once each so that a file without
    // one of them is not searched to its end for every line.
    std::size_t m_nextCr = 0;
    std::size_t m_nextLf = 0;
    bool m_crKnown = false;
    bool m_lfKnown = false;
};

// The line as it is stored: NUL bytes dropped (the list shows texts up to the
// first NUL, and an export must write what the list showed), space, tab, CR,
// LF, vertical tab and form feed trimmed from both ends, and every whole
// character "。" replaced by ".". The result views either `line` or `buf`.
std::string_view TidyUrlLine(std::string_view line, std::string& buf);
inline std::string TidyUrlLine(std::string_view line) {
    std::string buf;
    return std::string(TidyUrlLine(line, buf));
}

// Contains "." and no space (code 32); nothing else matters.
bool IsWellFormedUrl(std::string_view url);

// Rewrites the ignore text in place: runs of two spaces become one, twice over,
// then every space becomes ",". Doing it again changes nothing.
void NormaliseIgnoreText(std::string& text);

// The entries of a normalised ignore text: its comma-separated fields from the
// first up to, not including, the first empty one.
std::vector<std::string> IgnoreEntries(std::string_view normalised);

// Matches URLs against the ignore setting. An empty setting ignores nothing and
// is left alone; any other is normalised in place once, here.
class IgnoreMatcher {
public:
    explicit IgnoreMatcher(std::string& setting);
    // One entry occurs in the URL, byte for byte and case-sensitively.
    bool Matches(std::string_view url) const;
    const std::vector<std::string>& Entries() const { return m_entries; }

private:
    std::vector<std::string> m_entries;
};

// The per-URL rule: normalise the setting in place, then match.
bool IsIgnoredUrl(std::string_view url, std::string& setting);

// The validity a line gets at import; ignored wins over malformed.
Validity ImportValidity(std::string_view tidiedUrl, const IgnoreMatcher& ignore);

// How the text of a URL file is stored, told by its byte-order mark. Editors
// (Notepad among them) put one in front of Unicode text; a file without one is
// taken as bytes in the ANSI code page.
enum class TextEncoding { Ansi, Utf8, Utf16Le, Utf16Be };
struct ByteOrderMark {
    TextEncoding encoding = TextEncoding::Ansi;
    std::size_t length = 0;   // bytes of the mark itself
};
ByteOrderMark DetectByteOrderMark(std::string_view content);

// Rewrites the UTF-16 text in bytes[0, size) in place as little-endian code
// units ready for conversion to the ANSI code page; returns how many. A
// supplementary character (a surrogate pair) and a lone surrogate each become
// one U+FFFD, which GBK cannot hold either, so that one character the code
// page cannot show is one "?" and not two. An odd last byte is no character
// and is dropped.
std::size_t PrepareUtf16Units(char* bytes, std::size_t size, bool bigEndian);

// UTF-8 as UTF-16 code units ready for conversion to the ANSI code page. As in
// PrepareUtf16Units a supplementary character becomes one U+FFFD; so does each
// broken sequence (as much of it as started well, or a single stray byte).
std::u16string DecodeUtf8(std::string_view bytes);

// Replaces the rows with one row per line of `content`, numbered from 1; returns
// the number of rows. The ignore setting is normalised once if there is a line.
std::size_t FillRowsFromFile(std::string_view content, std::string& ignoreSetting, UrlRows& rows);
