// probe MODE [OUT]: the game's own frames for comparing and timing the web
// build against the native one. A seeded world (its fingerprint printed, so
// both sides can show they drew the same world) is drawn through drawScreen
// on a clock that only moves when told to.
//   picture: fixed views at draw distance 5000 with the world standing still;
//            natively written to OUT/viewN.ppm, on the web kept for the test.
//   bench:   frames around the cube at draw distance 5000, the world moving
//            30 ms a frame, each drawn to the end before the next (natively
//            glFinish, on the web a pixel read); prints the median and
//            95th-percentile frame time.
// Both run natively (DISPLAY) and as a page (Module.arguments).
#include <GL/gl.h>
#include <SDL/SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "animate.h"
#include "fake_clock.h"
#include "main.h"
#include "world.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#include "fixedgl.h"
#include "websdl.h"
#else
#include <dlfcn.h>
#endif

const int SEED = 2026;
const int DISTANCE = 5000;
const Uint32 BENCH_STEP_MS = 30;  // between the steering thresholds: the distance stays
const int BENCH_FRAMES = 240;  // the first quarter is left out

// Into the crowd at the centre, along the hills, and over a map corner.
const Viewpoint VIEWS[] = {{0, 0, 30, DISTANCE, 0}, {2000, -1500, 200, DISTANCE, 0}, {-5000, 4500, 135, DISTANCE, 0}};
const int VIEW_COUNT = sizeof VIEWS / sizeof VIEWS[0];

static std::vector<unsigned char> captured[VIEW_COUNT];
static int capturing = -1;

// The frame as drawn, bottom row first, RGB, read just before it is shown.
static void capture() {
    if (capturing < 0) return;
    std::vector<unsigned char> rgba((size_t)SCREEN_WIDTH * SCREEN_HEIGHT * 4);
    glReadPixels(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    std::vector<unsigned char>& out = captured[capturing];
    out.resize((size_t)SCREEN_WIDTH * SCREEN_HEIGHT * 3);
    for (size_t i = 0; i < out.size() / 3; ++i) memcpy(&out[i * 3], &rgba[i * 4], 3);
}

#ifndef __EMSCRIPTEN__
// Stands in for SDL's swap, to read the frame first.
extern "C" void SDL_GL_SwapBuffers(void) {
    static void (*real)(void) = (void (*)(void))dlsym(RTLD_NEXT, "SDL_GL_SwapBuffers");
    capture();
    real();
}
#endif

static unsigned int fingerprint() {
    unsigned int h = 2166136261u;
    auto mix = [&h](const void* p, size_t n) {
        for (size_t i = 0; i < n; ++i) h = (h ^ ((const unsigned char*)p)[i]) * 16777619u;
    };
    for (TankNode* t = tankLst->head; t; t = t->next) mix(&t->position, sizeof t->position);
    for (int i = 0; i < BUCKET_COUNT; ++i)
        for (int j = 0; j < BUCKET_COUNT; ++j)
            if (peopleLst->buckets[i][j])
                for (PersonNode* p = *peopleLst->buckets[i][j]; p; p = p->next) mix(&p->position, sizeof p->position);
    return h;
}

// The cube set down at rest there, the camera behind it.
static void place(const Viewpoint& v) {
    poseFrame(std::vector<Viewpoint>{v}, 0);
}

static void pictures(const char* out) {
    for (int k = 0; k < VIEW_COUNT; ++k) {
        place(VIEWS[k]);
        drawScreen();  // lets anything the first look rebuilds settle
        place(VIEWS[k]);
        capturing = k;
        drawScreen();
        capturing = -1;
        if (!out) continue;
        char name[512];
        snprintf(name, sizeof name, "%s/view%d.ppm", out, k);
        FILE* f = fopen(name, "wb");
        if (!f) {
            perror(name);
            exit(1);
        }
        fprintf(f, "P6\n%d %d\n255\n", SCREEN_WIDTH, SCREEN_HEIGHT);
        // PPM runs top row first.
        for (int y = SCREEN_HEIGHT - 1; y >= 0; --y) fwrite(&captured[k][(size_t)y * SCREEN_WIDTH * 3], 3, SCREEN_WIDTH, f);
        fclose(f);
    }
#ifdef __EMSCRIPTEN__
    for (int k = 0; k < VIEW_COUNT; ++k)
        EM_ASM({ (Module.views = Module.views || [])[$0] = HEAPU8.slice($1, $1 + $2); }, k, captured[k].data(),
               (int)captured[k].size());
#endif
    printf("pictures: %d\n", VIEW_COUNT);
}

// Returns once everything sent so far is drawn, so that a frame's time is
// all of its cost and none of the next's. A browser's glFinish only
// flushes; reading a pixel waits. On the web it runs just before the swap,
// which is when the drawing is all sent and the picture still there.
static void finishDrawing() {
#ifdef __EMSCRIPTEN__
    unsigned char pixel[4];
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
#else
    glFinish();
#endif
}

static void bench() {
    printf("renderer: %s\n", (const char*)glGetString(GL_RENDERER));
#ifdef __EMSCRIPTEN__
    webBeforeSwap = finishDrawing;
#endif
    std::vector<double> ms;
    for (int f = 0; f < BENCH_FRAMES; ++f) {
        place({0, 0, (float)(f * 3 % 360), DISTANCE, 0});
        advanceFakeClock(BENCH_STEP_MS);
#ifndef __EMSCRIPTEN__
        finishDrawing();
#endif
        auto start = std::chrono::steady_clock::now();
        drawScreen();
#ifndef __EMSCRIPTEN__
        finishDrawing();
#endif
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    // The first frames build what later ones reuse.
    ms.erase(ms.begin(), ms.begin() + BENCH_FRAMES / 4);
    std::sort(ms.begin(), ms.end());
    printf("frame ms at D %d: median %.1f, 95th percentile %.1f\n", DISTANCE, ms[ms.size() / 2],
           ms[ms.size() * 95 / 100]);
}

int main(int argc, char* argv[]) {
    const char* mode = argc > 1 ? argv[1] : "picture";
#ifdef __EMSCRIPTEN__
    webBeforeSwap = capture;
    // MODE perdraw: each batch sent in a buffer of its own, as the layer did
    // before; picture lookat|colour: the views through a layer with that fault.
    if (argc > 2 && strcmp(argv[2], "perdraw") == 0)
        fglStreamInPlace = false;
    else if (argc > 2)
        fglFault = strcmp(argv[2], "lookat") == 0 ? FGL_FAULT_LOOKAT_IGNORED : FGL_FAULT_COLOUR_UNLIT;
#endif
    if (SDL_Init(SDL_INIT_VIDEO) < 0) return 1;
    requestGlAttributes();
    if (!SDL_SetVideoMode(SCREEN_WIDTH, SCREEN_HEIGHT, 32, SDL_OPENGL)) {
        fprintf(stderr, "probe: no OpenGL window\n");
        return 1;
    }
    setStartSwitches();
    setupOpengl(SCREEN_WIDTH, SCREEN_HEIGHT);
    srand(SEED);
    if (!buildWorld(PEOPLE_COUNT, TANK_COUNT)) {
        fprintf(stderr, "probe: the world could not be built\n");
        return 1;
    }
    printf("world: %08x\n", fingerprint());
    fflush(stdout);
    initAnimation();
    if (strcmp(mode, "bench") == 0)
        bench();
    else
#ifdef __EMSCRIPTEN__
        pictures(nullptr);
#else
        pictures(argc > 2 ? argv[2] : nullptr);
#endif
    fflush(stdout);
    // exit, not return: on the web only exit ends the page's run (onExit).
    exit(0);
}
