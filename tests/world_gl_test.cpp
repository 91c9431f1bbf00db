// The whole game in one process: start-up of every record from the
// generated images, real frames through drawScreen, the crowd scoring, and
// shut-down through quit() with everything released.
#include <gtest/gtest.h>

// glWindowPos3fv, to recolour the raster position.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glu.h>
#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "animate.h"
#include "gl_context.h"
#include "main.h"
#include "scratch_dir.h"

// OpenGL fogs a bitmap by its raster position's distance, as most drivers
// do; Mesa's renderers leave bitmaps unfogged. So these stand-ins for the
// game's text calls fog each glyph as those drivers would, and the frames
// show it: the raster colour and distance kept when the text is placed,
// then each glyph drawn in that colour fogged by the fog state at the glyph.
static GLfloat placedColour[4], placedDistance;
static float placedFogFactor = -1.0f;  // what the fog leaves of the text's colour

static float fogFactor(float distance) {
    GLfloat start, end;
    glGetFloatv(GL_FOG_START, &start);
    glGetFloatv(GL_FOG_END, &end);
    return std::min(1.0f, std::max(0.0f, (end - distance) / (end - start)));
}

extern "C" void glRasterPos3f(GLfloat x, GLfloat y, GLfloat z) {
    static const auto real = (void (*)(GLfloat, GLfloat, GLfloat))dlsym(RTLD_NEXT, "glRasterPos3f");
    real(x, y, z);
    glGetFloatv(GL_CURRENT_RASTER_COLOR, placedColour);
    glGetFloatv(GL_CURRENT_RASTER_DISTANCE, &placedDistance);
    placedFogFactor = fogFactor(placedDistance);
}

extern "C" void glutBitmapCharacter(void* font, int character) {
    static const auto real = (void (*)(void*, int))dlsym(RTLD_NEXT, "glutBitmapCharacter");
    GLboolean valid = GL_FALSE;
    glGetBooleanv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
    if (valid && glIsEnabled(GL_FOG)) {
        GLfloat at[4], current[4], fog[4], fogged[4];
        glGetFloatv(GL_CURRENT_RASTER_POSITION, at);
        glGetFloatv(GL_CURRENT_COLOR, current);
        glGetFloatv(GL_FOG_COLOR, fog);
        const float f = fogFactor(placedDistance);
        for (int k = 0; k < 3; ++k) fogged[k] = fog[k] + f * (placedColour[k] - fog[k]);
        fogged[3] = placedColour[3];
        glColor4fv(fogged);
        glWindowPos3fv(at);  // the same place, now in the fogged colour
        glColor4fv(current);
    }
    real(font, character);
}

namespace {

const int WIDTH = 320;
const int HEIGHT = 240;

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

    void TearDown() override { releaseWorld(); }

