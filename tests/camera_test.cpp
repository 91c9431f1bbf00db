// The chase camera's target and its lagging pull toward it.
#include <gtest/gtest.h>

#include "camera.h"
#include "main.h"

namespace {

class ChaseCamera : public ::testing::Test {
protected:
    Camera camera;
    Cube cube = {};

    void SetUp() override {
        initCamera(&camera);
        cube.size = 100.0f;
        cube.heading = 0.0f;
        cube.position = vectorInit(1000.0f, 50.0f, 2000.0f);
        gameOver = 0;
    }
    void TearDown() override { gameOver = 0; }
};

TEST_F(ChaseCamera, StartsFarOffAndDriftsInBehindTheCube) {
    EXPECT_FLOAT_EQ(-4000.0f, camera.position.z);
    for (int frame = 0; frame < 3000; ++frame) {
        calcTargetView(&camera, &cube);
        camera.targetPosition.y = 300.0f;
        updateCamera(&camera, 1.0f / 60.0f);
    }
    EXPECT_NEAR(700.0f, camera.position.x, 1.0f);  // 300 behind along heading 0
    EXPECT_NEAR(2000.0f, camera.position.z, 1.0f);
}

TEST_F(ChaseCamera, FollowDistanceGrowsWithTheCube) {
    calcTargetView(&camera, &cube);
    EXPECT_EQ(300.0f, camera.distance);
    cube.size = 200.0f;
    cube.heading = 90.0f;
    calcTargetView(&camera, &cube);
    EXPECT_EQ(350.0f, camera.distance);
    EXPECT_NEAR(1000.0f, camera.targetPosition.x, 1e-3);
    EXPECT_NEAR(1650.0f, camera.targetPosition.z, 1e-3);
    gameOver = 1;
    calcTargetView(&camera, &cube);
    EXPECT_EQ(1000.0f, camera.distance);
}

TEST_F(ChaseCamera, ZeroStepMovesNothing) {
    Vector before = camera.position;
    updateCamera(&camera, 0.0f);
    EXPECT_EQ(before.x, camera.position.x);
    EXPECT_EQ(before.y, camera.position.y);
    EXPECT_EQ(before.z, camera.position.z);
}

TEST_F(ChaseCamera, LongStepsOvershootTheTarget) {
    camera.position = vectorInit(0, 0, 0);
    camera.targetPosition = vectorInit(100, 0, 0);
    updateCamera(&camera, 0.2f);  // stiffness * dt^2 = 1: lands on it
    EXPECT_NEAR(100.0f, camera.position.x, 1e-3);
    camera.position = vectorInit(0, 0, 0);
    updateCamera(&camera, 0.25f);  // factor 1.5625: past it
    EXPECT_NEAR(156.25f, camera.position.x, 1e-3);
    camera.position = vectorInit(0, 0, 0);
    updateCamera(&camera, 0.3f);  // factor 2.25: further away than before
    EXPECT_GT(camera.position.x - 100.0f, 100.0f);
}

}  // namespace
