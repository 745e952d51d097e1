#include "win/AllocationFailure.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<DWORD> g_armedThread{0};
std::atomic<long long> g_budget{0};
std::atomic<bool> g_failed{false};

}  // namespace

void* operator new(std::size_t size) {
    if (g_armedThread.load(std::memory_order_relaxed) == ::GetCurrentThreadId() &&
        g_budget.fetch_sub((long long)size) < (long long)size) {
        g_armedThread = 0;
        g_failed = true;
        throw std::bad_alloc();
    }
    for (;;) {
        if (void* p = std::malloc(size ? size : 1)) return p;
        std::new_handler handler = std::get_new_handler();
        if (!handler) throw std::bad_alloc();
        handler();
    }
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace testsupport {

FailingAllocation::FailingAllocation(std::size_t budgetBytes) {
    g_failed = false;
    g_budget = (long long)budgetBytes;
    g_armedThread = ::GetCurrentThreadId();
}

FailingAllocation::~FailingAllocation() { g_armedThread = 0; }

bool FailingAllocation::Failed() const { return g_failed; }

}  // namespace testsupport
