// GLU in the web build: the two matrix helpers the game uses, from the layer.
#ifndef CUBEGAME_WEB_GLU_H
#define CUBEGAME_WEB_GLU_H

#include <GL/gl.h>

#define gluPerspective fglPerspective
#define gluLookAt fglLookAt

#endif
