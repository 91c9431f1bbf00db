// Tank list, placement, AI, driving and crushing on a hand-built flat
// terrain, without drawing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "main.h"
#include "tank.h"
#include "test_terrain.h"

namespace {

const int GRID = 256;  // 6400 world units across, edge bounds at +-1200
const int SCALE = TEST_TERRAIN_SCALE;
const float HI = 1200.0f;
const float LO = -1200.0f;
const float STEP = 1.0f / 30.0f;

Tank tankAt(int id, float x, float z) {
    Tank tank;
    initTank(&tank);
    tank.id = id;
    tank.wanderDistance = 0;
    tank.position.x = x;
    tank.position.z = z;
    return tank;
}

std::vector<int> ids(const TankList* list) {
    std::vector<int> out;
    for (const TankNode* t = list->head; t; t = t->next) out.push_back(t->id);
    return out;
}

TankNode* findTank(TankList* list, int id) {
    for (TankNode* t = list->head; t; t = t->next)
        if (t->id == id) return t;
    return nullptr;
}

class TankTest : public ::testing::Test {
protected:
    void SetUp() override {
        gameOver = 0;
        cb = {};
        cb.size = 100.0f;
        cb.targetSize = 100.0f;
        cb.mass = 1000000.0f;
        cb.orientation = {1.0f, 0.0f, 0.0f, 0.0f};
        cb.position = {0.0f, 50.0f, 0.0f};
        list = (TankList*)calloc(1, sizeof(TankList));
        shots = (ShotList*)calloc(1, sizeof(ShotList));
    }
    void TearDown() override {
        gameOver = 0;
        EXPECT_EQ(1, destroyTankList(list));
        destroyShotList(shots);
    }
    int shotCount() {
        int n = 0;
        for (Shot* s = shots->head; s; s = s->next) n++;
        return n;
    }
    TestTerrain flat{GRID};
    TankList* list = nullptr;
    ShotList* shots = nullptr;
};

}  // namespace

TEST_F(TankTest, PlacementDrawsXZThenHeadingTankAfterTankFromTheHead) {
    for (int i = 0; i < 20; i++) ASSERT_EQ(1, addTank(list, tankAt(i, 0, 0)));
    srand(1234);
    randomTankPlacement(list, GRID, GRID / 2, SCALE);
    srand(1234);
    const int w = GRID * SCALE;
    const int d = GRID / 2 * SCALE;
    int expectedId = 19;
    for (TankNode* t = list->head; t; t = t->next, expectedId--) {
        EXPECT_EQ(expectedId, t->id);
        EXPECT_FLOAT_EQ((float)(rand() % w - 0.6 * w), t->position.x);
        EXPECT_FLOAT_EQ((float)(rand() % d - 0.6 * d), t->position.z);
        EXPECT_FLOAT_EQ((float)(rand() % 360), t->targetHeading);
        EXPECT_FLOAT_EQ(0.0f, t->heading);
        EXPECT_GE(t->position.x, -3840.0f);
        EXPECT_LT(t->position.x, 2560.0f);
        EXPECT_GE(t->position.z, -1920.0f);
        EXPECT_LT(t->position.z, 1280.0f);
    }
}

TEST_F(TankTest, PlacementOverAWideWorldStaysInItsRange) {
    for (int i = 0; i < 200; i++) ASSERT_EQ(1, addTank(list, tankAt(i, 0, 0)));
    srand(99);
    randomTankPlacement(list, 400, 400, 25);  // W = 10000
    for (TankNode* t = list->head; t; t = t->next) {
        EXPECT_GE(t->position.x, -6000.0f);
        EXPECT_LE(t->position.x, 3999.0f);
        EXPECT_GE(t->targetHeading, 0.0f);
        EXPECT_LE(t->targetHeading, 359.0f);
    }
}

TEST_F(TankTest, RemoveTankUnlinksByIdOnly) {
    for (int i = 0; i < 4; i++) ASSERT_EQ(1, addTank(list, tankAt(i, 0, 0)));
    Tank probe = tankAt(7, 500, 500);
    EXPECT_EQ(0, removeTank(list, probe));
    probe.id = 2;
    EXPECT_EQ(1, removeTank(list, probe));
    EXPECT_EQ((std::vector<int>{3, 1, 0}), ids(list));
    probe.id = 0;
    EXPECT_EQ(1, removeTank(list, probe));
    probe.id = 3;
    EXPECT_EQ(1, removeTank(list, probe));
    EXPECT_EQ((std::vector<int>{1}), ids(list));
}

