// GLUT's bitmap text for the web build: a raster position placed through the
// layer's matrices and glyphs drawn at it, pixel for pixel as glBitmap would.
#ifndef CUBEGAME_WEB_BITMAPTEXT_H
#define CUBEGAME_WEB_BITMAPTEXT_H

// One glyph as freeglut hands it to glBitmap: rows bottom first, each row
// (width + 7) / 8 bytes, leftmost pixel in the high bit.
struct BitmapGlyph {
    int width, height;
    float xorig, yorig, xmove;
    const unsigned char* bits;
};

// Helvetica 18, made at build time from freeglut's own (web/tools/fontdump.cpp).
extern const BitmapGlyph HELVETICA_18_GLYPHS[256];

void fglRasterPos3f(float x, float y, float z);
// Where the next glyph goes, in window coordinates with depth; false when
// the last raster position fell outside the view volume.
bool fglRasterPosition(float window[3]);
void fglBitmapCharacter(void* font, int character);
// The glyph texture is made again at the next glyph, in a restored context.
void bitmapTextContextRestored();

#endif
