// The benchmarks' clock: seconds from the performance counter.
#pragma once
#include <windows.h>

inline double Seconds() {
    static const LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return (double)now.QuadPart / (double)freq.QuadPart;
}
