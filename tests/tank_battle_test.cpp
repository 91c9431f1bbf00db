// A headless battle: tanks ringed around a resting cube shell it with the
// real cube, tank and shot updates until it shrinks below 50 and the game
// ends; from then on no tank fires.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "main.h"
#include "tank.h"

namespace {

const int GRID = 256;
const int SCALE = 25;
const float STEP = 1.0f / 30.0f;
const int TANKS = 8;
const float RING = 400.0f;
const Vector CUBE_REST = {0.0f, 50.0f, 0.0f};

// Flat ground at height 0 filling the given record; the cube rests on it,
// centre 50 up.
struct FlatGround {
    explicit FlatGround(Terrain* terrain)
        : heights(GRID, std::vector<float>(GRID, 0.0f)),
          normals(GRID, std::vector<float>(3 * GRID, 0.0f)),
          colours(GRID, std::vector<float>(3 * GRID, 0.0f)) {
        *terrain = {};
        terrain->width = terrain->height = GRID;
        terrain->scale = (float)SCALE;
        terrain->inverseScale = 1.0f / SCALE;
        terrain->worldWidth = terrain->worldDepth = (float)(GRID * SCALE);
        for (int i = 0; i < GRID; i++) {
            for (int j = 0; j < GRID; j++) normals[i][3 * j + 1] = 1.0f;
            rows[0].push_back(heights[i].data());
            rows[1].push_back(normals[i].data());
            rows[2].push_back(colours[i].data());
        }
        terrain->heights = rows[0].data();
        terrain->normals = rows[1].data();
        terrain->colours = rows[2].data();
    }
    std::vector<std::vector<float>> heights, normals, colours;
    std::vector<float*> rows[3];
};

// The cube's start values, resting rather than launched.
void buildRestingCube(Cube* cube) {
    *cube = {};
    cube->size = 100.0f;
    cube->targetSize = 100.0f;
    cube->maxSpin = 4.0f;
    cube->heading = 90.1f;
    cube->mass = 1000000.0f;
    cube->inverseMass = 1.0f / cube->mass;
    cube->inertia = (double)cube->mass * cube->size * cube->size / 6.0;
    cube->inverseInertia = 1.0 / cube->inertia;
    cube->position = CUBE_REST;
    cube->orientation = {1.0f, 0.0f, 0.0f, 0.0f};
}

// Holds the cube where it rests, as the ground contact would.
void holdCube(Cube* cube) {
    cube->position = CUBE_REST;
    cube->momentum = {0.0f, 0.0f, 0.0f};
    cube->velocity = {0.0f, 0.0f, 0.0f};
}

// What drawing writes back each frame: every tank stands on the ground.
void groundTanks(TankList* list, Terrain* terrain) {
    for (TankNode* t = list->head; t; t = t->next) t->position.y = getHeightAt(terrain, t->position.x, t->position.z);
}

class TankBattle : public ::testing::Test {
protected:
    void SetUp() override {
        srand(11);
        gameOver = 0;
        buildRestingCube(&cb);
        tankLst = (TankList*)calloc(1, sizeof(TankList));
        shotLst = (ShotList*)calloc(1, sizeof(ShotList));
        for (int i = 0; i < TANKS; i++) {
            Tank tank;
            initTank(&tank);
            tank.id = i;
            tank.wanderDistance = 0;
            tank.speed = 0.0f;  // already halted around the cube
            const double angle = 2.0 * M_PI * i / TANKS;
            tank.position.x = (float)(RING * std::cos(angle));
            tank.position.z = (float)(RING * std::sin(angle));
            ASSERT_EQ(1, addTank(tankLst, tank));
        }
    }
    void TearDown() override {
        destroyTankList(tankLst);
        destroyShotList(shotLst);
        tankLst = nullptr;
        shotLst = nullptr;
        gameOver = 0;
    }
    // One frame in the timer's order: cube, tanks, shots.
    void playFrame() {
        updateCube(&cb, STEP);
        holdCube(&cb);
        updateTank(tankLst, &cb, STEP, &ter, shotLst, time);
        updateShot(shotLst, &cb, STEP, ter.width, ter.height, (int)ter.scale);
        groundTanks(tankLst, &ter);
        time += STEP;
    }
    FlatGround ground{&ter};
    float time = 0.0f;
};

int tankCount(const TankList* list) {
    int n = 0;
    for (const TankNode* t = list->head; t; t = t->next) n++;
    return n;
}

}  // namespace

TEST_F(TankBattle, ShellsShrinkTheCubeUntilTheGameEndsThenTheTanksCeaseFire) {
    const int frameLimit = (int)(60.0f / STEP);
    int frame = 0;
    while (!gameOver && frame < frameLimit) {
        playFrame();
        frame++;
    }
    ASSERT_EQ(1, gameOver) << "size " << cb.size << " after " << frame << " frames";
    EXPECT_LT(cb.size, 50.0f);
    EXPECT_LE(cb.targetSize, 0.0f);
    EXPECT_GE(shotLst->nextId, 7);  // at least seven hits of 7.5 from 100
    EXPECT_EQ(0, cb.points);         // no tank came under the cube
    EXPECT_EQ(TANKS, tankCount(tankLst));

    const int firedBeforeTheEnd = shotLst->nextId;
    for (int i = 0; i < (int)(20.0f / STEP); i++) playFrame();
    EXPECT_EQ(firedBeforeTheEnd, shotLst->nextId);
    EXPECT_EQ(1, gameOver);
    for (TankNode* t = tankLst->head; t; t = t->next) EXPECT_NE(-1, t->wanderDistance);
}
