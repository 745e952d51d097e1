#include <gtest/gtest.h>
#include <windows.h>

TEST(Platform, RunsWithGbkCodePage) {
    EXPECT_EQ(GetACP(), 936u);
}

// Also the warm-up that scripts/test runs before CTest: the first window on a
// display starts Wine's desktop process, which must not inherit a test's pipes.
TEST(Platform, ShowsATopLevelWindow) {
    HWND h = ::CreateWindowExA(0, "STATIC", "warm-up", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100,
                               nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(::IsWindowVisible(h));
    ::DestroyWindow(h);
}
