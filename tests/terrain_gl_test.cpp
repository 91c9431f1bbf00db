// Terrain construction from real TGA files, block lists, the drawing window
// and list rebuilding, with a real OpenGL context (run under Xvfb).
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "gl_context.h"
#include "scratch_dir.h"
#include "terrain.h"

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

namespace {

// White heights, a colour whose red is the pixel number mod 256, a noise texture.
void writeMaps(int size, int colourDepth = 32) {
    writeTga("Map.tga", size, size, 8, [](int, int) { return 255; });
    writeTga("MapTex.tga", size, size, colourDepth, [](int p, int k) { return k == 0 ? 200 : k == 1 ? 7 : k == 2 ? p % 256 : 255; });
    writeTga("TexNoise.tga", 10, 10, 24, [](int p, int k) { return (p * 31 + k * 17) % 256; });
}

const char* const FULL_LOG_50 =
    "Loading image...\n   ...done\n"
    "Setting Terrain width and height...\n   ...done.  Width: 50, height: 50\n"
    "Allocating memory for Terrain...\n   ...done\n"
    "Constructing map heights\n   ...done\n"
    "Smoothing Terrain\n   ...done\n"
    "Computing Terrain Normals\n   ...done\n"
    "Loading terrain texture...\n   ...done\n"
    "Initialising texture...\n   ...done\n"
    "Generating Terrain Display Lists...\n   ...Terrain Size: (50 * 50)\n   ...Number of blocks: (2 * 2)\n"
    "   ...done\n";

const unsigned int PROBED_NAMES = 100000;

class TerrainGl : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(openGlContext()); }
    void TearDown() override {
        deleteTerrain(&t);
        EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
    }

    std::string build() {
        deleteTerrain(&t);
        CaptureStderr();
        initTerrain(&t);
        return GetCapturedStderr();
    }

    bool dirty(int bi, int bj) const { return t.blockLists[bi][bj] == DIRTY_LIST; }

    void markAllDirty() {
        for (int bi = 0; bi < t.blocksX; bi++)
            for (int bj = 0; bj < t.blocksZ; bj++) terrainFlagDLDirty(&t, 25 * bi + 12, 25 * bj + 12);
    }

    ScratchDir dir;
    Terrain t{};
};

}  // namespace

TEST_F(TerrainGl, BuildsFromImagesWithEveryStartUpLine) {
    writeMaps(50);
    EXPECT_EQ(FULL_LOG_50, build());
    ASSERT_NE(nullptr, t.blockLists);
    EXPECT_EQ(25.0f, t.scale);
    EXPECT_EQ(1250.0f, t.worldWidth);
    for (int i = 0; i < 50; i++)
        for (int j = 0; j < 50; j++) {
            ASSERT_EQ(597.65625f, t.heights[i][j]);
            ASSERT_EQ((50 * i + j) % 256 / 256.0f, t.colours[i][3 * j]) << i << "," << j;
            ASSERT_EQ(7 / 256.0f, t.colours[i][3 * j + 1]);
            ASSERT_EQ(200 / 256.0f, t.colours[i][3 * j + 2]);
            ASSERT_EQ(1.0f, t.normals[i][3 * j + 1]);
        }
    for (int bi = 0; bi < 2; bi++)
        for (int bj = 0; bj < 2; bj++) EXPECT_TRUE(glIsList(t.blockLists[bi][bj]));
    EXPECT_TRUE(glIsTexture(t.texture));
}

TEST_F(TerrainGl, HeightsComeFromGreyOrLastByteOfEachPixel) {
    struct Case {
        int depth;
        PixelBytes byte;
        float height;
    };
    const Case cases[] = {
        {8, [](int, int) { return 0; }, 0.0f},
        {24, [](int, int k) { return k == 2 ? 255 : 0; }, 600.0f * 76 / 256},  // grey of pure red is 76
        {32, [](int, int k) { return k == 3 ? 200 : 10 * k + 10; }, 468.75f},
    };
    for (const Case& c : cases) {
        writeMaps(25);
        writeTga("Map.tga", 25, 25, c.depth, c.byte);
        build();
        ASSERT_NE(nullptr, t.blockLists) << c.depth;
        EXPECT_EQ(c.height, t.heights[3][17]) << c.depth;
    }
}

