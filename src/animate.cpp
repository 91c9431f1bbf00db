// The frame timer: the step h is the wall-clock time between two frames at
// millisecond resolution, published in timeH, and every moving thing is
// updated once per frame in a fixed order.
#include "animate.h"

#include <SDL/SDL.h>

#include <cstdint>

#include "main.h"

const int32_t milli = 1000;

static float startTime;
static float elapsedTime;

// Widened to 64 bits so the reading is exact and never negative.
static double clockSeconds() {
    int64_t ticks = (int64_t)SDL_GetTicks();
    return (double)ticks / milli;
}

void initAnimation() {
    startTime = (float)clockSeconds();
    timeH = 0.0f;
}

void animate(Cube* cube, PeopleList* people, TankList* tanks, Camera* camera, Terrain* terrain, ShotList* shots) {
    static float time = 0.0f;
    static float h;

    elapsedTime = (float)(clockSeconds() - startTime);
    h = elapsedTime - time;
    time = elapsedTime;
    timeH = h;

    updateCube(cube, h);
    updatePerson(people, cube, h, terrain);
    updateTank(tanks, cube, h, terrain, shots, time);
    updateShot(shots, cube, h, terrain->width, terrain->height, (int)terrain->scale);
    calcTargetView(camera, cube);
    updateCamera(camera, h);
}
