// A windowed context with the same attributes as the game's full-screen mode.
#include "gl_context.h"

#include <SDL/SDL.h>

#include "main.h"

bool openGlContext(int width, int height) {
    static bool open = false;
    if (open) return true;
    if (SDL_Init(SDL_INIT_VIDEO) < 0) return false;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    if (!SDL_SetVideoMode(width, height, 0, SDL_OPENGL)) return false;
    // setupOpengl reads the draw distance for its projection and fog.
    if (VIEW_DISTANCE == 0) VIEW_DISTANCE = 5000;
    setupOpengl(width, height);
    open = true;
    return true;
}