TEST_F(TankTest, EngagesStrictlyWithin500) {
    cb.position = {0.0f, 50.0f, 0.0f};
    Tank near = tankAt(0, 499.9f, 0);
    srand(5);
    updateTankAI(&near, &cb, shots, 0.0f);
    EXPECT_EQ(-1, near.wanderDistance);
    EXPECT_FLOAT_EQ(0.0f, near.targetSpeed);
    EXPECT_FLOAT_EQ(180.0f, near.targetHeading);  // body +x toward the cube

    Tank far = tankAt(1, 0, 500.0f);
    far.targetSpeed = 0.0f;
    srand(5);
    const int leg = rand() % 2000 + 500;
    const int heading = rand() % 360 - 180;
    srand(5);
    updateTankAI(&far, &cb, shots, 0.0f);
    EXPECT_EQ(leg, far.wanderDistance);
    EXPECT_FLOAT_EQ((float)heading, far.targetHeading);
    EXPECT_FLOAT_EQ(100.0f, far.targetSpeed);
}

TEST_F(TankTest, FirstShotOnlyAfterTwoSecondsThenEveryTwoSeconds) {
    Tank tank = tankAt(0, 300, 300);
    tank.position.y = 20.0f;
    std::vector<float> fired;
    for (int frame = 1; frame <= 40; frame++) {
        const float time = frame * 0.25f;
        const int before = shotCount();
        updateTankAI(&tank, &cb, shots, time);
        if (shotCount() > before) fired.push_back(time);
    }
    EXPECT_EQ((std::vector<float>{2.25f, 4.5f, 6.75f, 9.0f}), fired);
    EXPECT_FLOAT_EQ(9.0f, tank.lastShotTime);

    const Shot* shell = shots->head;
    ASSERT_NE(nullptr, shell);
    EXPECT_FLOAT_EQ(310.0f, shell->position.x);
    EXPECT_FLOAT_EQ(53.0f, shell->position.y);
    EXPECT_FLOAT_EQ(300.0f, shell->position.z);
    EXPECT_FLOAT_EQ(-300.0f, shell->velocity.x);
    EXPECT_FLOAT_EQ(80.0f, shell->velocity.y);
    EXPECT_FLOAT_EQ(-300.0f, shell->velocity.z);
    EXPECT_EQ(135, shell->angle);  // (cos 135, -sin 135) runs along the flight
}

TEST_F(TankTest, NoEngagingOrFiringOnceTheGameIsOver) {
    gameOver = 1;
    Tank tank = tankAt(0, 100, 0);
    for (int frame = 1; frame <= 100; frame++) updateTankAI(&tank, &cb, shots, frame * 0.5f);
    EXPECT_EQ(0, shotCount());
    EXPECT_GT(tank.wanderDistance, 0);
    EXPECT_FLOAT_EQ(100.0f, tank.targetSpeed);
}

TEST_F(TankTest, EdgeHeadingsPointBackInsideAndZWinsAtACorner) {
    struct Case {
        float x, z, heading;
    } cases[] = {
        {HI + 1, 0, 180}, {LO - 1, 0, 0}, {0, HI + 1, 90}, {0, LO - 1, 270},
        {HI + 1, HI + 1, 90}, {LO - 1, LO - 1, 270}, {HI + 1, LO - 1, 270}, {HI, LO, 42},
    };
    for (const Case& c : cases) {
        Tank tank = tankAt(0, c.x, c.z);
        tank.heading = 42.0f;
        tank.targetHeading = 42.0f;
        updateTankPosition(&tank, 0.0f, GRID, SCALE);
        // Edge targets are taken the short way round from the current heading.
        EXPECT_FLOAT_EQ(c.heading, std::fmod(tank.targetHeading + 720.0f, 360.0f)) << c.x << ", " << c.z;
        EXPECT_LE(std::fabs(tank.targetHeading - tank.heading), 180.0f) << c.x << ", " << c.z;
    }
    // A wander leg that drew the raw edge value is still turned the short way.
    Tank tank = tankAt(0, LO - 1, 0);
    tank.heading = 300.0f;
    tank.targetHeading = 0.0f;
    updateTankPosition(&tank, 0.0f, GRID, SCALE);
    EXPECT_FLOAT_EQ(360.0f, tank.targetHeading);
}

