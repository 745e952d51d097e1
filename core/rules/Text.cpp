#include "core/rules/Text.h"

#include <algorithm>
#include <climits>

bool StartsWithNoCase(std::string_view text, std::string_view lowerPrefix) {
    if (text.size() < lowerPrefix.size()) return false;
    for (std::size_t i = 0; i < lowerPrefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != lowerPrefix[i]) return false;
    }
    return true;
}

namespace {

bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The decimal digits from `at` on, read until the first other byte or until
// the number is beyond every int, when the rest cannot matter.
long long LeadingMagnitude(std::string_view text, std::size_t at) {
    long long value = 0;
    for (; at < text.size() && IsDigit(text[at]) && value <= (long long)INT_MAX + 1; ++at)
        value = value * 10 + (text[at] - '0');
    return value;
}

}  // namespace

int SaturatingAtoi(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const long long magnitude = LeadingMagnitude(text, i);
    return (int)std::clamp<long long>(negative ? -magnitude : magnitude, INT_MIN, INT_MAX);
}
