// Shell list, ballistics and hits on the cube, without drawing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "shot.h"

namespace {

Shot makeShot(Vector position, Vector velocity) {
    Shot shot = {};
    shot.position = position;
    shot.velocity = velocity;
    return shot;
}

// A resting cube of the start size and mass, centred on the origin.
Cube restingCube() {
    Cube cube = {};
    cube.size = 100.0f;
    cube.targetSize = 100.0f;
    cube.mass = 1000000.0f;
    cube.orientation = {1.0f, 0.0f, 0.0f, 0.0f};
    return cube;
}

std::vector<int> ids(const ShotList* list) {
    std::vector<int> out;
    for (const Shot* s = list->head; s; s = s->next) out.push_back(s->id);
    return out;
}

class ShotListTest : public ::testing::Test {
protected:
    void SetUp() override { list = (ShotList*)calloc(1, sizeof(ShotList)); }
    void TearDown() override { EXPECT_EQ(1, destroyShotList(list)); }
    void addShots(int n) {
        for (int i = 0; i < n; i++) ASSERT_EQ(1, addShot(list, makeShot({(float)i, 0, 0}, {0, 0, 0})));
    }
    ShotList* list = nullptr;
};

}  // namespace

TEST_F(ShotListTest, FirstShotGetsIdZeroAndBecomesHead) {
    Shot shot = makeShot({1, 2, 3}, {4, 5, 6});
    shot.id = 77;
    shot.angle = 45;
    ASSERT_EQ(1, addShot(list, shot));
    ASSERT_NE(nullptr, list->head);
    EXPECT_EQ(0, list->head->id);
    EXPECT_EQ(nullptr, list->head->next);
    EXPECT_EQ(1, list->nextId);
    EXPECT_FLOAT_EQ(2.0f, list->head->position.y);
    EXPECT_FLOAT_EQ(6.0f, list->head->velocity.z);
    EXPECT_EQ(45, list->head->angle);
}

TEST_F(ShotListTest, NewestFirstAndIdsNeverReused) {
    addShots(3);
    EXPECT_EQ((std::vector<int>{2, 1, 0}), ids(list));
    Shot first = {};
    first.id = 2;
    ASSERT_EQ(1, removeShot(list, &first));
    addShots(1);
    EXPECT_EQ((std::vector<int>{3, 1, 0}), ids(list));
}

TEST_F(ShotListTest, RemovalKeepsTheRestInOrder) {
    addShots(5);  // 4 3 2 1 0
    Shot probe = {};
    probe.id = 4;
    EXPECT_EQ(1, removeShot(list, &probe));
    EXPECT_EQ((std::vector<int>{3, 2, 1, 0}), ids(list));
    probe.id = 2;
    EXPECT_EQ(1, removeShot(list, &probe));
    EXPECT_EQ((std::vector<int>{3, 1, 0}), ids(list));
    probe.id = 0;
    EXPECT_EQ(1, removeShot(list, &probe));
    EXPECT_EQ((std::vector<int>{3, 1}), ids(list));
}

TEST_F(ShotListTest, MissingIdReturnsZeroAndChangesNothing) {
    addShots(2);
    Shot probe = {};
    probe.id = 9;
    EXPECT_EQ(0, removeShot(list, &probe));
    EXPECT_EQ((std::vector<int>{1, 0}), ids(list));
    ShotList empty = {};
    EXPECT_EQ(0, removeShot(&empty, &probe));
}

TEST(ShotFlight, OneStepAppliesGravityThenDoubledHorizontalMotion) {
    ShotList* list = (ShotList*)calloc(1, sizeof(ShotList));
    Cube cube = restingCube();
    cube.position = {0, 5000, 0};
    ASSERT_EQ(1, addShot(list, makeShot({0, 100, 0}, {100, 80, 0})));
    updateShot(list, &cube, 0.1f, 256, 256, 25);
    ASSERT_NE(nullptr, list->head);
    EXPECT_FLOAT_EQ(60.0f, list->head->velocity.y);
    EXPECT_FLOAT_EQ(20.0f, list->head->position.x);
    EXPECT_FLOAT_EQ(106.0f, list->head->position.y);
    EXPECT_FLOAT_EQ(0.0f, list->head->position.z);
    EXPECT_FLOAT_EQ(100.0f, cube.targetSize);
    destroyShotList(list);
}

TEST(ShotHit, BoxEdgesAreTestedInWholeUnitsOnEveryAxis) {
    Cube cube = restingCube();
    const float inside = 49.9f;
    const float outside = 50.2f;
    const Vector offsets[] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (const Vector& o : offsets) {
        Shot near = makeShot({o.x * inside, o.y * inside, o.z * inside}, {0, -10, 0});
        Shot far = makeShot({o.x * outside, o.y * outside, o.z * outside}, {0, -10, 0});
        EXPECT_EQ(1, checkShotCollision(&near, &cube)) << o.x << " " << o.y << " " << o.z;
        EXPECT_EQ(0, checkShotCollision(&far, &cube)) << o.x << " " << o.y << " " << o.z;
    }
    EXPECT_FLOAT_EQ(100.0f - 6 * 7.5f, cube.targetSize);
}

TEST(ShotHit, PushAlongTheFlightAtTheImpactPoint) {
    Cube cube = restingCube();
    Shot shot = makeShot({10, 0, 0}, {0, -30, 40});
    ASSERT_EQ(1, checkShotCollision(&shot, &cube));
    const float push = 1000000.0f * 2750.0f;
    EXPECT_FLOAT_EQ(0.0f, cube.force.x);
    EXPECT_FLOAT_EQ(-0.6f * push, cube.force.y);
    EXPECT_FLOAT_EQ(0.8f * push, cube.force.z);
    // Lever (10, 0, 0) across the push gives torque (0, -10 fz, 10 fy).
    EXPECT_FLOAT_EQ(-10.0f * 0.8f * push, cube.torque.y);
    EXPECT_FLOAT_EQ(10.0f * -0.6f * push, cube.torque.z);
}

TEST(ShotHit, TwoHitsInOneStepShrinkTheTargetBy15AndLeaveTheList) {
    ShotList* list = (ShotList*)calloc(1, sizeof(ShotList));
    Cube cube = restingCube();
    ASSERT_EQ(1, addShot(list, makeShot({0, 1000, 0}, {0, 0, 0})));  // stays in flight
    ASSERT_EQ(1, addShot(list, makeShot({-20, 10, 0}, {10, 0, 0})));
    ASSERT_EQ(1, addShot(list, makeShot({0, 10, 20}, {0, 0, -10})));
    updateShot(list, &cube, 0.01f, 256, 256, 25);
    EXPECT_FLOAT_EQ(85.0f, cube.targetSize);
    EXPECT_EQ((std::vector<int>{0}), ids(list));
    destroyShotList(list);
}

TEST(ShotListLifetime, DestroyIsSafeOnAZeroFilledRecord) {
    ShotList* list = (ShotList*)calloc(1, sizeof(ShotList));
    EXPECT_EQ(1, destroyShotList(list));
}
