// The web build's side of SDL: a video information record with a pixel
// format, and a buffer swap that hands the frame to the browser and resumes
// the game's own loop at the next animation frame.
#include <SDL/SDL.h>
#include <emscripten.h>

#include "fixedgl.h"
#include "websdl.h"

const int PAGE_BITS_PER_PIXEL = 32;

void (*webBeforeSwap)();

// Also notes, for the benchmark, how long each frame kept the page busy
// (Module.frameBusy) and how long from swap to swap (Module.frameTimes), in ms.
EM_ASYNC_JS(void, waitForAnimationFrame, (), {
    var now = performance.now();
    if (Module.frameResumed) {
        Module.frameBusy = (Module.frameBusy || []).slice(-599).concat([now - Module.frameResumed]);
        Module.frameTimes = (Module.frameTimes || []).slice(-599).concat([now - (Module.frameSwapped || now)]);
    }
    Module.frameSwapped = now;
    await new Promise(function(resume) { requestAnimationFrame(function() { resume(); }); });
    Module.frameResumed = performance.now();
});

const SDL_VideoInfo* webGetVideoInfo() {
    static SDL_PixelFormat format;
    static SDL_VideoInfo info;
    format.BitsPerPixel = PAGE_BITS_PER_PIXEL;
    format.BytesPerPixel = PAGE_BITS_PER_PIXEL / 8;
    info.vfmt = &format;
    return &info;
}

// Set by the page when the browser gives a lost context back.
EM_JS(int, takeContextRestored, (), {
    var restored = Module.contextRestored;
    Module.contextRestored = false;
    return restored ? 1 : 0;
});

void webSwapBuffers() {
    fglFlush();
    if (webBeforeSwap) webBeforeSwap();
    waitForAnimationFrame();
    if (takeContextRestored()) fglContextRestored();
}

void webQuit() {
}
