// What the fuzz targets share: a check that stops the run naming the broken
// invariant (libFuzzer keeps the input that did it), and GBK character walks.
#pragma once
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "urls/rules/Mbcs.h"

[[noreturn]] inline void FuzzFail(const char* file, int line, const char* what) {
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, what);
    std::abort();
}
#define FUZZ_CHECK(condition) ((condition) ? void() : FuzzFail(__FILE__, __LINE__, #condition))

// Whether byte `at` starts a character of s when s is read from its start
// (its end counts as a start).
inline bool IsCharBoundary(std::string_view s, std::size_t at) {
    std::size_t i = 0;
    while (i < at) i += MbcsCharLength(s, i);
    return i == at;
}

inline std::string AsciiLower(std::string s) {
    for (char& c : s) c = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    return s;
}
