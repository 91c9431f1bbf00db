// A windowed context with the same attributes as the game's full-screen mode.
#include "gl_context.h"

#include <SDL/SDL.h>

#include <cstdio>

#include "main.h"

bool openGlContext(int width, int height) {
    static bool open = false;
    if (open) return true;
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        fprintf(stderr, "no display: %s\n", SDL_GetError());
        return false;
    }
    requestGlAttributes();
    if (!SDL_SetVideoMode(width, height, 0, SDL_OPENGL)) {
        fprintf(stderr, "no GL window: %s\n", SDL_GetError());
        SDL_Quit();
        return false;
    }
    open = true;
    // setupOpengl reads the draw distance for its projection and fog.
    if (VIEW_DISTANCE == 0) VIEW_DISTANCE = 5000;
    setupOpengl(width, height);
    return true;
}
