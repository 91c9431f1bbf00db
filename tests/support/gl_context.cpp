// A windowed context with the same attributes as the game's full-screen mode.
#include "gl_context.h"

#include <SDL/SDL.h>

#include <cstdio>

#include "main.h"

// One try at the display and a window with the game's GL attributes.
static bool openWindow(int width, int height) {
    if (SDL_Init(SDL_INIT_VIDEO) < 0) return false;
    requestGlAttributes();
    return SDL_SetVideoMode(width, height, 0, SDL_OPENGL) != nullptr;
}

bool openGlContext(int width, int height) {
    static bool open = false;
    if (open) return true;
    // A loaded X server now and then refuses a window; a second try gets one.
    const int tries = 5;
    for (int attempt = 1; !open && attempt <= tries; ++attempt) {
        open = openWindow(width, height);
        if (!open) {
            fprintf(stderr, "no GL window (try %d of %d): %s\n", attempt, tries, SDL_GetError());
            SDL_Quit();
            SDL_Delay(500);
        }
    }
    if (!open) return false;
    // setupOpengl reads the draw distance for its projection and fog.
    if (VIEW_DISTANCE == 0) VIEW_DISTANCE = 5000;
    setupOpengl(width, height);
    return true;
}
