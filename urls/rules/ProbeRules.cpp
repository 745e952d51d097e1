#include "urls/rules/ProbeRules.h"

#include <vector>

#include "core/rules/Text.h"

namespace {

bool IsSchemeChar(char c, bool first) {
    bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    return letter || (!first && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
}

// Length of "scheme:" at the start of a reference, 0 when it has none. Every
// delimiter looked at is below 0x40, so no GBK trail byte is taken for one.
std::size_t SchemeLength(std::string_view ref) {
    std::size_t i = 0;
    while (i < ref.size() && IsSchemeChar(ref[i], i == 0)) ++i;
    return i > 0 && i < ref.size() && ref[i] == ':' ? i + 1 : 0;
}

// "/a/b/../c/./d" -> "/a/c/d"; the path starts with '/'.
std::string RemoveDotSegments(std::string_view path) {
    std::vector<std::string_view> out;
    std::size_t at = 1;
    for (;;) {
        std::size_t slash = path.find('/', at);
        std::string_view seg = path.substr(at, slash == std::string_view::npos ? std::string_view::npos : slash - at);
        bool last = slash == std::string_view::npos;
        if (seg == "." || seg == "..") {
            if (seg == ".." && !out.empty()) out.pop_back();
            if (last) out.push_back({});
        } else {
            out.push_back(seg);
        }
        if (last) break;
        at = slash + 1;
    }
    std::string result;
    for (std::string_view seg : out) result.append("/").append(seg);
    return result.empty() ? "/" : result;
}

}  // namespace

bool FitsRequestLine(std::string_view url) {
    return url.size() <= kMaxUrlBytes;
}

bool IsFollowableScheme(std::string_view url) {
    return StartsWithNoCase(url, "http://") || StartsWithNoCase(url, "https://");
}

bool IsRedirectStatus(unsigned long status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

namespace {

// The reference a Location header names: its value without surrounding
// blanks, and without the fragment, which is never sent.
std::string_view LocationReference(std::string_view location) {
    while (!location.empty() && (location.front() == ' ' || location.front() == '\t')) location.remove_prefix(1);
    while (!location.empty() && (location.back() == ' ' || location.back() == '\t')) location.remove_suffix(1);
    return location.substr(0, location.find('#'));
}

// An absolute base address cut where a reference may replace it.
struct BaseParts {
    std::string_view scheme;   // "http:"
    std::string_view origin;   // "http://host:port"
    std::string_view path;     // "/dir/page", without query and fragment; may be empty
};

bool SplitBase(std::string_view base, BaseParts& parts) {
    const std::size_t schemeEnd = SchemeLength(base);
    if (!schemeEnd || base.substr(schemeEnd, 2) != "//") return false;
    base = base.substr(0, base.find('#'));
    std::size_t pathStart = base.find_first_of("/?", schemeEnd + 2);
    if (pathStart == std::string_view::npos) pathStart = base.size();
    parts.scheme = base.substr(0, schemeEnd);
    parts.origin = base.substr(0, pathStart);
    parts.path = base.substr(pathStart, base.find('?', pathStart) - pathStart);
    return true;
}

// Path and query of a reference with neither scheme nor host, taken from the
// base's directory unless the reference's path is rooted.
std::string ResolvePath(std::string_view basePath, std::string_view reference) {
    const std::size_t queryAt = reference.find('?');
    const std::string_view refPath = reference.substr(0, queryAt);
    const std::string_view query = queryAt == std::string_view::npos ? std::string_view() : reference.substr(queryAt);
    std::string path;
    if (refPath.front() == '/') {
        path = refPath;
    } else {
        const std::size_t lastSlash = basePath.rfind('/');
        path = lastSlash == std::string_view::npos ? "/" : std::string(basePath.substr(0, lastSlash + 1));
        path.append(refPath);
    }
    return RemoveDotSegments(path).append(query);
}

}  // namespace

std::string ResolveLocation(std::string_view base, std::string_view location) {
    location = LocationReference(location);
    if (location.empty()) return {};
    if (SchemeLength(location)) return std::string(location);
    BaseParts parts;
    if (!SplitBase(base, parts)) return {};
    if (location.substr(0, 2) == "//") return std::string(parts.scheme).append(location);
    if (location.front() == '?')
        return std::string(parts.origin).append(parts.path.empty() ? "/" : parts.path).append(location);
    return std::string(parts.origin).append(ResolvePath(parts.path, location));
}

std::string NormalizeUrl(std::string_view url) {
    if (url.empty()) return {};
    if (StartsWithNoCase(url, "http://") || StartsWithNoCase(url, "https://")) return std::string(url);
    std::string out;
    out.reserve(url.size() + 7);
    out.append("http://").append(url);
    return out;
}

const std::string_view kErrorPageMarker = "<TITLE>域名纠错系统";

bool ContainsErrorPageMarker(std::string_view page) {
    // The marker starts with '<', which is never the trail byte of a GBK
    // character, so a byte match is always a match of whole characters.
    return page.find(kErrorPageMarker) != std::string_view::npos;
}

bool HasHeaderLines(std::string_view rawHead) {
    std::size_t eol = rawHead.find('\n');
    if (eol == std::string_view::npos) return false;
    for (char c : rawHead.substr(eol + 1))
        if (c != '\r' && c != '\n' && c != '\0') return true;
    return false;
}

int ClassifyPage(std::string_view page) {
    if (page.empty()) return kProbeNothing;
    return ContainsErrorPageMarker(page) ? kProbeErrorPage : kProbePage;
}

bool PageTextBuilder::Feed(std::string_view bytes) {
    if (Full()) return false;
    if (bytes.size() > m_maxBytes - m_taken) bytes = bytes.substr(0, m_maxBytes - m_taken);
    m_taken += bytes.size();
    for (char c : bytes) {
        if (c == '\r') continue;
        if (!m_pieceCut) {
            if (c == '\0') m_pieceCut = true;
            else m_text.push_back(c);
        }
        if (c == '\n' || ++m_pieceLength >= kPieceLimit) {
            m_pieceLength = 0;
            m_pieceCut = false;
        }
    }
    return !Full();
}
