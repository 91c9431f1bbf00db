// The cube against the landscape: contact forces, which corners get them,
// dents, and a long fall that has to come to rest, on hand-built terrains.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "animate.h"
#include "cube.h"
#include "main.h"
#include "test_terrain.h"

namespace {

const float DT = 1.0f / 60.0f;
const float MASS = startCube().mass;

std::vector<float> allHeights() {
    std::vector<float> all;
    for (int i = 0; i < ter.width; i++) all.insert(all.end(), ter.heights[i], ter.heights[i] + ter.height);
    return all;
}

float cornerDepth(int corner) {
    Vector p = getCorner(&cb, corner);
    return p.y - getHeightAt(&ter, p.x, p.z);
}

bool isFinite(Vector v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

float length(Vector v) {
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

// r x (0, f, 0)
Vector torqueOfLift(Vector r, float f) {
    return {-r.z * f, 0.0f, r.x * f};
}

void expectVector(Vector actual, Vector expected, float relative) {
    float tolerance = relative * (length(expected) + 1.0f);
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

class ContactTest : public ::testing::Test {
protected:
    void SetUp() override {
        cb = startCube();
        cb.momentum = {0.0f, 0.0f, 0.0f};
        TERRAIN_DEFORMING = 1;
        gameOver = 0;
    }
    void TearDown() override {
        releaseTestTerrain(&ter);
        cb = Cube{};
        TERRAIN_DEFORMING = 0;
        gameOver = 0;
    }

    // A level-grounded cube at (0, 500, 0) turned a quarter about -z, so that
    // corners 1 to 4 hang at the bottom over four different grid points;
    // under each, a 3 x 3 flat patch puts the corner at the given depth.
    void placeTiltedCube(const float depths[4], Vector velocity) {
        buildTestTerrain(&ter, 64, levelField(0.0f));
        const float half = (float)std::sqrt(0.5);
        cb.position = {0.0f, 500.0f, 0.0f};
        cb.orientation = {half, 0.0f, 0.0f, -half};
        cb.velocity = velocity;
        for (int k = 1; k <= 4; k++) {
            Vector p = getCorner(&cb, k);
            int ci = worldToTerrainX(&ter, p.x);
            int cj = worldToTerrainZ(&ter, p.z);
            for (int i = ci - 1; i <= ci + 1; i++)
                for (int j = cj - 1; j <= cj + 1; j++) ter.heights[i][j] = p.y - depths[k - 1];
            patchCentres[k - 1][0] = ci;
            patchCentres[k - 1][1] = cj;
        }
        computeTerrainNormals(&ter);
        for (int k = 1; k <= 4; k++) ASSERT_NEAR(cornerDepth(k), depths[k - 1], 1e-3f) << "corner " << k;
    }

    // The spring alone, for the listed corners and their depths.
    void expectRestingContacts(std::vector<std::pair<int, float>> contacts) {
        Vector force = {0.0f, 0.0f, 0.0f};
        Vector torque = {0.0f, 0.0f, 0.0f};
        for (auto [corner, depth] : contacts) {
            float lift = 12.0f * MASS * depth;
            Vector r = vectorSubtract(getCorner(&cb, corner), cb.position);
            force.y += lift;
            torque = vectorAdd(torque, torqueOfLift(r, lift));
        }
        expectVector(cb.force, force, 1e-5f);
        expectVector(cb.torque, torque, 1e-5f);
    }

    int patchCentres[4][2];
};

TEST_F(ContactTest, SinkingCornerGetsDampingSpringAndPenetrationDamping) {
    Cube c = startCube();
    Vector p = vectorAdd(c.position, {50.0f, -50.0f, 50.0f});
    const float s = 100.0f, q = 5.0f;
    handleCollision(&c, {0.0f, 1.0f, 0.0f}, {0.0f, -s, 0.0f}, p, q);
    expectVector(c.force, {0.0f, MASS * (8 * s + 12 * q + 0.1f * s * q), 0.0f}, 1e-6f);
    expectVector(c.torque, torqueOfLift({50.0f, -50.0f, 50.0f}, c.force.y), 1e-6f);
}

TEST_F(ContactTest, RisingCornerIsPulledBack) {
    Cube c = startCube();
    const float s = 100.0f, q = 5.0f;
    handleCollision(&c, {0.0f, 1.0f, 0.0f}, {0.0f, s, 0.0f}, c.position, q);
    // No approach damping; the penetration term pulls toward the ground.
    expectVector(c.force, {0.0f, MASS * (12 * q - 0.1f * s * q), 0.0f}, 1e-6f);
}

TEST_F(ContactTest, SlidingCornerIsDragged) {
    Cube c = startCube();
    const float w = 40.0f, q = 5.0f;
    handleCollision(&c, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, -w}, c.position, q);
    expectVector(c.force, {0.0f, MASS * 12 * q, 6 * MASS * w}, 1e-6f);
}

TEST_F(ContactTest, RestingCornerGetsTheSpringAlongTheNormal) {
    Cube c = startCube();
    const Vector n = {0.6f, 0.8f, 0.0f};
    handleCollision(&c, n, {0.0f, 0.0f, 0.0f}, c.position, 7.0f);
    expectVector(c.force, vectorMultiply(n, 7.0f * 12.0f * MASS), 1e-6f);
    expectVector(c.torque, {0.0f, 0.0f, 0.0f}, 1e-6f);
}

TEST_F(ContactTest, CubeAboveTheGroundIsLeftAlone) {
    buildTestTerrain(&ter, 64, levelField(0.0f));
    const std::vector<float> before = allHeights();
    cb.position = {0.0f, 1000.0f, 0.0f};
    cb.velocity = {0.0f, -2000.0f, 0.0f};
    collideCubeTerrain();
    expectVector(cb.force, {0.0f, 0.0f, 0.0f}, 0.0f);
    expectVector(cb.torque, {0.0f, 0.0f, 0.0f}, 0.0f);
    EXPECT_EQ(allHeights(), before);

    // Corners exactly on the ground neither dent nor push.
    cb.position = {0.0f, 50.0f, 0.0f};
    collideCubeTerrain();
    expectVector(cb.force, {0.0f, 0.0f, 0.0f}, 0.0f);
    EXPECT_EQ(allHeights(), before);
}

TEST_F(ContactTest, DeepestCornerAndTheRunningMinimumBeforeItPush) {
    const float depths[4] = {-10.0f, -30.0f, -20.0f, 5.0f};
    placeTiltedCube(depths, {0.0f, 0.0f, 0.0f});
    collideCubeTerrain();
    expectRestingContacts({{2, 30.0f}, {1, 10.0f}});
}

TEST_F(ContactTest, DeepestFirstCornerIsTheOnlyContact) {
    const float depths[4] = {-30.0f, -10.0f, -20.0f, -5.0f};
    placeTiltedCube(depths, {0.0f, 0.0f, 0.0f});
    collideCubeTerrain();
    expectRestingContacts({{1, 30.0f}});
}

TEST_F(ContactTest, TiedDepthsGoToTheLowerCorner) {
    const float depths[4] = {-10.0f, -20.0f, -20.0f, 5.0f};
    placeTiltedCube(depths, {0.0f, 0.0f, 0.0f});
    collideCubeTerrain();
    expectRestingContacts({{2, 20.0f}, {1, 10.0f}});
}

TEST_F(ContactTest, HardLandingDentsUnderEverySunkenCorner) {
    const float depths[4] = {-10.0f, -30.0f, -20.0f, 5.0f};
    const Vector fall = {0.0f, -1000.0f, 0.0f};

    TERRAIN_DEFORMING = 0;
    placeTiltedCube(depths, fall);
    const std::vector<float> before = allHeights();
    collideCubeTerrain();
    EXPECT_EQ(allHeights(), before);
    const Vector force = cb.force, torque = cb.torque;
    releaseTestTerrain(&ter);

    TERRAIN_DEFORMING = 1;
    cb.force = cb.torque = {0.0f, 0.0f, 0.0f};
    placeTiltedCube(depths, fall);
    collideCubeTerrain();
    // Depths were taken before the dents: the same forces.
    expectVector(cb.force, force, 1e-6f);
    expectVector(cb.torque, torque, 1e-6f);
    // A fall of 1000 lowers 4 x 4 points by 8, also under corner 3,
    // which gets no force; corner 4 is above the ground.
    for (int k = 0; k < 4; k++) {
        const int ci = patchCentres[k][0], cj = patchCentres[k][1];
        const float expected = k < 3 ? before[ci * ter.height + cj] - 8.0f : before[ci * ter.height + cj];
        EXPECT_NEAR(ter.heights[ci][cj], expected, 1e-3f) << "corner " << k + 1;
    }
}

// A fall from the start position onto a landscape has to come to rest on it,
// at 60 frames a second and at the longest step the frame timer lets through.
class SettlingTest : public ::testing::TestWithParam<std::tuple<const char*, float>> {
protected:
    void SetUp() override {
        TERRAIN_DEFORMING = 1;
        gameOver = 0;
    }
    void TearDown() override {
        releaseTestTerrain(&ter);
        cb = Cube{};
        TERRAIN_DEFORMING = 0;
    }
};

TEST_P(SettlingTest, FallingCubeComesToRest) {
    const std::string shape = std::get<0>(GetParam());
    const float step = std::get<1>(GetParam());
    if (shape == "flat") {
        buildTestTerrain(&ter, 320, levelField(0.0f));
    } else {
        buildTestTerrain(&ter, 320, [](int i, int j) {
            return (float)(200.0 + 80.0 * std::sin(i / 9.0) * std::cos(j / 13.0) + 40.0 * std::sin((i + j) / 23.0));
        });
    }
    cb = startCube();

    const int frames = (int)(60.0f / step);
    const int lastTenSeconds = (int)(10.0f / step);
    float deepestLate = 0.0f, fastestLate = 0.0f, spinLate = 0.0f;
    for (int frame = 0; frame < frames; frame++) {
        updateCube(&cb, step);
        collideCubeTerrain();
        ASSERT_TRUE(isFinite(cb.position) && isFinite(cb.momentum) && isFinite(cb.angularMomentum))
            << "frame " << frame;
        const Quaternion q = cb.orientation;
        ASSERT_NEAR(std::sqrt(q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z), 1.0f, 1e-5f) << "frame " << frame;
        if (frame < frames - lastTenSeconds) continue;
        // The last ten seconds.
        for (int k = 1; k <= 8; k++) deepestLate = std::fmin(deepestLate, cornerDepth(k));
        fastestLate = std::fmax(fastestLate, length(cb.velocity));
        spinLate = std::fmax(spinLate, length(cb.angularVelocity));
    }
    EXPECT_EQ(gameOver, 0);
    // Landing comes in at over 1000 units a second; the two-corner contact
    // leaves only a slight rocking.
    EXPECT_LT(fastestLate, 10.0f);
    EXPECT_LT(spinLate, 0.5f);
    // Resting on the springs: a little below the ground, never far.
    EXPECT_GT(deepestLate, -40.0f);
    EXPECT_LT(deepestLate, 0.0f);
}

INSTANTIATE_TEST_SUITE_P(Landscapes, SettlingTest,
                         ::testing::Combine(::testing::Values("flat", "hilly"), ::testing::Values(DT, MAX_STEP)));

}  // namespace
