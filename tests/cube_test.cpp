// The cube's rigid body without a renderer: integration, growth and the lost
// game, key spin, corners, forces and impulses.
#include <gtest/gtest.h>

#include <cmath>

#include "cube.h"
#include "main.h"
#include "test_terrain.h"

namespace {

const float DT = 1.0f / 60.0f;

// A unit-mass cube at rest at the origin, for exact velocities.
Cube unitCube() {
    Cube c = startCube();
    c.mass = 1.0f;
    c.inverseMass = 1.0f;
    c.position = {0.0f, 0.0f, 0.0f};
    c.momentum = {0.0f, 0.0f, 0.0f};
    return c;
}

void expectVector(Vector actual, float x, float y, float z, float tolerance) {
    EXPECT_NEAR(actual.x, x, tolerance);
    EXPECT_NEAR(actual.y, y, tolerance);
    EXPECT_NEAR(actual.z, z, tolerance);
}

float length(Quaternion q) {
    return std::sqrt(q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z);
}

class CubeTest : public ::testing::Test {
protected:
    void SetUp() override { gameOver = 0; }
    void TearDown() override { gameOver = 0; }
};

TEST_F(CubeTest, FirstUpdateFallsAndHeadsAlongZ) {
    Cube c = startCube();
    updateCube(&c, DT);
    expectVector(c.velocity, 0.0f, -200.0f * DT, 1000.0f, 1e-3f);
    EXPECT_NEAR(c.heading, 90.0f, 1e-3f);
    expectVector(c.position, 0.0f, 2000.0f - 200.0f * DT * DT, -4000.0f + 1000.0f * DT, 1e-2f);
    EXPECT_FLOAT_EQ(c.maxSpin, 4.0f);
    EXPECT_EQ(gameOver, 0);

    // Without contact the fall speeds up by 200 dt every update.
    for (int n = 2; n <= 30; n++) {
        updateCube(&c, DT);
        EXPECT_NEAR(c.velocity.y, -200.0f * DT * n, 1e-2f);
    }
}

TEST_F(CubeTest, HeadingFollowsOnlyFastHorizontalTravel) {
    struct Case {
        Vector momentum;
        float heading;
    };
    // Gravity alone leaves x and z of the velocity exact at unit mass.
    const Case cases[] = {
        {{150.0f, 0.0f, 0.0f}, 33.0f},  {{150.5f, 0.0f, 0.0f}, 0.0f},
        {{-150.0f, 0.0f, 0.0f}, 180.0f}, {{0.0f, 0.0f, 150.0f}, 90.0f},
        {{0.0f, 0.0f, -150.0f}, 270.0f}, {{149.0f, 0.0f, 149.0f}, 33.0f},
        {{0.0f, -5000.0f, 0.0f}, 33.0f},
    };
    for (const Case& k : cases) {
        Cube c = unitCube();
        c.heading = 33.0f;
        c.momentum = k.momentum;
        updateCube(&c, DT);
        EXPECT_NEAR(c.heading, k.heading, 1e-3f) << k.momentum.x << " " << k.momentum.z;
    }
}

TEST_F(CubeTest, SizeFiftyIsStillPlaying) {
    Cube c = startCube();
    c.size = 50.0f;
    c.targetSize = 50.0f;
    updateCube(&c, DT);
    EXPECT_EQ(gameOver, 0);
    EXPECT_FLOAT_EQ(c.size, 50.0f);
    EXPECT_FLOAT_EQ(c.maxSpin, 5.0f);
}

TEST_F(CubeTest, BelowFiftyLosesAndKeepsShrinking) {
    Cube c = startCube();
    c.size = 49.9f;
    c.targetSize = 49.9f;
    const double inverseInertia = c.inverseInertia;
    const float mass = c.mass;
    updateCube(&c, DT);

    EXPECT_EQ(gameOver, 1);
    EXPECT_FLOAT_EQ(c.targetSize, 0.0f);
    EXPECT_FLOAT_EQ(c.growthRate, 30.0f * DT * -49.9f);
    EXPECT_FLOAT_EQ(c.size, 49.9f + c.growthRate * DT);
    EXPECT_DOUBLE_EQ(c.inertia, (double)mass * c.size * c.size / 6.0);
    EXPECT_EQ(c.inverseInertia, inverseInertia);
    EXPECT_EQ(c.mass, mass);
    // The momentum, gravity's included, is dropped: the cube stays put.
    expectVector(c.velocity, 0.0f, 0.0f, 0.0f, 0.0f);
    expectVector(c.position, 0.0f, 2000.0f, -4000.0f, 0.0f);

    float previous = c.size;
    for (int n = 0; n < 600; n++) {
        c.targetSize = 80.0f;  // a late crush does not save the game
        updateCube(&c, DT);
        EXPECT_LT(c.size, previous);
        EXPECT_GT(c.size, 0.0f);
        previous = c.size;
    }
    EXPECT_EQ(gameOver, 1);
    EXPECT_FLOAT_EQ(c.targetSize, 0.0f);
}

TEST_F(CubeTest, GrowthClosesGapAndAddsMass) {
    Cube c = startCube();
    c.targetSize = 110.0f;
    updateCube(&c, 0.1f);
    EXPECT_FLOAT_EQ(c.growthRate, 30.0f);
    EXPECT_FLOAT_EQ(c.size, 103.0f);
    EXPECT_FLOAT_EQ(c.mass, 1000015.0f);
    EXPECT_DOUBLE_EQ(c.inertia, 1000015.0 * 103.0 * 103.0 / 6.0);
    EXPECT_DOUBLE_EQ(c.inverseInertia, 1.0 / c.inertia);
    EXPECT_FLOAT_EQ(c.maxSpin, (250.0f - 103.0f) / 50.0f + 1.0f);
    // The start value is kept: growth leaves the inverse mass alone.
    EXPECT_EQ(c.inverseMass, 1.0f / 1000000.0f);
}

TEST_F(CubeTest, TargetIsCappedAt250) {
    Cube c = startCube();
    c.targetSize = 300.0f;
    updateCube(&c, DT);
    EXPECT_FLOAT_EQ(c.targetSize, 250.0f);
    EXPECT_FLOAT_EQ(c.growthRate, 30.0f * DT * 150.0f);
}

TEST_F(CubeTest, ReachedTargetKeepsSizeMassAndInertia) {
    Cube c = startCube();
    c.size = c.targetSize = 120.0f;
    c.growthRate = 7.0f;
    c.mass = 1000100.0f;
    c.inertia = 12345.0;
    c.inverseInertia = 1.0 / 54321.0;
    updateCube(&c, DT);
    EXPECT_EQ(c.size, 120.0f);
    EXPECT_EQ(c.mass, 1000100.0f);
    EXPECT_EQ(c.growthRate, 7.0f);
    EXPECT_EQ(c.inertia, 12345.0);
    EXPECT_EQ(c.inverseInertia, 1.0 / 54321.0);
}

TEST_F(CubeTest, MaxSpinFallsWithSize) {
    const float sizes[] = {100.0f, 250.0f, 50.0f};
    const float spins[] = {4.0f, 1.0f, 5.0f};
    for (int k = 0; k < 3; k++) {
        Cube c = startCube();
        c.size = c.targetSize = sizes[k];
        updateCube(&c, DT);
        EXPECT_FLOAT_EQ(c.maxSpin, spins[k]);
    }
}

TEST_F(CubeTest, CornersFollowTheTable) {
    Cube c = unitCube();
    c.size = 10.0f;
    const float expected[8][3] = {
        {5, -5, 5}, {5, 5, 5}, {5, 5, -5}, {5, -5, -5},
        {-5, -5, 5}, {-5, 5, 5}, {-5, 5, -5}, {-5, -5, -5},
    };
    for (int k = 1; k <= 8; k++) {
        const float* e = expected[k - 1];
        expectVector(getCornerNoRotation(&c, k), e[0], e[1], e[2], 0.0f);
    }
    expectVector(getCornerNoRotation(&c, 0), 0, 0, 0, 0.0f);
    expectVector(getCornerNoRotation(&c, 9), 0, 0, 0, 0.0f);
    EXPECT_FLOAT_EQ(distToCorner(100.0f), 70.710678f);
}

TEST_F(CubeTest, WorldCornersTurnWithTheCube) {
    Cube c = unitCube();
    c.size = 10.0f;
    c.position = {100.0f, 200.0f, 300.0f};
    // A quarter turn about +y takes +x to -z.
    const float half = (float)std::sqrt(0.5);
    c.orientation = {half, 0.0f, half, 0.0f};
    expectVector(getCorner(&c, 1), 105.0f, 195.0f, 295.0f, 1e-4f);
    expectVector(getCorner(&c, 6), 105.0f, 205.0f, 305.0f, 1e-4f);
    expectVector(getCorner(&c, 0), 100.0f, 200.0f, 300.0f, 0.0f);
    expectVector(getCorner(&c, 9), 100.0f, 200.0f, 300.0f, 0.0f);
}

TEST_F(CubeTest, PointAndCornerVelocities) {
    Cube c = unitCube();
    c.size = 2.0f;
    c.position = {10.0f, 0.0f, 0.0f};
    c.velocity = {1.0f, 0.0f, 0.0f};
    c.angularVelocity = {0.0f, 1.0f, 0.0f};
    c.momentum = {3.0f, 0.0f, 0.0f};
    c.angularMomentum = {0.0f, 2.0f, 0.0f};
    // w x r with r = (1, 0, 0) is (0, 0, -1).
    expectVector(getVelocityAt(&c, {11.0f, 0.0f, 0.0f}), 1.0f, 0.0f, -1.0f, 1e-6f);
    expectVector(getVelocityAt(&c, c.position), 1.0f, 0.0f, 0.0f, 0.0f);
    // Corner 2 sits at r = (1, 1, 1).
    expectVector(getCornerVelocity(&c, 2), 2.0f, 0.0f, -1.0f, 1e-6f);
    expectVector(getCornerMomentum(&c, 2), 5.0f, 0.0f, -2.0f, 1e-6f);
}

TEST_F(CubeTest, ForcesAndImpulsesTurnAboutTheCentre) {
    Cube c = unitCube();
    c.position = {5.0f, 6.0f, 7.0f};
    applyForce(&c, {0.0f, 10.0f, 0.0f}, c.position);
    expectVector(c.force, 0.0f, 10.0f, 0.0f, 0.0f);
    expectVector(c.torque, 0.0f, 0.0f, 0.0f, 0.0f);

    applyForce(&c, {0.0f, 10.0f, 0.0f}, {6.0f, 6.0f, 7.0f});
    expectVector(c.force, 0.0f, 20.0f, 0.0f, 0.0f);
    expectVector(c.torque, 0.0f, 0.0f, 10.0f, 0.0f);

    // An impulse changes the momenta at once, with the same turning sense.
    applyImpulse(&c, {0.0f, 10.0f, 0.0f}, {6.0f, 6.0f, 7.0f});
    expectVector(c.momentum, 0.0f, 10.0f, 0.0f, 0.0f);
    expectVector(c.angularMomentum, 0.0f, 0.0f, 10.0f, 0.0f);

    updateCube(&c, DT);
    expectVector(c.force, 0.0f, 0.0f, 0.0f, 0.0f);
    expectVector(c.torque, 0.0f, 0.0f, 0.0f, 0.0f);
}

TEST_F(CubeTest, ForceAfterUpdateActsOnlyInTheNextUpdate) {
    Cube pushed = startCube();
    Cube coasting = startCube();
    updateCube(&pushed, DT);
    updateCube(&coasting, DT);

    const Vector push = {3.0e9f, 0.0f, 0.0f};
    applyForce(&pushed, push, vectorAdd(pushed.position, {0.0f, 50.0f, 0.0f}));
    expectVector(pushed.position, coasting.position.x, coasting.position.y, coasting.position.z, 0.0f);
    expectVector(pushed.velocity, coasting.velocity.x, coasting.velocity.y, coasting.velocity.z, 0.0f);

    updateCube(&pushed, DT);
    updateCube(&coasting, DT);
    // dv = F dt / m along x, and the arm above the centre spins it about -z.
    EXPECT_NEAR(pushed.velocity.x - coasting.velocity.x, 3000.0f * DT, 1e-2f);
    EXPECT_NEAR(pushed.position.x - coasting.position.x, 3000.0f * DT * DT, 1e-3f);
    EXPECT_LT(pushed.angularVelocity.z, 0.0f);
    EXPECT_NEAR(coasting.angularVelocity.z, 0.0f, 0.0f);
}

TEST_F(CubeTest, OrientationStaysUnitWhileSpinning) {
    Cube c = startCube();
    // Keys before the update turn the cube in that same update.
    c.torque = {4.0e11f, 0.0f, -2.5e11f};
    updateCube(&c, DT);
    EXPECT_GT(c.angularVelocity.x, 0.0f);
    EXPECT_LT(c.angularVelocity.z, 0.0f);
    EXPECT_NE(c.orientation.w, 1.0f);

    c.angularMomentum = vectorAdd(c.angularMomentum, {0.0f, 9.0e9f, 0.0f});
    for (int n = 0; n < 20000; n++) {
        updateCube(&c, DT);
        ASSERT_NEAR(length(c.orientation), 1.0f, 1e-5f) << "update " << n;
    }
    // The spin stays as the momentum gives it; nothing damps it.
    EXPECT_FLOAT_EQ(c.angularVelocity.y, c.angularMomentum.y * (float)c.inverseInertia);
}

TEST_F(CubeTest, DestroyIsSafeWithoutImage) {
    Cube c = {};
    destroyCube(&c);
    EXPECT_EQ(c.image, nullptr);
    destroyCube(&c);
}

}  // namespace
