// Put before every source of the Windows build. Windows' gl.h stops at
// OpenGL 1.1: the later names the game uses (GL_INCR_WRAP, GL_CLAMP_TO_EDGE)
// come from glext.h. windows.h, which gl.h pulls in, defines `near` and `far`
// as empty macros that would eat variables of those names.
#ifndef CUBEGAME_WINDOWS_GL_H
#define CUBEGAME_WINDOWS_GL_H

#include <windows.h>

#include <GL/gl.h>
#include <GL/glext.h>

#undef near
#undef far

#endif
