// GLUT in the web build: only the Helvetica 18 bitmap text the game prints.
#ifndef CUBEGAME_WEB_FREEGLUT_H
#define CUBEGAME_WEB_FREEGLUT_H

#include <GL/gl.h>

#define GLUT_BITMAP_HELVETICA_18 ((void*)HELVETICA_18_GLYPHS)
#define glutBitmapCharacter fglBitmapCharacter

// The page has no windowing of GLUT's to set up.
static inline void glutInit(int*, char**) {
}

#endif
