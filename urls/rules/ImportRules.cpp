#include "urls/rules/ImportRules.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "urls/rules/Mbcs.h"

namespace {

const char kWhiteSpace[] = " \t\r\n\v\f";
const char kIdeographicFullStop[] = "\xA1\xA3";   // "。" in GBK

std::size_t FindByte(std::string_view text, std::size_t from, char c) {
    if (from >= text.size()) return std::string_view::npos;
    const void* p = std::memchr(text.data() + from, c, text.size() - from);
    return p ? static_cast<std::size_t>(static_cast<const char*>(p) - text.data()) : std::string_view::npos;
}

bool HasByte(std::string_view text, char c) {
    return !text.empty() && std::memchr(text.data(), c, text.size()) != nullptr;
}

std::string_view Trim(std::string_view s) {
    std::size_t first = s.find_first_not_of(kWhiteSpace);
    if (first == std::string_view::npos) return {};
    std::size_t last = s.find_last_not_of(kWhiteSpace);
    return s.substr(first, last - first + 1);
}

}  // namespace

bool LineReader::Next(std::string_view& line) {
    if (m_pos >= m_text.size()) return false;
    if (!m_lfKnown || (m_nextLf != std::string_view::npos && m_nextLf < m_pos)) {
        m_nextLf = FindByte(m_text, m_pos, '\n');
        m_lfKnown = true;
    }
    if (!m_crKnown || (m_nextCr != std::string_view::npos && m_nextCr < m_pos)) {
        m_nextCr = FindByte(m_text, m_pos, '\r');
        m_crKnown = true;
    }
    std::size_t end = std::min(m_nextLf, m_nextCr);
    if (end == std::string_view::npos) end = m_text.size();
    line = m_text.substr(m_pos, end - m_pos);
    m_pos = std::min(end + 1, m_text.size());
    if (end < m_text.size() && m_text[end] == '\r' && m_pos < m_text.size() && m_text[m_pos] == '\n')
        ++m_pos;
    return true;
}

std::string_view TidyUrlLine(std::string_view line, std::string& buf) {
    bool hasNul = HasByte(line, '\0');
    std::string_view url = hasNul ? line : Trim(line);
    if (!hasNul && !HasByte(url, kIdeographicFullStop[0])) return url;

    buf.clear();
    if (hasNul) {
        std::remove_copy(line.begin(), line.end(), std::back_inserter(buf), '\0');
        std::string_view trimmed = Trim(buf);
        buf = std::string(trimmed);
    } else {
        buf.assign(url);
    }
    MbcsReplace(buf, kIdeographicFullStop, ".");
    return buf;
}

bool IsWellFormedUrl(std::string_view url) {
    // Neither byte can be the trail byte of a double-byte character, so a byte
    // search is exact here.
    return HasByte(url, '.') && !HasByte(url, ' ');
}

void NormaliseIgnoreText(std::string& text) {
    MbcsReplace(text, "  ", " ");
    MbcsReplace(text, "  ", " ");
    MbcsReplace(text, " ", ",");
}

std::vector<std::string> IgnoreEntries(std::string_view normalised) {
    std::vector<std::string> entries;
    std::string entry;
    for (int i = 0; MbcsExtractSubString(entry, normalised, i, ',') && !entry.empty(); ++i)
        entries.push_back(entry);
    return entries;
}

IgnoreMatcher::IgnoreMatcher(std::string& setting) {
    if (setting.empty()) return;
    NormaliseIgnoreText(setting);
    m_entries = IgnoreEntries(setting);
}

bool IgnoreMatcher::Matches(std::string_view url) const {
    for (const std::string& entry : m_entries)
        if (MbcsFind(url, entry) != std::string_view::npos) return true;
    return false;
}

bool IsIgnoredUrl(std::string_view url, std::string& setting) {
    return IgnoreMatcher(setting).Matches(url);
}

Validity ImportValidity(std::string_view tidiedUrl, const IgnoreMatcher& ignore) {
    if (ignore.Matches(tidiedUrl)) return Validity::Ignored;
    if (!IsWellFormedUrl(tidiedUrl)) return Validity::Malformed;
    return Validity::Unchecked;
}

ByteOrderMark DetectByteOrderMark(std::string_view content) {
    if (content.substr(0, 3) == "\xEF\xBB\xBF") return {TextEncoding::Utf8, 3};
    if (content.substr(0, 2) == "\xFF\xFE") return {TextEncoding::Utf16Le, 2};
    if (content.substr(0, 2) == "\xFE\xFF") return {TextEncoding::Utf16Be, 2};
    return {};
}

std::size_t PrepareUtf16Units(char* bytes, std::size_t size, bool bigEndian) {
    const auto* in = reinterpret_cast<const unsigned char*>(bytes);
    auto unitAt = [&](std::size_t i) -> unsigned {
        unsigned a = in[2 * i], b = in[2 * i + 1];
        return bigEndian ? (a << 8 | b) : (b << 8 | a);
    };
    const std::size_t units = size / 2;
    std::size_t out = 0;
    // Output never outruns input, so reading unit i before writing unit out <= i is safe.
    for (std::size_t i = 0; i < units; ++i) {
        unsigned u = unitAt(i);
        if (u >= 0xD800 && u <= 0xDFFF) {
            if (u <= 0xDBFF && i + 1 < units) {
                unsigned next = unitAt(i + 1);
                if (next >= 0xDC00 && next <= 0xDFFF) ++i;
            }
            u = 0xFFFD;
        }
        bytes[2 * out] = static_cast<char>(u & 0xFF);
        bytes[2 * out + 1] = static_cast<char>(u >> 8);
        ++out;
    }
    return out;
}

std::u16string DecodeUtf8(std::string_view bytes) {
    std::u16string units;
    units.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p != end) {
        char32_t cp = NextUtf8CodePoint(p, end);   // kBrokenUtf8 is above 0xFFFF too
        units += cp < 0x10000 ? static_cast<char16_t>(cp) : u'\uFFFD';
    }
    return units;
}

std::size_t FillRowsFromFile(std::string_view content, std::string& ignoreSetting, UrlRows& rows) {
    rows.clear();
    if (content.empty()) return 0;
    rows.reserve(static_cast<std::size_t>(std::count(content.begin(), content.end(), '\n')) + 1,
                 content.size());
    // The per-line rule normalises the setting for every line; normalising is
    // idempotent, so doing it once before the first line gives the same rows.
    IgnoreMatcher ignore(ignoreSetting);
    LineReader lines(content);
    std::string_view line;
    std::string buf;
    int number = 0;
    while (lines.Next(line)) {
        std::string_view url = TidyUrlLine(line, buf);
        rows.append(++number, url, ImportValidity(url, ignore));
    }
    return rows.size();
}
