// SDL 1.2 in the web build: emscripten's own, with the few differences from
// the desktop library bridged so the game's code stays as it is.
#ifndef CUBEGAME_WEB_SDL_H
#define CUBEGAME_WEB_SDL_H

#include_next <SDL/SDL.h>

#ifdef __cplusplus
extern "C" {
#endif
// Present in emscripten's library, missing from its headers.
Uint8* SDL_GetKeyState(int* numkeys);
#ifdef __cplusplus
}
#endif

// The key-state array is indexed by emscripten's codes: the arrows sit at
// their scan codes plus 1024 there, not at SDL 1.2's 273 to 276.
#undef SDLK_UP
#undef SDLK_DOWN
#undef SDLK_LEFT
#undef SDLK_RIGHT
#define SDLK_UP (82 | 1 << 10)
#define SDLK_DOWN (81 | 1 << 10)
#define SDLK_RIGHT (79 | 1 << 10)
#define SDLK_LEFT (80 | 1 << 10)

// A page cannot take the screen unasked; the page's own button does it.
#undef SDL_FULLSCREEN
#define SDL_FULLSCREEN 0

// Emscripten's video information has no pixel format; this one has.
const SDL_VideoInfo* webGetVideoInfo();
#define SDL_GetVideoInfo webGetVideoInfo

// Emscripten's SDL_Quit only prints that it is ignored, into the game's own
// output; there is nothing to shut down.
void webQuit();
#define SDL_Quit webQuit

// The frame loop never returns to the browser: each swap draws what is
// queued and waits for the next animation frame (ASYNCIFY).
void webSwapBuffers();
#define SDL_GL_SwapBuffers webSwapBuffers

#endif
