// Bitmap text: the raster position follows glRasterPos (the point through the
// model-view, projection and viewport, invalid outside the view volume), and
// each glyph is drawn from a texture of all glyphs at the pixels glBitmap
// would fill, in the colour current when the position was set.
#include "bitmaptext.h"

#include <cmath>
#include <vector>

#include "fixedgl.h"
#include "glmatrix.h"

// Glyph cells in the texture: 16 x 16 cells of 32 pixels.
const int CELL = 32;
const int CELLS_PER_ROW = 16;
const int ATLAS = CELL * CELLS_PER_ROW;
// Mesa's nudge, so a position on a pixel edge rounds the same way.
const float EDGE_EPSILON = 0.0001f;

static float raster[3];
static bool rasterValid;
static float rasterColour[4];
static GLuint atlas;

static void makeAtlas() {
    std::vector<unsigned char> pixels((size_t)ATLAS * ATLAS * 4, 0);
    for (int c = 0; c < 256; ++c) {
        const BitmapGlyph& g = HELVETICA_18_GLYPHS[c];
        int x0 = (c % CELLS_PER_ROW) * CELL, y0 = (c / CELLS_PER_ROW) * CELL;
        int rowBytes = (g.width + 7) / 8;
        for (int y = 0; g.bits && y < g.height && y < CELL; ++y)
            for (int x = 0; x < g.width && x < CELL; ++x)
                if (g.bits[y * rowBytes + x / 8] & (0x80 >> (x % 8)))
                    for (int k = 0; k < 4; ++k) pixels[(((size_t)y0 + y) * ATLAS + x0 + x) * 4 + k] = 255;
    }
    glGenTextures(1, &atlas);
    glBindTexture(GL_TEXTURE_2D, atlas);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, ATLAS, ATLAS, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

void bitmapTextContextRestored() {
    atlas = 0;
}

void fglRasterPos3f(float x, float y, float z) {
    float modelView[16], projection[16];
    GLint viewport[4];
    fglGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    fglGetFloatv(GL_PROJECTION_MATRIX, projection);
    fglGetIntegerv(GL_VIEWPORT, viewport);
    const float object[4] = {x, y, z, 1.0f};
    float eye[4], clip[4];
    mat4Transform(modelView, object, eye);
    mat4Transform(projection, eye, clip);
    float w = clip[3];
    rasterValid = w > 0.0f && fabsf(clip[0]) <= w && fabsf(clip[1]) <= w && fabsf(clip[2]) <= w;
    if (!rasterValid) return;
    raster[0] = viewport[0] + (clip[0] / w + 1.0f) * 0.5f * viewport[2];
    raster[1] = viewport[1] + (clip[1] / w + 1.0f) * 0.5f * viewport[3];
    raster[2] = (clip[2] / w + 1.0f) * 0.5f;
    // The text is drawn unlit, so the raster colour is the current colour.
    fglCurrentColor(rasterColour);
}

bool fglRasterPosition(float window[3]) {
    for (int i = 0; i < 3; ++i) window[i] = raster[i];
    return rasterValid;
}

void fglBitmapCharacter(void*, int character) {
    if (character < 1 || character > 255 || !rasterValid) return;
    const BitmapGlyph& g = HELVETICA_18_GLYPHS[character];
    if (!atlas) makeAtlas();
    float x = floorf(raster[0] + EDGE_EPSILON - g.xorig);
    float y = floorf(raster[1] + EDGE_EPSILON - g.yorig);
    if (g.width > 0 && g.height > 0) {
        float s0 = (float)((character % CELLS_PER_ROW) * CELL) / ATLAS;
        float t0 = (float)((character / CELLS_PER_ROW) * CELL) / ATLAS;
        fglDrawMask(atlas, x, y, (float)g.width, (float)g.height, s0, t0, s0 + (float)g.width / ATLAS,
                    t0 + (float)g.height / ATLAS, raster[2], rasterColour);
    }
    raster[0] += g.xmove;
}
