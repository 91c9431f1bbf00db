// The cube with a real OpenGL context (run under Xvfb): texture loading and
// upload, drawing, and the stencil shadow volume read back from the screen.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <string>
#include <vector>

#include "cube.h"
#include "gl_context.h"
#include "main.h"
#include "scratch_dir.h"

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

namespace {

const int WIDTH = 320;
const int HEIGHT = 240;
const char* const LOADED_LOG = "Loading cube texture...\n   ...done\nInitialising texture...\n   ...done\n";
const char* const MISSING_LOG = "Loading cube texture...\n   ...couldn't load TGA\n";

// Blue, green and red bytes that differ from pixel to pixel.
int patternByte(int p, int k) {
    return (p * 37 + k * 91) % 256;
}

struct Rgb {
    int r, g, b;
};

class CubeGl : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(openGlContext(WIDTH, HEIGHT));
        // The test's own view: fog, sized by the draw distance, is left out.
        glDisable(GL_FOG);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60.0, (double)WIDTH / HEIGHT, 1.0, 2500.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    void TearDown() override {
        destroyCube(&cube);
        EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
    }

    std::string init() {
        CaptureStderr();
        initCube(&cube);
        return GetCapturedStderr();
    }

    void lookAt(Vector eye) {
        glLoadIdentity();
        gluLookAt(eye.x, eye.y, eye.z, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    }

    // A large unlit grey floor at height 0.
    void drawFloor(float grey) {
        glClearStencil(0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        glDisable(GL_LIGHTING);
        glBindTexture(GL_TEXTURE_2D, 0);
        glColor4f(grey, grey, grey, 1.0f);
        glNormal3f(0.0f, 1.0f, 0.0f);
        glBegin(GL_QUADS);
        glVertex3f(-2000.0f, 0.0f, 2000.0f);
        glVertex3f(2000.0f, 0.0f, 2000.0f);
        glVertex3f(2000.0f, 0.0f, -2000.0f);
        glVertex3f(-2000.0f, 0.0f, -2000.0f);
        glEnd();
        glEnable(GL_LIGHTING);
    }

    Rgb pixelAt(Vector world) {
        GLdouble model[16], projection[16], wx, wy, wz;
        GLint viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        gluProject(world.x, world.y, world.z, model, projection, viewport, &wx, &wy, &wz);
        unsigned char rgb[3] = {0, 0, 0};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels((int)wx, (int)wy, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
        return {rgb[0], rgb[1], rgb[2]};
    }

    int nonZeroStencil() {
        std::vector<unsigned char> stencil(WIDTH * HEIGHT, 0xff);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, WIDTH, HEIGHT, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, stencil.data());
        int count = 0;
        for (unsigned char s : stencil) count += s != 0;
        return count;
    }

    void expectGrey(Rgb pixel, float grey, const char* where) {
        const int expected = (int)(grey * 255.0f + 0.5f);
        EXPECT_NEAR(pixel.r, expected, 3) << where;
        EXPECT_NEAR(pixel.g, expected, 3) << where;
        EXPECT_NEAR(pixel.b, expected, 3) << where;
    }

    ScratchDir dir;
    Cube cube{};
};

TEST_F(CubeGl, StartsWithoutTextureImage) {
    EXPECT_EQ(MISSING_LOG, init());
    EXPECT_NE(0u, cube.texture);
    ASSERT_NE(nullptr, cube.image);
    EXPECT_NE(TGA_LOADED, cube.image->status);

    EXPECT_EQ(0, cube.points);
    EXPECT_EQ(100.0f, cube.size);
    EXPECT_EQ(100.0f, cube.targetSize);
    EXPECT_EQ(5.0f, cube.maxSpin);
    EXPECT_EQ(90.1f, cube.heading);
    EXPECT_EQ(1000000.0f, cube.mass);
    EXPECT_EQ(1.0f / 1000000.0f, cube.inverseMass);
    EXPECT_DOUBLE_EQ(1000000.0 * 100.0 * 100.0 / 6.0, cube.inertia);
    EXPECT_DOUBLE_EQ(6.0 / (1000000.0 * 100.0 * 100.0), cube.inverseInertia);
    EXPECT_EQ(2000.0f, cube.position.y);
    EXPECT_EQ(-4000.0f, cube.position.z);
    EXPECT_EQ(1.0f, cube.orientation.w);
    EXPECT_EQ(1000000000.0f, cube.momentum.z);
    EXPECT_EQ(0.0f, cube.velocity.z);
}

TEST_F(CubeGl, UploadsTheImageAsRgb) {
    // An odd width: rows of 15 bytes are not padded in the file.
    writeTga("TexCube.tga", 5, 3, 24, patternByte);
    EXPECT_EQ(LOADED_LOG, init());
    ASSERT_NE(nullptr, cube.image);
    EXPECT_EQ(TGA_LOADED, cube.image->status);

    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(0, bound);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));

