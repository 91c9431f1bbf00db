// Opens a real SDL 1.2 OpenGL window for tests that draw (DISPLAY from Xvfb).
#ifndef CUBEGAME_TEST_GL_CONTEXT_H
#define CUBEGAME_TEST_GL_CONTEXT_H

// Opens (once per process) a windowed OpenGL context with the game's
// attributes and the fixed GL state of setupOpengl; returns true on success.
bool openGlContext(int width = 320, int height = 240);

#endif
