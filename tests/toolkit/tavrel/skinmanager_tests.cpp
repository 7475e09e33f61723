#include "hlmskinmanager.h"

#include <gtest/gtest.h>

TEST(SkinManager, IsOneObjectForTheProcess)
{
    CHLMSkinManager* manager = GetSkinManager();
    ASSERT_NE(nullptr, manager);
    EXPECT_EQ(manager, GetSkinManager());
}

TEST(SkinManager, MissingSkinFileFailsAndLeavesTheSkinOff)
{
    EXPECT_FALSE(GetSkinManager()->LoadSkin(L"Z:\\no\\such\\folder\\skin.skin"));
    EXPECT_FALSE(GetSkinManager()->IsEnabled());
}
