// The worker thread object: it runs its function once, deletes itself after
// it, and nothing thrown inside the function escapes the thread.
#include <gtest/gtest.h>
#include <windows.h>

#include "framework/WinThread.h"
#include "win/TestSupport.h"

namespace {

volatile LONG g_destroyed = 0;
volatile LONG g_ran = 0;

class CountedThread : public CWinThread {
public:
    using CWinThread::CWinThread;
    ~CountedThread() override { ::InterlockedIncrement(&g_destroyed); }
};

UINT Quick(LPVOID p) {
    ::InterlockedIncrement(&g_ran);
    return (UINT)(UINT_PTR)p;
}

UINT Throws(LPVOID) {
    ::InterlockedIncrement(&g_ran);
    throw 42;
}

}  // namespace

TEST(ProbeWorkerThread, DeletesItselfWhenItsFunctionReturnsEvenByException) {
    g_destroyed = 0;
    g_ran = 0;
    for (int i = 0; i < 20; ++i) {
        auto* t = new CountedThread(i % 2 ? &Quick : &Throws, (LPVOID)(UINT_PTR)i);
        ASSERT_TRUE(t->CreateThread());
    }
    EXPECT_TRUE(testsupport::PumpUntil([] { return g_destroyed == 20; }));
    EXPECT_EQ(g_ran, 20);
}

TEST(ProbeWorkerThread, FailedStartLeavesTheObjectToItsOwner) {
    g_destroyed = 0;
    auto* t = new CountedThread(&Quick, nullptr);
    // A stack reservation larger than any process's address space.
    const SIZE_T impossible = SIZE_T(0xF0000000u) << (sizeof(SIZE_T) == 8 ? 16 : 0);
    EXPECT_FALSE(t->CreateThread(STACK_SIZE_PARAM_IS_A_RESERVATION, impossible));
    EXPECT_EQ(g_destroyed, 0);
    delete t;
    EXPECT_EQ(g_destroyed, 1);
}
