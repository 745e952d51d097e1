#include "urls/rules/ProbeRules.h"

namespace {

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = s[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

}  // namespace

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
