// The web build's side of SDL: a video information record with a pixel
// format, and a buffer swap that hands the frame to the browser and resumes
// the game's own loop at the next animation frame.
#include <SDL/SDL.h>
#include <emscripten.h>

#include "fixedgl.h"

const int PAGE_BITS_PER_PIXEL = 32;

EM_ASYNC_JS(void, waitForAnimationFrame, (), {
    await new Promise(function(resume) { requestAnimationFrame(function() { resume(); }); });
});

const SDL_VideoInfo* webGetVideoInfo() {
    static SDL_PixelFormat format;
    static SDL_VideoInfo info;
    format.BitsPerPixel = PAGE_BITS_PER_PIXEL;
    format.BytesPerPixel = PAGE_BITS_PER_PIXEL / 8;
    info.vfmt = &format;
    return &info;
}

void webSwapBuffers() {
    fglFlush();
    waitForAnimationFrame();
}

void webQuit() {
}