TEST_F(TankTest, TanksAtTheNegativeCornerStayOnTheLandscapeForTenMinutes) {
    cb.position = {0.0f, 50.0f, 100000.0f};  // far from every tank
    const float edge = GRID * SCALE * 0.5f;
    for (unsigned seed = 1; seed <= 20; seed++) {
        srand(seed);
        ASSERT_EQ(1, addTank(list, tankAt((int)seed, LO - 300, LO - 300)));
    }
    for (int frame = 0; frame < 10 * 60 * 30; frame++) {
        updateTank(list, &cb, STEP, &flat.t, shots, frame * STEP);
    }
    for (TankNode* t = list->head; t; t = t->next) {
        EXPECT_LT(std::fabs(t->position.x), edge) << "tank " << t->id;
        EXPECT_LT(std::fabs(t->position.z), edge) << "tank " << t->id;
    }
}

TEST_F(TankTest, TanksBeyondEitherZBoundComeBackOntoTheLandscape) {
    srand(7);
    cb.position = {0.0f, 50.0f, 100000.0f};  // far from every tank
    ASSERT_EQ(1, addTank(list, tankAt(0, 0, HI + 500)));
    ASSERT_EQ(1, addTank(list, tankAt(1, 0, LO - 500)));
    ASSERT_EQ(1, addTank(list, tankAt(2, HI + 500, HI + 500)));
    const float edge = GRID * SCALE * 0.5f;
    std::vector<bool> cameInside(3, false);
    for (int frame = 0; frame < 30 * 30; frame++) {
        updateTank(list, &cb, STEP, &flat.t, shots, frame * STEP);
        for (TankNode* t = list->head; t; t = t->next) {
            ASSERT_LT(std::fabs(t->position.x), edge) << "tank " << t->id << " frame " << frame;
            ASSERT_LT(std::fabs(t->position.z), edge) << "tank " << t->id << " frame " << frame;
            if (t->position.z > LO && t->position.z < HI) cameInside[t->id] = true;
        }
    }
    EXPECT_EQ(3u, ids(list).size());
    EXPECT_EQ((std::vector<bool>{true, true, true}), cameInside);
}

TEST_F(TankTest, EasingAndDriving) {
    Tank tank = tankAt(0, 0, 0);
    tank.wanderDistance = 1000;
    tank.heading = 0.0f;
    tank.targetHeading = 100.0f;
    tank.speed = 100.0f;
    tank.targetSpeed = 0.0f;
    updateTankPosition(&tank, 0.1f, GRID, SCALE);
    EXPECT_FLOAT_EQ(100.0f, tank.turnRate);
    EXPECT_FLOAT_EQ(10.0f, tank.heading);
    EXPECT_FLOAT_EQ(-150.0f, tank.acceleration);
    EXPECT_FLOAT_EQ(85.0f, tank.speed);
    const double radians = 10.0 * M_PI / 180.0;
    EXPECT_NEAR(8.5 * std::cos(radians), tank.position.x, 1e-4);
    EXPECT_NEAR(-8.5 * std::sin(radians), tank.position.z, 1e-4);
    EXPECT_FLOAT_EQ(50.0f, tank.position.y);
    EXPECT_EQ(991, tank.wanderDistance);  // 1000 - 8.5, truncated
}

TEST_F(TankTest, AtTargetTheRatesOfTheLastChangeAreKept) {
    Tank tank = tankAt(0, 0, 0);
    tank.heading = tank.targetHeading = 30.0f;
    tank.speed = tank.targetSpeed = 60.0f;
    tank.turnRate = 3.0f;
    tank.acceleration = 4.0f;
    updateTankPosition(&tank, 0.1f, GRID, SCALE);
    EXPECT_FLOAT_EQ(30.0f, tank.heading);
    EXPECT_FLOAT_EQ(60.0f, tank.speed);
    EXPECT_FLOAT_EQ(3.0f, tank.turnRate);
    EXPECT_FLOAT_EQ(4.0f, tank.acceleration);
}

