// Message and resource ids other programs and the resources agree on.
#include <gtest/gtest.h>
#include <windows.h>

#include "core/Messages.h"
#include "framework/Wnd.h"
#include "resource.h"

TEST(Ids, ApplicationMessages) {
    const std::pair<unsigned, unsigned> ids[] = {
        {UM_REQ_IMPORT, 1026},       {UM_IMPORT, 1027},           {UM_LIST_LOADED, 1028},
        {UM_ENABLE_IMPORT, 1029},    {UM_REQ_START, 1030},        {UM_DISPATCH, 1031},
        {UM_RUN_FINISHED, 1032},     {UM_RESET_START, 1033},      {UM_RUNNING_COUNT, 1034},
        {UM_REQ_EXPORT, 1036},       {UM_URL_VALID, 1037},        {UM_URL_VERDICT, 1038},
        {UM_EXPORT, 1039},           {UM_ENABLE_EXPORT, 1040},    {UM_EXPORTED, 1041},
        {UM_REQ_CLEAN_INVALID, 1042}, {UM_CLEAN_INVALID, 1043},   {UM_INVALID_CLEANED, 1044},
        {UM_ENABLE_CLEAN_INVALID, 1045}, {UM_REQ_CLEAN_DUPLICATES, 1046}, {UM_CLEAN_DUPLICATES, 1047},
        {UM_ENABLE_CLEAN_DUPLICATES, 1048}, {UM_REQ_STOP, 1049}};
    for (auto [id, expected] : ids) {
        EXPECT_EQ(id, expected);
        EXPECT_EQ(id, WM_USER + (expected - 1024));
        EXPECT_TRUE(IsAppMessage(id)) << id;
    }
    for (unsigned outside : {1024u, 1025u, 1050u}) EXPECT_FALSE(IsAppMessage(outside)) << outside;
}

TEST(Ids, ListMenuAndItsPrompt) {
    EXPECT_EQ(IDR_LIST_MENU, 130);
    EXPECT_EQ(ID_OPEN_WEB, 32779);
    HINSTANCE exe = ::GetModuleHandleA(nullptr);
    HMENU menu = ::LoadMenuA(exe, MAKEINTRESOURCEA(130));
    ASSERT_NE(menu, nullptr);
    char text[64] = {};
    ::GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "列表菜单");
    HMENU popup = ::GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(::GetMenuItemCount(popup), 1);
    EXPECT_EQ(::GetMenuItemID(popup, 0), 32779u);
    ::GetMenuStringA(popup, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "打开网页");
    ::DestroyMenu(menu);

    char prompt[128] = {};
    ASSERT_GT(::LoadStringA(exe, 32779, prompt, sizeof prompt), 0);
    EXPECT_STREQ(prompt, "在浏览器中打开对方网站");
}
