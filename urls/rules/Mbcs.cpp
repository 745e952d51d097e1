#include "urls/rules/Mbcs.h"

namespace {

// A lead byte pairs only with a byte that can follow it; otherwise (invalid
// GBK, or a lead byte at the end of the text) it stands alone, so that a stray
// lead byte never swallows the line break, space or dot after it.
bool IsGbkTrailByte(unsigned char c) {
    return c >= 0x40 && c <= 0xFE && c != 0x7F;
}

}  // namespace

std::size_t MbcsCharLength(std::string_view s, std::size_t i) {
    if (i + 1 < s.size() && IsGbkLeadByte(static_cast<unsigned char>(s[i])) &&
        IsGbkTrailByte(static_cast<unsigned char>(s[i + 1])))
        return 2;
    return 1;
}

std::size_t MbcsFind(std::string_view s, std::string_view needle, std::size_t from) {
    if (from > s.size()) return std::string_view::npos;
    if (needle.empty()) return from;
    // Byte search for candidates; a second cursor walks the character
    // boundaries forward to reject matches that start on a trail byte.
    std::size_t boundary = from;
    std::size_t pos = s.find(needle, from);
    while (pos != std::string_view::npos) {
        while (boundary < pos) boundary += MbcsCharLength(s, boundary);
        if (boundary == pos) return pos;
        pos = s.find(needle, pos + 1);
    }
    return std::string_view::npos;
}

std::size_t MbcsReplace(std::string& s, std::string_view from, std::string_view to) {
    if (from.empty()) return 0;
    std::size_t pos = MbcsFind(s, from, 0);
    if (pos == std::string::npos) return 0;
    std::string out;
    out.reserve(s.size());
    std::size_t done = 0;
    std::size_t count = 0;
    while (pos != std::string::npos) {
        out.append(s, done, pos - done);
        out.append(to);
        done = pos + from.size();
        ++count;
        pos = MbcsFind(s, from, done);
    }
    out.append(s, done, std::string::npos);
    s.swap(out);
    return count;
}

void MbcsMakeLower(std::string& s) {
    for (std::size_t i = 0; i < s.size();) {
        std::size_t n = MbcsCharLength(s, i);
        if (n == 1 && s[i] >= 'A' && s[i] <= 'Z') s[i] = static_cast<char>(s[i] - 'A' + 'a');
        i += n;
    }
}

bool MbcsExtractSubString(std::string& out, std::string_view s, int index, char sep) {
    out.clear();
    if (index < 0) return false;
    const std::string_view separator(&sep, 1);
    std::size_t start = 0;
    for (int field = 0; field < index; ++field) {
        std::size_t at = MbcsFind(s, separator, start);
        if (at == std::string_view::npos) return false;
        start = at + 1;
    }
    std::size_t end = MbcsFind(s, separator, start);
    out.assign(s.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    return true;
}