    // The last frame, read from the back buffer, which Mesa's swap on Xvfb
    // copies rather than discards.
    static std::vector<unsigned char> readFrame(GLenum format, int channels) {
        std::vector<unsigned char> pixels(WIDTH * HEIGHT * channels);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, WIDTH, HEIGHT, format, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    // The farthest eye at the shortest draw distance: just lost while
    // racing, it still trails 2400 behind, 1000 above the ground under it,
    // on ground higher than the cube's. Three frames drawn from it.
    void drawFromTheFarthestEye() {
        const float x = 0.0f, z = 0.0f;
        cb.position = vectorInit(x, getHeightAt(&ter, x, z) + 50.0f, z);
        cb.momentum = cb.angularMomentum = vectorInit(0.0f, 0.0f, 0.0f);
        float best = -1e9f;
        for (float heading = 0.0f; heading < 360.0f; heading += 15.0f) {
            float a = decToRad(heading);
            float ground = getHeightAt(&ter, x - cosf(a) * 2400.0f, z - sinf(a) * 2400.0f);
            if (ground > best) {
                best = ground;
                cb.heading = heading;
            }
        }
        const float a = decToRad(cb.heading);
        cam.position = vectorInit(x - cosf(a) * 2400.0f, 0.0f, z - sinf(a) * 2400.0f);
        cam.position.y = getHeightAt(&ter, cam.position.x, cam.position.z) + 1000.0f;
        for (int frame = 0; frame < 3; ++frame) {
            VIEW_DISTANCE = MIN_VIEW_DISTANCE;
            drawScreen();
        }
    }

    static int blackPixels() {
        std::vector<unsigned char> rgb = readFrame(GL_RGB, 3);
        int black = 0;
        for (size_t i = 0; i < rgb.size(); i += 3) black += rgb[i] == 0 && rgb[i + 1] == 0 && rgb[i + 2] == 0;
        return black;
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

TEST_F(World, LongFramesRunTheTanksTurnsAndCirclingOnTheGameClock) {
    // Every frame is longer than the cap, so each simulates exactly MAX_STEP.
    cb.position = vectorInit(0.0f, getHeightAt(&ter, 0.0f, -4000.0f) + 50.0f, -4000.0f);
    cb.momentum = cb.angularMomentum = vectorInit(0.0f, 0.0f, 0.0f);
    cb.heading = 0.0f;
    cam.position = vectorInit(-300.0f, cb.position.y + 150.0f, -4000.0f);
    TankNode* tank = tankLst->head;
    tank->position = vectorInit(cb.position.x + 300.0f, 0.0f, cb.position.z);
    tank->lastShotTime = 0.0f;
    Uint8 state[SDLK_LAST] = {};
    keys = state;
    auto longFrame = [] {
        SDL_Delay(40);
        handleKeyDown();
        drawScreen();
    };
    longFrame();

    // The engaged tank fires once 2 s of game time have passed, not 2 s of wall time.
    int frames = 0;
    while (tank->lastShotTime == 0.0f && frames < 100) {
        longFrame();
        ASSERT_FLOAT_EQ(MAX_STEP, timeStep);
        ++frames;
    }
    EXPECT_NEAR(2.0f / MAX_STEP, frames, 1.5f);
    EXPECT_NEAR(2.0f, tank->lastShotTime, 2 * MAX_STEP);

    // A slow cube: Left turns the view 90 degrees a second of game time.
    state[SDLK_LEFT] = 1;
    longFrame();
    float heading = cb.heading;
    for (int frame = 0; frame < 10; ++frame) longFrame();
    EXPECT_NEAR(heading - 10 * 90.0f * MAX_STEP, cb.heading, 0.01f);
    state[SDLK_LEFT] = 0;

    // After the game, the camera circles the cube at 20 degrees a second.
    gameOver = 1;
    heading = cb.heading;
    for (int frame = 0; frame < 10; ++frame) longFrame();
    EXPECT_NEAR(heading - 10 * 20.0f * MAX_STEP, cb.heading, 0.01f);
    gameOver = 0;
}

TEST_F(World, GameOverAtTheShortestDrawDistanceShowsTheCubeAndBanner) {
    gameOver = 1;
    drawFromTheFarthestEye();
    GLboolean drawn = GL_FALSE;
    glGetBooleanv(GL_CURRENT_RASTER_POSITION_VALID, &drawn);
    EXPECT_TRUE(drawn) << "the banner lay outside the view";
    // The banner and the score are black text over a fogged, sky-blue world.
    EXPECT_GT(blackPixels(), 300);
    gameOver = 0;
}

TEST_F(World, HeadsUpTextKeepsItsColourWhereFogWouldFadeIt) {
    drawFromTheFarthestEye();
    EXPECT_LT(placedFogFactor, 0.9f) << "the text stood short of the fog";
    // Score and size, pure black: fogged they would be sky-blue.
    EXPECT_GT(blackPixels(), 300);
    EXPECT_TRUE(glIsEnabled(GL_FOG));
}

TEST_F(World, SkyBoxEdgesShowNoDarkSeam) {
    // Only the sky, seen from its centre, looking along a vertical edge of
    // the box and a little down; no pixel can be darker than the darkest
    // texel unless a border colour bleeds in.
    TgaImage* sky = tgaLoad("TexSkyBox.tga");
    ASSERT_TRUE(sky && sky->status == TGA_LOADED);
    int darkest = 255 * 3;
    for (int p = 0; p < sky->width * sky->height; ++p) {
        const unsigned char* t = sky->data + 3 * p;
        darkest = std::min(darkest, t[0] + t[1] + t[2]);
    }
    tgaDestroy(sky);
    cam.position = vectorInit(0.0f, 0.0f, 0.0f);
    for (float lookY : {-0.2f, 0.3f}) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60.0, (double)WIDTH / HEIGHT, 1.0, 1000.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(0.0, 15.0, 0.0, 1.0, 15.0 + lookY, 1.0, 0.0, 1.0, 0.0);
        drawSkyBox();
        std::vector<unsigned char> rgb = readFrame(GL_RGB, 3);
        int dark = 0;
        for (size_t i = 0; i < rgb.size(); i += 3) dark += rgb[i] + rgb[i + 1] + rgb[i + 2] < darkest - 3;
        EXPECT_EQ(0, dark) << "looking " << (lookY < 0 ? "down" : "up");
    }
}

// The GL driver must still be mapped when the leak check runs at exit.
void reportDriverAtExit() {
    dl_iterate_phdr(
        [](struct dl_phdr_info* info, size_t, void*) {
            if (info->dlpi_name && strstr(info->dlpi_name, "_dri.so")) {
                fprintf(stderr, "GL driver still loaded\n");
                return 1;
            }
            return 0;
        },
        nullptr);
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
            atexit(reportDriverAtExit);
            quit();
        },
        ::testing::ExitedWithCode(0),
        "Quitting\n   ...Freeing People...\n   ...Freeing Tanks...\n   ...Freeing Shots...\n   ...Freeing "
        "Terrain...\n(.|\n)*   ...done\n(.|\n)*GL driver still loaded");
}

TEST(WorldShutdown, ATapOfEscapeBetweenTwoFramesQuits) {
    // Pressed and released before the frame reads the key state: only the
    // event queue still holds it.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            if (!openGlContext(WIDTH, HEIGHT)) exit(3);
            SDL_Event tap = {};
            tap.type = SDL_KEYDOWN;
            tap.key.keysym.sym = SDLK_ESCAPE;
            SDL_PushEvent(&tap);
            tap.type = SDL_KEYUP;
            SDL_PushEvent(&tap);
            processEvents();
            processEvents();
            exit(5);
        },
        ::testing::ExitedWithCode(0), "Quitting");
}

}  // namespace
