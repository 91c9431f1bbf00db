// The web build's fixed-function layer, run natively over Mesa beside Mesa's
// own fixed pipeline: GLU's matrices, display lists replayed by the layer
// against the same lists compiled by Mesa, and bitmap text placement.
#include <gtest/gtest.h>

// glUseProgram, to hand the context back to Mesa's fixed pipeline.
#define GL_GLEXT_PROTOTYPES 1

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <cstdlib>
#include <vector>

#include "bitmaptext.h"
#include "fixedgl.h"
#include "gl_context.h"
#include "glmatrix.h"

// Two made-up glyphs, at codes 1 and 2, stand in for the font the web build
// generates.
static const unsigned char GLYPH_A[] = {0x82, 0x82, 0xFE, 0x82, 0x44, 0x44, 0x28, 0x10};
static const unsigned char GLYPH_B[] = {0xF0, 0x88, 0x88, 0xF0, 0x88, 0x88, 0xF0, 0x00};
static const BitmapGlyph A = {7, 8, 0.0f, 1.0f, 9.0f, GLYPH_A};
static const BitmapGlyph B = {5, 8, 1.0f, 2.0f, 6.5f, GLYPH_B};
const BitmapGlyph HELVETICA_18_GLYPHS[256] = {{}, A, B};
static const char TEXT[] = "\1\2\1\2";

