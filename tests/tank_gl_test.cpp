// Tank list construction, tank and shell drawing in a real OpenGL context
// (run under Xvfb).
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "gl_context.h"
#include "main.h"
#include "scratch_dir.h"
#include "tank.h"
#include "test_terrain.h"

// This test links with malloc wrapped, so a chosen allocation can fail.
static size_t failingSize = 0;
static int failingCountdown = 0;

extern "C" void* __real_malloc(size_t size);
extern "C" void* __wrap_malloc(size_t size) {
    if (failingCountdown > 0 && size == failingSize && --failingCountdown == 0) return nullptr;
    return __real_malloc(size);
}

namespace {

const int GRID = 64;  // 1600 world units across
const int WINDOW_W = 320;
const int WINDOW_H = 240;

class TankGlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(openGlContext(WINDOW_W, WINDOW_H)) << "needs a display (run under xvfb-run)";
        list = (TankList*)calloc(1, sizeof(TankList));
        cube = {};
        cube.position = {0.0f, 0.0f, 1000.0f};
        cube.size = 100.0f;
    }
    void TearDown() override { destroyTankList(list); }
    int makeList(int count) {
        ScratchDir dir;
        writeTga(dir.file("TexTank.tga"), 8, 8, 24, [](int, int k) { return k == 1 ? 200 : 0; });
        return makeTankList(list, count);
    }
    std::vector<int> ids() {
        std::vector<int> out;
        for (TankNode* t = list->head; t; t = t->next) out.push_back(t->id);
        return out;
    }
    TankList* list = nullptr;
    Cube cube;
};

}  // namespace

TEST_F(TankGlTest, MakeTankListBuildsModelsTextureAndTanksLastIdFirst) {
    testing::internal::CaptureStderr();
    ASSERT_EQ(1, makeList(3));
    EXPECT_EQ("Loading Tank texture...\n   ...done\nInitialising texture...\n   ...done\n",
              testing::internal::GetCapturedStderr());
    EXPECT_EQ((std::vector<int>{2, 1, 0}), ids());
    EXPECT_TRUE(glIsList(list->bodyList));
    EXPECT_TRUE(glIsList(list->turretList));
    EXPECT_NE(list->bodyList, list->turretList);
    EXPECT_TRUE(glIsTexture(list->texture));
    ASSERT_NE(nullptr, list->image);
    EXPECT_EQ(TGA_LOADED, list->image->status);
    for (TankNode* t = list->head; t; t = t->next) {
        EXPECT_FLOAT_EQ(50.0f, t->position.y);
        EXPECT_FLOAT_EQ(100.0f, t->speed);
        EXPECT_FLOAT_EQ(10.0f, t->scale);
    }
    EXPECT_EQ(GL_NO_ERROR, glGetError());
}

TEST_F(TankGlTest, ATankWithoutMemoryIsLeftOutAndTheRestAreBuilt) {
    failingSize = sizeof(TankNode);
    failingCountdown = 2;
    ASSERT_EQ(1, makeList(4));
    failingCountdown = 0;
    EXPECT_EQ((std::vector<int>{3, 2, 0}), ids());
}

TEST_F(TankGlTest, CountZeroGivesAnEmptyListWithModels) {
    ASSERT_EQ(1, makeList(0));
    EXPECT_EQ(nullptr, list->head);
    EXPECT_TRUE(glIsList(list->bodyList));
    EXPECT_TRUE(glIsTexture(list->texture));
}

TEST_F(TankGlTest, MissingPictureFailsWithoutTanks) {
    ScratchDir dir;
    testing::internal::CaptureStderr();
    EXPECT_EQ(0, makeTankList(list, 5));
    EXPECT_EQ("Loading Tank texture...\n   ...couldn't load TGA\n", testing::internal::GetCapturedStderr());
    EXPECT_EQ(nullptr, list->head);
}

TEST_F(TankGlTest, GreyPictureIsRefusedRatherThanReadPastItsPixels) {
    ScratchDir dir;
    writeTga(dir.file("TexTank.tga"), 8, 8, 8, [](int, int) { return 90; });
    testing::internal::CaptureStderr();
    EXPECT_EQ(0, makeTankList(list, 2));
    EXPECT_EQ("Loading Tank texture...\n   ...couldn't load TGA\n", testing::internal::GetCapturedStderr());
    EXPECT_EQ(nullptr, list->head);
}