TEST_F(TerrainGl, ThreeByteColourImageWarnsAndIsUsed) {
    writeMaps(50, 24);
    std::string log = build();
    EXPECT_EQ(0u, log.find("Loading image...\n   ...Texture Image is not of correct format: 3\n   ...done\n")) << log;
    ASSERT_NE(nullptr, t.blockLists);
    EXPECT_EQ((50 * 37 + 11) % 256 / 256.0f, t.colours[37][3 * 11]);
    EXPECT_EQ(200 / 256.0f, t.colours[37][3 * 11 + 2]);
}

TEST_F(TerrainGl, FailuresPrintTheirLineAndLeaveNoBlockLists) {
    struct Case {
        std::function<void()> spoil;
        std::string logEnd;
    };
    const std::string noMap = "Loading image...\n   ...couldn't load TGA\n";
    const Case cases[] = {
        {[] { std::remove("Map.tga"); }, noMap},
        {[] { std::remove("MapTex.tga"); }, noMap},
        {[] { writeTga("MapTex.tga", 50, 75, 32, [](int, int) { return 1; }); },
         "Loading image...\n   ...Height image is different size than texture image\n"},
        {[] {
             writeTga("Map.tga", 50, 75, 8, [](int, int) { return 1; });
             writeTga("MapTex.tga", 50, 75, 32, [](int, int) { return 1; });
         },
         "Loading image...\n   ...Height image must be square and at least 25 pixels wide: 50 * 75\n"},
        {[] {
             writeTga("Map.tga", 20, 20, 8, [](int, int) { return 1; });
             writeTga("MapTex.tga", 20, 20, 32, [](int, int) { return 1; });
         },
         "Loading image...\n   ...Height image must be square and at least 25 pixels wide: 20 * 20\n"},
        {[] { writeTga("MapTex.tga", 50, 50, 8, [](int, int) { return 1; }); },
         "Loading image...\n   ...Texture Image has too few bytes per pixel: 1\n"},
        {[] { std::remove("TexNoise.tga"); }, "Loading terrain texture...\n   ...couldn't load TGA\n"},
        {[] { writeTga("TexNoise.tga", 10, 10, 8, [](int, int) { return 1; }); },
         "Loading terrain texture...\n   ...Terrain texture has too few bytes per pixel: 1\n"},
    };
    for (const Case& c : cases) {
        writeMaps(50);
        c.spoil();
        std::string log = build();
        ASSERT_GE(log.size(), c.logEnd.size()) << log;
        EXPECT_EQ(c.logEnd, log.substr(log.size() - c.logEnd.size())) << log;
        EXPECT_EQ(nullptr, t.blockLists) << log;
        drawTerrain(&t, 0.0f, 0.0f, 5000.0f);
        terrainFlagDLDirty(&t, 0, 0);
    }
}

TEST_F(TerrainGl, DrawWindowRebuildsOnlyTheBlocksItCalls) {
    writeMaps(256);
    std::string log = build();
    EXPECT_NE(std::string::npos, log.find("   ...Terrain Size: (256 * 256)\n   ...Number of blocks: (10 * 10)\n"));
    ASSERT_NE(nullptr, t.blockLists);

    markAllDirty();
    drawTerrain(&t, 0.0f, 0.0f, 0.0f);
    for (int bi = 0; bi < 10; bi++)
        for (int bj = 0; bj < 10; bj++) ASSERT_TRUE(dirty(bi, bj));

    // Grid indices 28 .. 228: blocks 1 .. 8 on each axis.
    drawTerrain(&t, 0.0f, 0.0f, 5000.0f);
    for (int bi = 0; bi < 10; bi++)
        for (int bj = 0; bj < 10; bj++) {
            bool inside = bi >= 1 && bi <= 8 && bj >= 1 && bj <= 8;
            ASSERT_EQ(!inside, dirty(bi, bj)) << bi << "," << bj;
            if (inside) {
                ASSERT_TRUE(glIsList(t.blockLists[bi][bj]));
            }
        }

    // Reaching past the far corner is clamped: blocks 8 and 9 only.
    drawTerrain(&t, 2900.0f, 2900.0f, 1000.0f);
    EXPECT_FALSE(dirty(9, 9));
    EXPECT_FALSE(dirty(8, 9));
    EXPECT_TRUE(dirty(0, 9));
    drawTerrain(&t, 1e9f, -1e9f, 5000.0f);
}