namespace {

const int WIDTH = 320;
const int HEIGHT = 240;

// The GL entry points a scene is drawn with: Mesa's, or the layer's.
struct Gl {
    void (*enable)(GLenum), (*disable)(GLenum), (*matrixMode)(GLenum), (*loadIdentity)();
    void (*pushMatrix)(), (*popMatrix)(), (*translate)(GLfloat, GLfloat, GLfloat);
    void (*rotate)(GLfloat, GLfloat, GLfloat, GLfloat);
    void (*perspective)(double, double, double, double);
    void (*lookAt)(double, double, double, double, double, double, double, double, double);
    void (*light)(GLenum, GLenum, const GLfloat*), (*material)(GLenum, GLenum, const GLfloat*);
    void (*materialf)(GLenum, GLenum, GLfloat), (*fogf)(GLenum, GLfloat), (*fogfv)(GLenum, const GLfloat*);
    void (*fogi)(GLenum, GLint);
    void (*begin)(GLenum), (*end)(), (*vertex)(GLfloat, GLfloat, GLfloat), (*normal)(GLfloat, GLfloat, GLfloat);
    void (*colour)(GLfloat, GLfloat, GLfloat, GLfloat), (*texCoord)(GLfloat, GLfloat);
    void (*genTextures)(GLsizei, GLuint*), (*bindTexture)(GLenum, GLuint);
    void (*texImage)(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const void*);
    void (*texParameter)(GLenum, GLenum, GLint), (*texEnv)(GLenum, GLenum, GLint);
    GLuint (*genLists)(GLsizei);
    void (*newList)(GLuint, GLenum), (*endList)(), (*callList)(GLuint), (*deleteLists)(GLuint, GLsizei);
    void (*clear)(GLbitfield), (*flush)();
};

void mesaPerspective(double a, double b, double c, double d) {
    gluPerspective(a, b, c, d);
}
void mesaLookAt(double a, double b, double c, double d, double e, double f, double g, double h, double i) {
    gluLookAt(a, b, c, d, e, f, g, h, i);
}
void mesaColour(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    glColor4f(r, g, b, a);
}

const Gl MESA = {glEnable, glDisable, glMatrixMode, glLoadIdentity, glPushMatrix, glPopMatrix, glTranslatef,
                 glRotatef, mesaPerspective, mesaLookAt, glLightfv, glMaterialfv, glMaterialf, glFogf, glFogfv,
                 glFogi, glBegin, glEnd, glVertex3f, glNormal3f, mesaColour, glTexCoord2f, glGenTextures,
                 glBindTexture, glTexImage2D, glTexParameteri, glTexEnvi, glGenLists, glNewList, glEndList,
                 glCallList, glDeleteLists, glClear, glFinish};
const Gl LAYER = {fglEnable, fglDisable, fglMatrixMode, fglLoadIdentity, fglPushMatrix, fglPopMatrix,
                  fglTranslatef, fglRotatef, fglPerspective, fglLookAt, fglLightfv, fglMaterialfv, fglMaterialf,
                  fglFogf, fglFogfv, fglFogi, fglBegin, fglEnd, fglVertex3f, fglNormal3f, fglColor4f,
                  fglTexCoord2f, fglGenTextures, fglBindTexture, fglTexImage2D, fglTexParameteri, fglTexEnvi,
                  fglGenLists, fglNewList, fglEndList, fglCallList, fglDeleteLists, fglClear, fglFlush};

std::vector<unsigned char> readFrame() {
    std::vector<unsigned char> pixels(WIDTH * HEIGHT * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

double shareWithin(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b, int levels) {
    int same = 0;
    for (size_t p = 0; p < a.size(); p += 3)
        same += abs(a[p] - b[p]) <= levels && abs(a[p + 1] - b[p + 1]) <= levels && abs(a[p + 2] - b[p + 2]) <= levels;
    return same / (a.size() / 3.0);
}

// The game's kind of state: a point light above the eye, colour material,
// normalised normals, linear fog, a modulated texture.
void setUpScene(const Gl& gl, GLuint* texture) {
    const GLfloat ambient[] = {0.1f, 0.1f, 0.1f, 1}, diffuse[] = {0.3f, 0.3f, 0.3f, 1};
    const GLfloat specular[] = {0.5f, 0.5f, 0.5f, 1}, position[] = {0, 10000, 0, 1};
    const GLfloat fog[] = {0.15f, 0.66f, 0.87f, 1};
    gl.matrixMode(GL_MODELVIEW);
    gl.loadIdentity();
    gl.light(GL_LIGHT0, GL_AMBIENT, ambient);
    gl.light(GL_LIGHT0, GL_DIFFUSE, diffuse);
    gl.light(GL_LIGHT0, GL_SPECULAR, specular);
    gl.light(GL_LIGHT0, GL_POSITION, position);
    for (GLenum cap : {GL_LIGHT0, GL_COLOR_MATERIAL, GL_LIGHTING, GL_FOG, GL_NORMALIZE, GL_DEPTH_TEST, GL_TEXTURE_2D})
        gl.enable(cap);
    gl.disable(GL_CULL_FACE);
    gl.fogi(GL_FOG_MODE, GL_LINEAR);
    gl.fogfv(GL_FOG_COLOR, fog);
    gl.fogf(GL_FOG_START, 50.0f);
    gl.fogf(GL_FOG_END, 120.0f);
    gl.matrixMode(GL_PROJECTION);
    gl.loadIdentity();
    gl.perspective(60.0, (double)WIDTH / HEIGHT, 1.0, 200.0);
    gl.matrixMode(GL_MODELVIEW);
    gl.lookAt(8, 18, 28, 0, 0, 0, 0, 1, 0);

    std::vector<unsigned char> texels(64 * 64 * 3);
    for (size_t k = 0; k < texels.size(); ++k) texels[k] = (unsigned char)(128 + (k * 37 % 127));
    gl.genTextures(1, texture);
    gl.bindTexture(GL_TEXTURE_2D, *texture);
    gl.texImage(GL_TEXTURE_2D, 0, GL_RGBA, 64, 64, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    gl.texParameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl.texParameter(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl.bindTexture(GL_TEXTURE_2D, 0);
}

// A hill of quad strips with a colour and normal per vertex, a box whose
// faces give one normal for four vertices and take the caller's colour, and
// a strip drawn untextured.
void compileShapes(const Gl& gl, GLuint list, GLuint texture) {
    const GLfloat white[] = {1, 1, 1, 1};
    gl.newList(list, GL_COMPILE);
    gl.material(GL_FRONT, GL_SPECULAR, white);
    gl.materialf(GL_FRONT, GL_SHININESS, 20.0f);
    gl.bindTexture(GL_TEXTURE_2D, texture);
    gl.texEnv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    for (int i = 0; i < 8; ++i) {
        gl.begin(GL_QUAD_STRIP);
        for (int j = 0; j <= 8; ++j)
            for (int k = 0; k < 2; ++k) {
                float x = (i + k) * 4.0f - 16.0f, z = j * 4.0f - 16.0f;
                float y = 3.0f * sinf(x * 0.2f) * cosf(z * 0.2f);
                gl.normal(-0.6f * cosf(x * 0.2f) * cosf(z * 0.2f), 1.0f, 0.6f * sinf(x * 0.2f) * sinf(z * 0.2f));
                gl.colour(0.2f + i * 0.08f, 0.7f - j * 0.05f, 0.3f, 1.0f);
                gl.texCoord(x * 0.1f, z * 0.1f);
                gl.vertex(x, y, z);
            }
        gl.end();
    }
    gl.bindTexture(GL_TEXTURE_2D, 0);
    gl.begin(GL_QUADS);
    const float faces[3][4][3] = {{{-2, 2, 2}, {2, 2, 2}, {2, 2, -2}, {-2, 2, -2}},
                                  {{-2, -2, 2}, {2, -2, 2}, {2, 2, 2}, {-2, 2, 2}},
                                  {{2, -2, 2}, {2, -2, -2}, {2, 2, -2}, {2, 2, 2}}};
    const float normals[3][3] = {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}};
    for (int f = 0; f < 3; ++f) {
        gl.normal(normals[f][0], normals[f][1], normals[f][2]);
        for (int v = 0; v < 4; ++v) gl.vertex(faces[f][v][0], faces[f][v][1] + 6.0f, faces[f][v][2]);
    }
    gl.end();
    gl.begin(GL_TRIANGLE_STRIP);
    for (int j = 0; j < 6; ++j) {
        gl.colour(1.0f, 0.2f * j, 0.1f, 1.0f);
        gl.vertex(-16.0f + j * 3.0f, 8.0f + (j % 2) * 3.0f, -16.0f);
    }
    gl.end();
    gl.endList();
}

std::vector<unsigned char> drawScene(const Gl& gl) {
    GLuint texture = 0;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    setUpScene(gl, &texture);
    GLuint list = gl.genLists(1);
    compileShapes(gl, list, texture);
    gl.colour(0.9f, 0.5f, 0.2f, 1.0f);
    gl.callList(list);
    gl.pushMatrix();
    gl.translate(-20.0f, -5.0f, -30.0f);
    gl.rotate(35.0f, 0.3f, 1.0f, 0.1f);
    gl.colour(0.2f, 0.4f, 0.9f, 1.0f);
    gl.callList(list);
    gl.popMatrix();
    gl.flush();
    gl.deleteLists(list, 1);
    std::vector<unsigned char> frame = readFrame();
    static int dumped;
    if (getenv("DUMP")) {
        char name[256];
        snprintf(name, sizeof name, "%s%d.ppm", getenv("DUMP"), dumped++);
        FILE* f = fopen(name, "wb");
        fprintf(f, "P6 %d %d 255\n", WIDTH, HEIGHT);
        fwrite(frame.data(), 1, frame.size(), f);
        fclose(f);
    }
    for (GLenum cap : {GL_LIGHTING, GL_FOG, GL_TEXTURE_2D}) gl.disable(cap);
    glUseProgram(0);
    return frame;
}

// "N pixels in (x0, y0)-(x1, y1)" of the white pixels of a frame.
std::string inkBox(const std::vector<unsigned char>& frame) {
    int n = 0, x0 = WIDTH, y0 = HEIGHT, x1 = -1, y1 = -1;
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x)
            if (frame[(y * WIDTH + x) * 3] == 255) {
                ++n;
                x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
            }
    char text[96];
    snprintf(text, sizeof text, "%d pixels in (%d, %d)-(%d, %d)", n, x0, y0, x1, y1);
    return text;
}

class WebLayerGl : public testing::Test {
   protected:
    void SetUp() override {
        if (!openGlContext(WIDTH, HEIGHT)) GTEST_SKIP() << "no display";
    }
};

void expectSameMatrix(const float* expected, const float* actual, const char* what) {
    for (int k = 0; k < 16; ++k)
        EXPECT_NEAR(expected[k], actual[k], 1e-4f * (1.0f + fabsf(expected[k]))) << what << ", element " << k;
}

TEST_F(WebLayerGl, MatricesAreGlus) {
    const double eyes[][9] = {{10, 25, 40, 0, 0, 0, 0, 1, 0}, {-300, 800, 120, 40, 310, -500, 0, 1, 0},
                              {1, 2, 3, 1, 2, 2, 0, 1, 0.3}};
    for (const double* e : eyes) {
        float mesa[16], ours[16];
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(3, -4, 5);
        gluLookAt(e[0], e[1], e[2], e[3], e[4], e[5], e[6], e[7], e[8]);
        glRotatef(33, 0.2f, 1, -0.4f);
        glScalef(2, 0.5f, 3);
        glGetFloatv(GL_MODELVIEW_MATRIX, mesa);
        mat4Identity(ours);
        mat4Translate(ours, 3, -4, 5);
        mat4LookAt(ours, e[0], e[1], e[2], e[3], e[4], e[5], e[6], e[7], e[8]);
        mat4Rotate(ours, 33, 0.2f, 1, -0.4f);
        mat4Scale(ours, 2, 0.5f, 3);
        expectSameMatrix(mesa, ours, "look-at chain");
    }
    // gluPerspective multiplies what is there rather than replacing it.
    float mesa[16], ours[16];
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glTranslatef(0.5f, 0, 0);
    gluPerspective(60.0, 4.0 / 3.0, 1.0, 2500.0);
    glGetFloatv(GL_PROJECTION_MATRIX, mesa);
    mat4Identity(ours);
    mat4Translate(ours, 0.5f, 0, 0);
    mat4Perspective(ours, 60.0, 4.0 / 3.0, 1.0, 2500.0);
    expectSameMatrix(mesa, ours, "perspective");
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
}

// The layer's replay of a list against Mesa's compiled list: lit with colour
// material and a point light, fogged, textured, with attributes given once
// for several vertices and colours inherited from outside the list.
TEST_F(WebLayerGl, ListReplayDrawsMesasFrame) {
    std::vector<unsigned char> mesa = drawScene(MESA);
    std::vector<unsigned char> ours = drawScene(LAYER);
    int lit = 0;
    for (size_t p = 0; p < mesa.size(); p += 3) lit += mesa[p] + mesa[p + 1] + mesa[p + 2] > 60;
    EXPECT_GT(lit, WIDTH * HEIGHT / 4) << "the scene should fill much of the frame";
    EXPECT_GE(shareWithin(mesa, ours, 3), 0.98);

    fglFault = FGL_FAULT_COLOUR_UNLIT;
    std::vector<unsigned char> broken = drawScene(LAYER);
    fglFault = FGL_NO_FAULT;
    EXPECT_LT(shareWithin(mesa, broken, 3), 0.9) << "colours ignored under lighting must show";
}

// glRasterPos and glBitmap: the same window position, validity and pixels.
TEST_F(WebLayerGl, TextLandsWhereGlBitmapPutsIt) {
    const float points[][3] = {{0, 5, 0}, {-7.3f, 2.25f, 4.1f}, {3, 12, -30}};
    float mesaRaster[2] = {0, 0};
    for (const float* p : points) {
        for (int layer = 0; layer < 2; ++layer) {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            const Gl& gl = layer ? LAYER : MESA;
            gl.matrixMode(GL_PROJECTION);
            gl.loadIdentity();
            gl.perspective(60.0, (double)WIDTH / HEIGHT, 1.0, 200.0);
            gl.matrixMode(GL_MODELVIEW);
            gl.loadIdentity();
            gl.lookAt(10, 25, 40, 0, 0, 0, 0, 1, 0);
            gl.disable(GL_LIGHTING);
            gl.disable(GL_DEPTH_TEST);
            gl.colour(1, 1, 1, 1);
            float window[3];
            if (layer) {
                fglRasterPos3f(p[0], p[1], p[2]);
                ASSERT_TRUE(fglRasterPosition(window));
                EXPECT_NEAR(window[0], mesaRaster[0], 1e-3f);
                EXPECT_NEAR(window[1], mesaRaster[1], 1e-3f);
                for (const char* c = TEXT; *c; ++c) fglBitmapCharacter(nullptr, *c);
                fglFlush();
            } else {
                glRasterPos3f(p[0], p[1], p[2]);
                float raster[4];
                glGetFloatv(GL_CURRENT_RASTER_POSITION, raster);
                mesaRaster[0] = raster[0];
                mesaRaster[1] = raster[1];
                glPixelStorei(GL_UNPACK_ALIGNMENT, 1);  // as freeglut draws its glyphs
                for (const char* c = TEXT; *c; ++c) {
                    const BitmapGlyph& g = HELVETICA_18_GLYPHS[(int)*c];
                    glBitmap(g.width, g.height, g.xorig, g.yorig, g.xmove, 0, g.bits);
                }
                glFinish();
            }
            static std::vector<unsigned char> mesa;
            if (!layer) {
                mesa = readFrame();
                continue;
            }
            std::vector<unsigned char> ours = readFrame();
            int ink = 0;
            for (unsigned char v : mesa) ink += v == 255;
            EXPECT_GT(ink, 3 * 40) << "the text should be drawn";
            EXPECT_TRUE(mesa == ours) << "text at (" << p[0] << ", " << p[1] << ", " << p[2] << "): " << inkBox(mesa)
                                      << " drawn by Mesa, " << inkBox(ours) << " by the layer";
            glUseProgram(0);
        }
    }
    // Behind the eye there is no valid raster position, and nothing is drawn.
    fglRasterPos3f(10, 25, 80);
    float window[3];
    EXPECT_FALSE(fglRasterPosition(window));
    glRasterPos3f(10, 25, 80);
    GLint valid = 1;
    glGetIntegerv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
    EXPECT_EQ(valid, 0);
}

}  // namespace
