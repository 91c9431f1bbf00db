// Draw-distance steering and the shadow's time budget.
#include <gtest/gtest.h>

#include "main.h"

namespace {

class FrameRules : public ::testing::Test {
protected:
    void SetUp() override {
        VIEW_DISTANCE = 5000;
        SHADOW = 1;
        shadowSwitchTime = 0.0f;
    }

    void frame(float step) {
        timeH = step;
        adaptViewDistance();
        spendShadowBudget();
    }
};

TEST_F(FrameRules, FastFramesSeeFurtherSlowFramesLess) {
    frame(0.02f);
    EXPECT_EQ(5005, VIEW_DISTANCE);
    frame(0.05f);
    frame(0.05f);
    EXPECT_EQ(4995, VIEW_DISTANCE);
    // Exactly on either boundary nothing changes.
    frame(0.028f);
    frame(0.04f);
    EXPECT_EQ(4995, VIEW_DISTANCE);
}

TEST_F(FrameRules, ViewDistanceStopsAtItsFloor) {
    VIEW_DISTANCE = 4000;
    frame(0.1f);
    EXPECT_EQ(3995, VIEW_DISTANCE);
    frame(0.1f);
    EXPECT_EQ(3990, VIEW_DISTANCE);
    for (int i = 0; i < 10000; ++i) frame(0.1f);
    EXPECT_EQ(1000, VIEW_DISTANCE);
}

TEST_F(FrameRules, ShadowGoesOffAfterTwoSecondsBelowTheStartDistance) {
    // 0.05 s frames: the distance is below 5000 from the first frame on.
    for (int i = 0; i < 39; ++i) frame(0.05f);
    EXPECT_EQ(1, SHADOW);
    frame(0.05f);
    frame(0.05f);
    EXPECT_EQ(0, SHADOW);
    // It never comes back, even on fast frames.
    for (int i = 0; i < 5000; ++i) frame(0.001f);
    EXPECT_EQ(0, SHADOW);
}

TEST_F(FrameRules, FastMachineKeepsItsShadow) {
    for (int i = 0; i < 10000; ++i) frame(0.016f);
    EXPECT_EQ(1, SHADOW);
    EXPECT_EQ(0.0f, shadowSwitchTime);
}

}  // namespace
