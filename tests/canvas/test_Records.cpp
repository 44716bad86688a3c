#include "canvas/clsTextGradient.h"
#include "canvas/clsTextShadow.h"

#include <gtest/gtest.h>

TEST(Records, NewRecordsStartAsTheProgramExpects)
{
    const clsTextGradient g;
    EXPECT_EQ(g.mObjPointStart->mLngX, 1);
    EXPECT_EQ(g.mObjPointStart->mLngY, 1);
    EXPECT_EQ(g.mObjPointEnd->mLngX, 1);
    EXPECT_NE(g.mObjPointStart, g.mObjPointEnd);
    const clsTextShadow s;
    EXPECT_FALSE(s.mBoolIsActive);
    EXPECT_EQ(s.mByteOpacitiy, 0);
    EXPECT_EQ(s.mLngX, 0);
    EXPECT_EQ(s.mLngY, 0);
}

TEST(Records, GradientCopyKeepsItsOwnPoints)
{
    clsTextGradient a, b;
    a.mBoolRainbow = true;
    a.mlngColor2 = 0x00FF00;
    a.mObjPointStart->mLngX = 40;
    a.mObjPointEnd->mLngY = 7;
    const clsPointPtr ownStart = b.mObjPointStart;
    b.copy(a);
    EXPECT_EQ(b.mObjPointStart, ownStart);
    EXPECT_EQ(b.mObjPointStart->mLngX, 40);
    EXPECT_EQ(b.mObjPointEnd->mLngY, 7);
    EXPECT_TRUE(b.mBoolRainbow);
    EXPECT_EQ(b.mlngColor2, 0x00FF00);
    a.mObjPointStart->mLngX = 99;
    EXPECT_EQ(b.mObjPointStart->mLngX, 40);
    b.copy(b);
    EXPECT_EQ(b.mObjPointStart->mLngX, 40);
}

TEST(Records, ShadowCopyTakesEveryValue)
{
    clsTextShadow a, b;
    a.mBoolIsActive = true;
    a.mByteOpacitiy = 128;
    a.mDblBlurLevel = 2.5;
    a.mlngColor = 0x123456;
    a.mLngX = -3;
    a.mLngY = 4;
    b.copy(a);
    EXPECT_TRUE(b.mBoolIsActive);
    EXPECT_EQ(b.mByteOpacitiy, 128);
    EXPECT_DOUBLE_EQ(b.mDblBlurLevel, 2.5);
    EXPECT_EQ(b.mlngColor, 0x123456);
    EXPECT_EQ(b.mLngX, -3);
    EXPECT_EQ(b.mLngY, 4);
}