TEST_F(TankGlTest, DrawTanksWritesTheGroundHeight) {
    ASSERT_EQ(1, makeList(3));
    TestTerrain ground(GRID, 40.0f);
    ground.t.normals[ground.gridX(200)][3 * ground.gridZ(0)] = 0.6f;  // a slope under one tank
    ground.t.normals[ground.gridX(200)][3 * ground.gridZ(0) + 1] = 0.8f;
    const Vector places[] = {{0, 0, 0}, {200, 0, 0}, {5000, 0, 0}};  // the last is off the landscape
    int k = 0;
    for (TankNode* t = list->head; t; t = t->next) t->position = places[k++];
    drawTanks(list, &cube, &ground.t);
    EXPECT_EQ(GL_NO_ERROR, glGetError());
    const float expected[] = {40.0f, 40.0f, 0.0f};
    k = 0;
    for (TankNode* t = list->head; t; t = t->next) EXPECT_FLOAT_EQ(expected[k++], t->position.y);
}

TEST_F(TankGlTest, AFrameWithATankShowsIt) {
    ASSERT_EQ(1, makeList(1));
    TestTerrain ground(GRID, 0.0f);
    list->head->position = {0.0f, 0.0f, 0.0f};
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-60, 60, -45, 45, -1000, 1000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawTanks(list, &cube, &ground.t);
    glFinish();
    std::vector<unsigned char> pixels(WINDOW_W * WINDOW_H * 4);
    glReadPixels(0, 0, WINDOW_W, WINDOW_H, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int green = 0;
    for (size_t p = 0; p < pixels.size(); p += 4)
        if (pixels[p + 1] > 150 && pixels[p] < 50 && pixels[p + 2] < 50) green++;
    // The side of a 40 x 25 body alone covers about a tenth of the window.
    EXPECT_GT(green, WINDOW_W * WINDOW_H / 20);
    EXPECT_EQ(GL_NO_ERROR, glGetError());
}

TEST_F(TankGlTest, TanksOutOfViewStillStandOnTheGround) {
    ASSERT_EQ(1, makeList(1));
    TestTerrain ground(GRID, 120.0f);
    list->head->position = vectorInit(0.0f, -999.0f, 500.0f);
    const Frustum view = {{{0, 0, -1, 0}, {0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}}};  // z <= 0
    drawTanksInView(list, &cube, &ground.t, &view);
    EXPECT_EQ(0, getDrawnTankCount());
    EXPECT_FLOAT_EQ(120.0f, list->head->position.y);
}

TEST(ShotGlTest, ShellsBelowTheGroundCraterItAndVanish) {
    ASSERT_TRUE(openGlContext(WINDOW_W, WINDOW_H));
    TestTerrain ground(GRID, 100.0f);
    ShotList* shots = (ShotList*)calloc(1, sizeof(ShotList));
    Shot shell = {};
    shell.position = {0.0f, 99.0f, 0.0f};  // just below the ground: crater
    ASSERT_EQ(1, addShot(shots, shell));
    shell.position = {300.0f, 101.0f, 0.0f};  // above the ground: drawn
    ASSERT_EQ(1, addShot(shots, shell));
    shell.position = {5000.0f, -1.0f, 0.0f};  // off the landscape, ground 0 there
    ASSERT_EQ(1, addShot(shots, shell));
    drawShots(shots, &ground.t);
    EXPECT_EQ(GL_NO_ERROR, glGetError());
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));

    ASSERT_NE(nullptr, shots->head);
    EXPECT_EQ(1, shots->head->id);
    EXPECT_EQ(nullptr, shots->head->next);
    const int ci = ground.gridX(0);
    const int cj = ground.gridZ(0);
    EXPECT_FLOAT_EQ(92.0f, ground.t.heights[ci][cj]);
    EXPECT_FLOAT_EQ(0.5f, ground.t.colours[ci][3 * cj]);
    EXPECT_FLOAT_EQ(92.0f, ground.t.heights[GRID - 1][cj]);  // the nearest edge point
    EXPECT_FLOAT_EQ(100.0f, ground.t.heights[ground.gridX(300)][cj]);
    destroyShotList(shots);
}
