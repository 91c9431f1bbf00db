// Frame time of cubegame_640 through drawScreen at a fixed draw distance, in
// a window on the current display, with the images of the current folder:
// built natively and for Windows, so bench/wine_frame_time.sh can time both
// on the same X server, the Windows one under Wine. Prints one line:
// median and mean ms a frame.
#include <GL/gl.h>
#include <SDL/SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "animate.h"
#include "main.h"
#include "world.h"

// A plain main on every system: SDL_main.h renames it on Windows.
#undef main

namespace {

const int SEED = 2026;
const int DRAW_DISTANCE = 5000;
const int PASSES = 3;
// The cube on the open map, turned a full circle, then at four spots inland.
const float SPOTS[][2] = {{0, 0}, {3000, 3000}, {-3000, 3000}, {3000, -3000}, {-3000, -3000}};
const int HEADING_STEP = 30;

void place(float x, float z, float heading) {
    cb.position = vectorInit(x, getHeightAt(&ter, x, z) + cb.size * 0.5f + 5.0f, z);
    cb.momentum = vectorInit(0.0f, 0.0f, 0.0f);
    cb.angularMomentum = vectorInit(0.0f, 0.0f, 0.0f);
    cb.heading = heading;
    VIEW_DISTANCE = DRAW_DISTANCE;
    calcTargetView(&cam, &cb);
    cam.position = cam.targetPosition;
    cam.position.y = getHeightAt(&ter, cam.position.x, cam.position.z) + cam.distance;
}

double timedFrame() {
    glFinish();
    const auto start = std::chrono::steady_clock::now();
    drawScreen();
    glFinish();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int, char*[]) {
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        fprintf(stderr, "frame_time: no display: %s\n", SDL_GetError());
        return 1;
    }
    requestGlAttributes();
    if (!SDL_SetVideoMode(SCREEN_WIDTH, SCREEN_HEIGHT, 0, SDL_OPENGL)) {
        fprintf(stderr, "frame_time: no OpenGL window: %s\n", SDL_GetError());
        return 1;
    }
    setStartSwitches();
    setupOpengl(SCREEN_WIDTH, SCREEN_HEIGHT);
    srand(SEED);
    if (!buildWorld(PEOPLE_COUNT, TANK_COUNT)) {
        fprintf(stderr, "frame_time: the world could not be built (images in this folder?)\n");
        return 1;
    }
    initAnimation();
    std::vector<double> ms;
    for (int pass = 0; pass < PASSES; pass++)
        for (const auto& spot : SPOTS)
            for (int heading = 0; heading < 360; heading += HEADING_STEP) {
                place(spot[0], spot[1], (float)heading);
                ms.push_back(timedFrame());
            }
    releaseWorld();
    double sum = 0;
    for (double m : ms) sum += m;
    std::sort(ms.begin(), ms.end());
    printf("%.2f %.2f\n", ms[ms.size() / 2], sum / ms.size());
    SDL_Quit();
    return 0;
}