TEST_F(TerrainGl, DirtyBlockIsRebuiltOnceAndListsDoNotPileUp) {
    writeMaps(75);
    build();
    ASSERT_NE(nullptr, t.blockLists);
    unsigned int old = t.blockLists[0][0];
    terrainFlagDLDirty(&t, 12, 12);
    terrainFlagDLDirty(&t, 12, 12);
    EXPECT_FALSE(glIsList(old));
    drawTerrain(&t, 0.0f, 0.0f, 5000.0f);
    unsigned int rebuilt = t.blockLists[0][0];
    ASSERT_NE(DIRTY_LIST, rebuilt);
    EXPECT_TRUE(glIsList(rebuilt));
    drawTerrain(&t, 0.0f, 0.0f, 5000.0f);
    EXPECT_EQ(rebuilt, t.blockLists[0][0]);

    // Earlier terrains' lists stay with the context, so count before and after.
    auto liveLists = [] {
        int live = 0;
        for (unsigned int name = 1; name <= PROBED_NAMES; name++) live += glIsList(name) ? 1 : 0;
        return live;
    };
    int liveBefore = liveLists();
    unsigned int highest = 0;
    for (int cycle = 0; cycle < 200; cycle++) {
        deformTerrain(&t, (cycle % 7) * 100.0f - 900.0f, 0.0f, (cycle % 5) * 130.0f - 900.0f, 8.0f, 1);
        drawTerrain(&t, 0.0f, 0.0f, 5000.0f);
        for (int bi = 0; bi < 2; bi++)
            for (int bj = 0; bj < 2; bj++) highest = std::max(highest, t.blockLists[bi][bj]);
    }
    ASSERT_LT(highest, PROBED_NAMES);
    EXPECT_EQ(liveBefore, liveLists());
}

TEST_F(TerrainGl, BlocksDrawWholeStripsFacingUp) {
    writeMaps(50);
    build();
    ASSERT_NE(nullptr, t.blockLists);
    // The map seen straight down (tilt 90) or up (tilt -90), 6.25 world
    // units a pixel on a 200 x 200 viewport; returns the pixels drawn.
    const int side = 200;
    auto coveredPixels = [&](int bi, int bj, float tilt) {
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_FOG);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glDisable(GL_ALPHA_TEST);
        glDisable(GL_STENCIL_TEST);
        glDisable(GL_SCISSOR_TEST);
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        glFrontFace(GL_CCW);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        glViewport(0, 0, side, side);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(-625, 625, -625, 625, -1000, 1000);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glRotatef(tilt, 1.0f, 0.0f, 0.0f);
        glCallList(t.blockLists[bi][bj]);
        glFinish();
        std::vector<unsigned char> pixels(side * side * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, side, side, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glPopAttrib();
        int count = 0;
        for (int p = 0; p < side * side; p++) count += (pixels[3 * p] | pixels[3 * p + 1] | pixels[3 * p + 2]) != 0;
        return count;
    };
    // Block (0, 0) spans x -625 .. 25 (its 26th strip reaches into block 1)
    // and z -625 .. 0: 104 x 100 pixels. Block (1, 1) stops at the grid:
    // x and z 0 .. 600, 96 x 96 pixels.
    EXPECT_EQ(104 * 100, coveredPixels(0, 0, 90.0f));
    EXPECT_EQ(96 * 96, coveredPixels(1, 1, 90.0f));
    EXPECT_EQ(0, coveredPixels(0, 0, -90.0f));
}

TEST_F(TerrainGl, BuildsFromTheGameImages) {
    dir.writeGameImages();
    std::string log = build();
    EXPECT_NE(nullptr, t.blockLists) << log;
}
