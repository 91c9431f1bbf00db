// The arrow keys' torque table, the view turns, the read-out and Escape.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "main.h"

namespace {

class Controls : public ::testing::Test {
protected:
    Uint8 state[SDLK_LAST];

    void SetUp() override {
        memset(state, 0, sizeof state);
        keys = state;
        memset(&cb, 0, sizeof cb);
        cb.size = 100.0f;
        cb.mass = 1000000.0f;
        cb.maxSpin = 4.0f;
        cb.heading = 90.0f;
        timeH = 0.02f;
        timeStep = 0.02f;
    }

    void press(SDLKey key) { state[key] = 1; }
};

TEST_F(Controls, UpRollsAwayFromTheCamera) {
    press(SDLK_UP);
    handleKeyDown();
    // Heading 90: cos(0) on x, sin(0) on z; full strength with no spin.
    EXPECT_FLOAT_EQ(100.0f * 300.0f * 1000000.0f, cb.torque.x);
    EXPECT_NEAR(0.0f, cb.torque.z, 1.0f);
    EXPECT_EQ(0.0f, cb.torque.y);
}

TEST_F(Controls, TorqueFadesWithSpinAndStopsAtMaxSpin) {
    press(SDLK_UP);
    cb.heading = 135.0f;  // both axes get torque
    cb.angularVelocity = vectorInit(2.0f, 0.0f, -4.0f);
    handleKeyDown();
    double a = decToRad(45.0f);
    EXPECT_NEAR(cos(a) * 100 * 300 * 0.5 * 1e6, cb.torque.x, 1e5);
    EXPECT_EQ(0.0f, cb.torque.z);  // |spin z| = maxSpin

    cb.torque = vectorInit(0, 0, 0);
    cb.angularVelocity = vectorInit(5.0f, 0.0f, 0.0f);  // beyond maxSpin
    handleKeyDown();
    EXPECT_EQ(0.0f, cb.torque.x);
}

TEST_F(Controls, DownBrakesOnlyWhenSpinningAndWinsOverUp) {
    press(SDLK_DOWN);
    press(SDLK_UP);
    cb.torque = vectorInit(7.0f, 8.0f, 9.0f);
    cb.angularVelocity = vectorInit(1.5f, 0.0f, -1.5f);  // strict: not spinning
    handleKeyDown();
    EXPECT_EQ(7.0f, cb.torque.x);
    EXPECT_EQ(8.0f, cb.torque.y);
    EXPECT_EQ(9.0f, cb.torque.z);

    cb.angularVelocity = vectorInit(0.5f, 2.0f, -1.6f);
    handleKeyDown();
    // The brake replaces what had accumulated, on all three axes, unfaded.
    float k = 100.0f * -30.0f * 1000000.0f;
    EXPECT_FLOAT_EQ(0.5f * k, cb.torque.x);
    EXPECT_FLOAT_EQ(2.0f * k, cb.torque.y);
    EXPECT_FLOAT_EQ(-1.6f * k, cb.torque.z);
}

TEST_F(Controls, SideKeysTurnTheViewWhenSlowLeftTwiceAsFast) {
    cb.velocity = vectorInit(100.0f, 0.0f, -100.0f);  // exactly 100 counts as slow
    press(SDLK_LEFT);
    handleKeyDown();
    EXPECT_FLOAT_EQ(90.0f - 90.0f * 0.02f, cb.heading);
    state[SDLK_LEFT] = 0;
    press(SDLK_RIGHT);
    handleKeyDown();
    EXPECT_FLOAT_EQ(90.0f - 1.8f + 0.9f, cb.heading);
    EXPECT_EQ(0.0f, cb.torque.x);
    EXPECT_EQ(0.0f, cb.torque.z);
}

TEST_F(Controls, SideKeysRollWhenFastAndBothApply) {
    cb.velocity = vectorInit(0.0f, 0.0f, 100.5f);
    cb.heading = 0.0f;
    press(SDLK_LEFT);
    handleKeyDown();
    // Heading 0: left rolls about (cos 180, 0, sin 180).
    EXPECT_FLOAT_EQ(-100.0f * 500.0f * 1e6f, cb.torque.x);
    EXPECT_EQ(0.0f, cb.heading);

    press(SDLK_RIGHT);
    cb.torque = vectorInit(0, 0, 0);
    handleKeyDown();
    EXPECT_NEAR(0.0f, cb.torque.x, 1e4f);  // the two rolls cancel (to float rounding)
}

TEST_F(Controls, ReadoutPrintsTheWholeBlockWithTruncatedValues) {
    press(SDLK_i);
    VIEW_DISTANCE = 4321;
    cb.position = vectorInit(-1.9f, 2.9f, 3.0f);
    cam.position = vectorInit(10.5f, -20.5f, 30.0f);
    timeH = 0.04f;
    testing::internal::CaptureStderr();
    handleKeyDown();
    std::string out = testing::internal::GetCapturedStderr();
    EXPECT_EQ(0u, out.find("\n-----------------------\n\nFrame Rate: 25.0\n\nDraw Distance: 4321\n"));
    EXPECT_NE(std::string::npos, out.find("\nCube Information:\n\tPosition: (-1,2,3)\n\tVelocity: (0,0,0)\n"));
    EXPECT_NE(std::string::npos, out.find("\tAngular Momentum: (0,0,0)\n\nCamera Information:\n\tPosition: (10,-20,30)\n"));

    timeH = 0.0f;
    testing::internal::CaptureStderr();
    handleKeyDown();
    out = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, out.find("\nFrame Rate: >1000\n"));

    // Up held on a grown cube: beyond the int range, and a NaN, saturate.
    cb.torque = vectorInit(3e10f, -3e10f, NAN);
    cb.momentum = vectorInit(2147483648.0f, -2147483648.0f, -2147483904.0f);
    testing::internal::CaptureStderr();
    handleKeyDown();
    out = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, out.find("\tTorque: (2147483647,-2147483648,0)\n"));
    EXPECT_NE(std::string::npos, out.find("\tMomentum: (2147483647,-2147483648,-2147483648)\n"));
}

TEST_F(Controls, EscapeQuitsWithStatusZeroAfterTheReadout) {
    press(SDLK_i);
    press(SDLK_ESCAPE);
#if GTEST_USES_SIMPLE_RE
    // Windows' GoogleTest has no alternation to span lines with.
    const char* const ending = "Quitting";
#else
    const char* const ending = "Camera Information:(.|\n)*Quitting";
#endif
    EXPECT_EXIT(handleKeyDown(), ::testing::ExitedWithCode(0), ending);
}

}  // namespace
