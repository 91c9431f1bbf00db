// fontdump OUT.cpp: writes freeglut's Helvetica 18 as the web build's glyph
// table, by catching what glutBitmapCharacter hands to glBitmap (this
// program's own glBitmap stands in for the library's). Needs an X display.
#include <GL/freeglut.h>
#include <GL/gl.h>

#include <cstdio>

struct Caught {
    int width, height;
    float xorig, yorig, xmove;
    unsigned char bits[512];
    bool seen;
};

static Caught caught;

extern "C" void glBitmap(GLsizei width, GLsizei height, GLfloat xorig, GLfloat yorig, GLfloat xmove, GLfloat,
                         const GLubyte* bitmap) {
    caught.width = width;
    caught.height = height;
    caught.xorig = xorig;
    caught.yorig = yorig;
    caught.xmove = xmove;
    int bytes = (width + 7) / 8 * height;
    for (int i = 0; i < bytes && i < (int)sizeof caught.bits; ++i) caught.bits[i] = bitmap ? bitmap[i] : 0;
    caught.seen = bytes <= (int)sizeof caught.bits;
}

int main(int argc, char* argv[]) {
    if (argc != 2) {
        fprintf(stderr, "usage: fontdump OUT.cpp\n");
        return 2;
    }
    glutInit(&argc, argv);
    FILE* out = fopen(argv[1], "w");
    if (!out) {
        perror(argv[1]);
        return 1;
    }
    fprintf(out, "// Made by web/tools/fontdump from freeglut's Helvetica 18.\n#include \"bitmaptext.h\"\n\n");
    Caught glyphs[256] = {};
    for (int c = 1; c < 256; ++c) {
        caught.seen = false;
        glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, c);
        glyphs[c] = caught;
        if (!caught.seen) continue;
        int bytes = (caught.width + 7) / 8 * caught.height;
        fprintf(out, "static const unsigned char g%d[] = {", c);
        for (int i = 0; i < bytes; ++i) fprintf(out, "%s%d", i ? "," : "", caught.bits[i]);
        fprintf(out, "%s};\n", bytes ? "" : "0");
    }
    fprintf(out, "\nconst BitmapGlyph HELVETICA_18_GLYPHS[256] = {\n");
    for (int c = 0; c < 256; ++c) {
        const Caught& g = glyphs[c];
        if (!g.seen) {
            fprintf(out, "    {0, 0, 0, 0, 0, nullptr},\n");
            continue;
        }
        fprintf(out, "    {%d, %d, %#gf, %#gf, %#gf, g%d},\n", g.width, g.height, g.xorig, g.yorig, g.xmove, c);
    }
    fprintf(out, "};\n");
    return fclose(out) == 0 ? 0 : 1;
}
