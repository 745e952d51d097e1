#include "urls/rules/WebAddress.h"

#include "core/rules/Text.h"

namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

// Length of a leading scheme name (a letter, then letters, digits, "+", "-"
// or ".") that a ":" follows; 0 when the text does not start that way.
std::size_t SchemeLength(std::string_view text) {
    if (text.empty() || !IsAsciiLetter(text[0])) return 0;
    std::size_t i = 1;
    while (i < text.size() && (IsAsciiLetter(text[i]) || IsAsciiDigit(text[i]) || text[i] == '+' ||
                               text[i] == '-' || text[i] == '.'))
        ++i;
    return i < text.size() && text[i] == ':' ? i : 0;
}

}  // namespace

std::optional<std::string> WebAddressToOpen(std::string_view text) {
    if (text.empty()) return std::nullopt;
    if (StartsWithNoCase(text, "http://") || StartsWithNoCase(text, "https://")) return std::string(text);
    if (text[0] == '/' || text[0] == '\\') return std::nullopt;   // rooted or network path
    if (std::size_t scheme = SchemeLength(text)) {
        if (scheme == 1) return std::nullopt;   // a drive letter
        // "example.com:8080/x" is a host with a port, not a scheme.
        bool port = scheme + 1 < text.size() && IsAsciiDigit(text[scheme + 1]);
        if (!port) return std::nullopt;
    }
    return "http://" + std::string(text);
}