TEST_F(TankTest, CrushBoxIsHalfTheSizeAcrossAndTheSizeUpAndDown) {
    const Vector inside[] = {{49.9f, 50, 0}, {-49.9f, 50, 0}, {0, 50, 49.9f}, {0, 149.9f, 0}, {0, -49.9f, 0}};
    const Vector outside[] = {{50.5f, 50, 0}, {0, 50, -50.5f}, {0, 150.5f, 0}, {0, -50.5f, 0}};
    for (const Vector& p : outside) {
        Tank tank = tankAt(0, p.x, p.z);
        tank.position.y = p.y;
        EXPECT_EQ(0, checkTankCollision(tank, &cb, &flat.t)) << p.x << " " << p.y << " " << p.z;
    }
    EXPECT_EQ(0, cb.points);
    EXPECT_FLOAT_EQ(100.0f, cb.targetSize);
    for (const Vector& p : inside) {
        Tank tank = tankAt(0, p.x, p.z);
        tank.position.y = p.y;
        EXPECT_EQ(1, checkTankCollision(tank, &cb, &flat.t)) << p.x << " " << p.y << " " << p.z;
    }
    EXPECT_EQ(250, cb.points);
}

TEST_F(TankTest, SeveralTanksCrushedInOneFrame) {
    cb.size = 240.0f;  // room for three craters that do not overlap
    cb.targetSize = 240.0f;
    const float mass = cb.mass;
    ASSERT_EQ(1, addTank(list, tankAt(0, -100, -100)));
    ASSERT_EQ(1, addTank(list, tankAt(1, 100, -100)));
    ASSERT_EQ(1, addTank(list, tankAt(2, 600, 0)));  // out of reach
    ASSERT_EQ(1, addTank(list, tankAt(3, 0, 100)));
    // A zero step leaves every tank where it stands.
    updateTank(list, &cb, 0.0f, &flat.t, shots, 0.0f);

    EXPECT_EQ((std::vector<int>{2}), ids(list));
    EXPECT_EQ(150, cb.points);
    EXPECT_FLOAT_EQ(270.0f, cb.targetSize);
    EXPECT_FLOAT_EQ(-10.0f, flat.heightNear(-100, -100));
    EXPECT_FLOAT_EQ(-10.0f, flat.heightNear(100, -100));
    EXPECT_FLOAT_EQ(-10.0f, flat.heightNear(0, 100));
    EXPECT_FLOAT_EQ(0.0f, flat.heightNear(600, 0));
    // Three kicks of (0, 3000 m, 0) at levers (-100, 0, -100), (100, 0, -100), (0, 0, 100).
    const float kick = mass * 3000.0f;
    EXPECT_FLOAT_EQ(0.0f, cb.force.x);
    EXPECT_FLOAT_EQ(3 * kick, cb.force.y);
    EXPECT_FLOAT_EQ(100.0f * kick, cb.torque.x);
    EXPECT_FLOAT_EQ(0.0f, cb.torque.z);
}

TEST_F(TankTest, WalkGoesOnAfterACrushedTank) {
    ASSERT_EQ(1, addTank(list, tankAt(0, 1000, 0)));
    ASSERT_EQ(1, addTank(list, tankAt(1, 10, 10)));  // under the cube
    ASSERT_EQ(1, addTank(list, tankAt(2, -1000, 0)));
    srand(3);
    updateTank(list, &cb, STEP, &flat.t, shots, 0.0f);
    EXPECT_EQ((std::vector<int>{2, 0}), ids(list));
    EXPECT_EQ(50, cb.points);
    // Both survivors were updated: each drew a wander leg and drove one step.
    const float startX[] = {1000.0f, 0.0f, -1000.0f};
    for (int id : {0, 2}) {
        TankNode* tank = findTank(list, id);
        ASSERT_NE(nullptr, tank);
        EXPECT_GE(tank->wanderDistance, 496);
        EXPECT_NEAR(100.0f * STEP, pithag(tank->position.x - startX[id], tank->position.z), 1e-3);
    }
}

TEST(TankListLifetime, DestroyIsSafeOnAZeroFilledRecord) {
    TankList* list = (TankList*)calloc(1, sizeof(TankList));
    EXPECT_EQ(1, destroyTankList(list));
}
