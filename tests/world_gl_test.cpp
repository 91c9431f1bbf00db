// The whole game in one process: start-up of every record from the
// generated images, real frames through drawScreen, the crowd scoring, and
// shut-down through quit() with everything released.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "animate.h"
#include "gl_context.h"
#include "main.h"
#include "scratch_dir.h"

namespace {

const int WIDTH = 320;
const int HEIGHT = 240;

// Every record as start-up makes it, from the images in the current folder,
// with a smaller crowd; 1 when each part was built.
int buildWorld(int people, int tanks) {
    peopleLst = (PeopleList*)calloc(1, sizeof(PeopleList));
    tankLst = (TankList*)calloc(1, sizeof(TankList));
    shotLst = (ShotList*)calloc(1, sizeof(ShotList));
    initCube(&cb);
    initCamera(&cam);
    initTerrain(&ter);
    if (!ter.blockLists) return 0;
    if (makeList(peopleLst, people, ter.width, ter.height, (int)ter.scale) != 1) return 0;
    if (makeTankList(tankLst, tanks) != 1) return 0;
    randomTankPlacement(tankLst, ter.width, ter.height, (int)ter.scale);
    return 1;
}

class World : public ::testing::Test {
protected:
    ScratchDir dir;

    void SetUp() override {
        dir.writeGameImages();
        ASSERT_TRUE(openGlContext(WIDTH, HEIGHT));
        setStartSwitches();
        srand(1234);
        ASSERT_EQ(1, buildWorld(2000, 100));
        initAnimation();
    }

    void TearDown() override {
        destroyPersonList(peopleLst);
        destroyTankList(tankLst);
        destroyShotList(shotLst);
        peopleLst = nullptr;
        tankLst = nullptr;
        shotLst = nullptr;
        deleteTerrain(&ter);
        destroyCube(&cb);
        tgaDestroy(skyBoxImage);
        skyBoxImage = nullptr;
    }

    // The last frame, read from the back buffer, which Mesa's swap on Xvfb
    // copies rather than discards.
    static std::vector<unsigned char> readFrame(GLenum format, int channels) {
        std::vector<unsigned char> pixels(WIDTH * HEIGHT * channels);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, WIDTH, HEIGHT, format, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }
};

TEST_F(World, FramesDrawSkyAndLandscapeAndLeaveTheStencilClear) {
    // The cube resting on the ground, seen from behind as in play.
    cb.position = vectorInit(0.0f, getHeightAt(&ter, 0.0f, -4000.0f) + 50.0f, -4000.0f);
    cb.momentum = vectorInit(0.0f, 0.0f, 0.0f);
    cb.heading = 0.0f;
    cam.position = vectorInit(-300.0f, cb.position.y + 150.0f, -4000.0f);
    for (int frame = 0; frame < 20; ++frame) {
        shadowSwitchTime = 0.0f;  // keep the shadow on however slow this machine is
        drawScreen();
    }
    ASSERT_EQ(GL_NO_ERROR, glGetError());

    std::vector<unsigned char> stencil = readFrame(GL_STENCIL_INDEX, 1);
    int marked = 0;
    for (unsigned char s : stencil) marked += s != 0;
    EXPECT_EQ(0, marked);

    // Sky (or sky-blue fog) along the top rows, and a picture, not a flat colour.
    std::vector<unsigned char> rgb = readFrame(GL_RGB, 3);
    long red = 0, blue = 0;
    for (int y = HEIGHT - 20; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x) {
            red += rgb[(y * WIDTH + x) * 3];
            blue += rgb[(y * WIDTH + x) * 3 + 2];
        }
    EXPECT_GT(blue, red);
    int changes = 0;
    for (size_t i = 3; i < rgb.size(); i += 3) changes += rgb[i] != rgb[i - 3] || rgb[i + 1] != rgb[i - 2];
    EXPECT_GT(changes, WIDTH * HEIGHT / 20);
}

TEST_F(World, RollingThroughTheCrowdScoresTenAPersonAndGrowsTheCube) {
    // Put the cube on the ground among people gathered under it.
    cb.position = vectorInit(0.0f, getHeightAt(&ter, 0.0f, 0.0f) + 50.0f, 0.0f);
    cb.momentum = vectorInit(0.0f, 0.0f, 0.0f);
    for (int id = 0; id < 5; ++id) {
        Person p = {};
        p.id = 100000 + id;
        p.position = vectorInit(-20.0f + 10.0f * id, 0.0f, 5.0f);
        ASSERT_EQ(1, addPerson(peopleLst, p));
    }
    int before = peopleLst->count;
    updatePerson(peopleLst, &cb, 0.001f, &ter);
    EXPECT_GE(cb.points, 50);
    EXPECT_EQ(cb.points / 10, before - peopleLst->count);
    EXPECT_FLOAT_EQ(100.0f + cb.points / 10, cb.targetSize);
    for (int frame = 0; frame < 30; ++frame) updateCube(&cb, 1.0f / 30.0f);
    EXPECT_GT(cb.size, 100.0f);
}

TEST(WorldShutdown, QuitReleasesEverythingAndExitsZero) {
    // In a fresh child process: build the world, then quit. LeakSanitizer
    // would turn anything left allocated into a non-zero status.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ScratchDir dir;
            dir.writeGameImages();
            if (!openGlContext(WIDTH, HEIGHT)) exit(3);
            if (!buildWorld(500, 50)) exit(4);
            Shot shell = {};
            addShot(shotLst, shell);
            quit();
        },
        ::testing::ExitedWithCode(0),
        "Quitting\n   ...Freeing People...\n   ...Freeing Tanks...\n   ...Freeing Shots...\n   ...Freeing "
        "Terrain...\n(.|\n)*   ...done\n");
}

}  // namespace
