// The frame timer: the measured step, its publication, and the cap on the
// step the simulation takes.
#include <gtest/gtest.h>

#include <SDL/SDL.h>

#include <cstdlib>
#include <cstring>

#include "animate.h"
#include "main.h"

namespace {

class FrameTimer : public ::testing::Test {
protected:
    PeopleList* people = nullptr;
    TankList tanks = {};
    ShotList shots = {};
    Terrain terrain = {};
    Camera camera;
    Cube cube = {};

    void SetUp() override {
        ASSERT_EQ(0, SDL_Init(SDL_INIT_TIMER));
        people = (PeopleList*)calloc(1, sizeof(PeopleList));  // no buckets: nobody to update
        initCamera(&camera);
        cube.size = cube.targetSize = 100.0f;
        cube.mass = 1000000.0f;
        cube.inverseMass = 1.0f / cube.mass;
        cube.inertia = cube.mass * 100.0 * 100.0 / 6.0;
        cube.inverseInertia = 1.0 / cube.inertia;
        cube.orientation = quaternionInit(1, 0, 0, 0);
        gameOver = 0;
    }
    void TearDown() override {
        free(people);
        SDL_Quit();
    }
};

TEST_F(FrameTimer, PublishesTheMeasuredStepAndCapsTheSimulatedOne) {
    initAnimation();
    EXPECT_EQ(0.0f, timeH);
    SDL_Delay(150);
    animate(&cube, people, &tanks, &camera, &terrain, &shots);
    EXPECT_GE(timeH, 0.149f);
    // Gravity for the capped step only.
    EXPECT_FLOAT_EQ(MAX_STEP, timeStep);
    EXPECT_FLOAT_EQ(-200.0f * MAX_STEP, cube.velocity.y);

    SDL_Delay(10);
    float y = cube.velocity.y;
    animate(&cube, people, &tanks, &camera, &terrain, &shots);
    EXPECT_GE(timeH, 0.009f);
    EXPECT_LT(timeH, MAX_STEP);
    EXPECT_EQ(timeH, timeStep);
    EXPECT_NEAR(y - 200.0f * timeH, cube.velocity.y, 1e-3);
}

}  // namespace