    glBindTexture(GL_TEXTURE_2D, cube.texture);
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    EXPECT_EQ(5, width);
    EXPECT_EQ(3, height);
    unsigned char texels[5 * 3 * 3];
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    glBindTexture(GL_TEXTURE_2D, 0);
    for (int p = 0; p < 15; p++) {
        EXPECT_EQ(patternByte(p, 2), texels[3 * p]) << "pixel " << p;
        EXPECT_EQ(patternByte(p, 1), texels[3 * p + 1]) << "pixel " << p;
        EXPECT_EQ(patternByte(p, 0), texels[3 * p + 2]) << "pixel " << p;
    }
}

TEST_F(CubeGl, ThinOrBrokenImagesAreNotUploaded) {
    // Grey pixels hold a third of what an RGB upload would read.
    writeTga("TexCube.tga", 64, 64, 8, [](int, int) { return 128; });
    EXPECT_EQ(MISSING_LOG, init());
    destroyCube(&cube);

    writeFile("TexCube.tga", std::string("\0\0\12", 3) + std::string(15, '\0'));
    EXPECT_EQ(MISSING_LOG, init());
}

TEST_F(CubeGl, DrawsTexturedAndLeavesNoTextureBound) {
    // Pure red texels, stored blue, green, red.
    writeTga("TexCube.tga", 8, 8, 24, [](int, int k) { return k == 2 ? 255 : 0; });
    ASSERT_EQ(LOADED_LOG, init());
    lookAt({0.0f, 300.0f, 300.0f});
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glBindTexture(GL_TEXTURE_2D, cube.texture);
    drawCube(&cube);

    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(0, bound);
    // The middle of the top face: lit white modulated by the red image.
    Rgb top = pixelAt({0.0f, 50.0f, 0.0f});
    EXPECT_GT(top.r, 30);
    EXPECT_LT(top.g, 5);
    EXPECT_LT(top.b, 5);
    Rgb beside = pixelAt({200.0f, 0.0f, 0.0f});
    EXPECT_EQ(0, beside.r + beside.g + beside.b);
}

TEST_F(CubeGl, HoveringCubeDarkensTheGroundUnderItTwice) {
    const Vector eye = {0.0f, 400.0f, 600.0f};
    EXPECT_EQ(MISSING_LOG, init());
    cube.position = {0.0f, 150.0f, 0.0f};
    lookAt(eye);
    drawFloor(0.8f);
    renderCubeShadow(&cube, eye.x, eye.y, eye.z);

    // Inside the volumes of the top and the bottom face: 0.7 * 0.7.
    expectGrey(pixelAt({0.0f, 0.0f, 0.0f}), 0.8f * 0.49f, "under the centre");
    expectGrey(pixelAt({40.0f, 0.0f, -40.0f}), 0.8f * 0.49f, "inside the outline");
    expectGrey(pixelAt({65.0f, 0.0f, 0.0f}), 0.8f, "beside the outline");
    expectGrey(pixelAt({300.0f, 0.0f, 200.0f}), 0.8f, "far away");
    EXPECT_EQ(0, nonZeroStencil());

    // The state left for the cube and the rest of the frame.
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLboolean colourWrites[4], depthWrites;
    glGetBooleanv(GL_COLOR_WRITEMASK, colourWrites);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(colourWrites[0] && colourWrites[1] && colourWrites[2] && colourWrites[3]);
    EXPECT_TRUE(depthWrites);
}

TEST_F(CubeGl, SunkenBottomLeavesOnlyTheTopFacesShadow) {
    const Vector eye = {0.0f, 400.0f, 600.0f};
    EXPECT_EQ(MISSING_LOG, init());
    cube.position = {0.0f, 30.0f, 0.0f};
    lookAt(eye);
    drawFloor(0.8f);
    renderCubeShadow(&cube, eye.x, eye.y, eye.z);

    expectGrey(pixelAt({0.0f, 0.0f, 0.0f}), 0.8f * 0.7f, "under the centre");
    expectGrey(pixelAt({300.0f, 0.0f, 200.0f}), 0.8f, "far away");
    EXPECT_EQ(0, nonZeroStencil());
}

}  // namespace
