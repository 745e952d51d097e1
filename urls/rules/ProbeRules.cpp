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

std::string ResolveLocation(std::string_view base, std::string_view location) {
    while (!location.empty() && (location.front() == ' ' || location.front() == '\t')) location.remove_prefix(1);
    while (!location.empty() && (location.back() == ' ' || location.back() == '\t')) location.remove_suffix(1);
    location = location.substr(0, location.find('#'));
    if (location.empty()) return {};
    if (SchemeLength(location)) return std::string(location);

    std::size_t schemeEnd = SchemeLength(base);
    if (!schemeEnd || base.substr(schemeEnd, 2) != "//") return {};
    base = base.substr(0, base.find('#'));
    std::size_t pathStart = base.find_first_of("/?", schemeEnd + 2);
    if (pathStart == std::string_view::npos) pathStart = base.size();
    std::string_view scheme = base.substr(0, schemeEnd);     // "http:"
    std::string_view origin = base.substr(0, pathStart);     // "http://host:port"
    std::string_view basePath = base.substr(pathStart, base.find('?', pathStart) - pathStart);

    if (location.substr(0, 2) == "//") return std::string(scheme).append(location);
    if (location.front() == '?') return std::string(origin).append(basePath.empty() ? "/" : basePath).append(location);

    std::size_t queryAt = location.find('?');
    std::string_view refPath = location.substr(0, queryAt);
    std::string_view query = queryAt == std::string_view::npos ? std::string_view() : location.substr(queryAt);
    std::string path;
    if (refPath.front() == '/') {
        path = refPath;
    } else {
        std::size_t lastSlash = basePath.rfind('/');
        path = lastSlash == std::string_view::npos ? "/" : std::string(basePath.substr(0, lastSlash + 1));
        path.append(refPath);
    }
    return std::string(origin).append(RemoveDotSegments(path)).append(query);
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
