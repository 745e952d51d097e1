#include <gtest/gtest.h>
#include <windows.h>

TEST(Platform, RunsWithGbkCodePage) {
    EXPECT_EQ(GetACP(), 936u);
}
