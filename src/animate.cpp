// The frame timer: the step h is the wall-clock time between two frames at
// millisecond resolution, published in timeH (the draw-distance steering and
// the read-out use it), and every moving thing is updated once per frame in
// a fixed order.
#include "animate.h"

#include <SDL/SDL.h>

#include <cstdint>

#include "main.h"

const int32_t milli = 1000;

// The cube's penalty contact and the camera's pull diverge on long steps, so
// a frame slower than this is simulated as this long: a slow machine plays in
// slow motion instead of flinging the cube off the map. Within the frame
// times the draw distance steers toward, the step is the measured one.
const float MAX_STEP = 0.04f;

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

    float step = h < MAX_STEP ? h : MAX_STEP;
    updateCube(cube, step);
    updatePerson(people, cube, step, terrain);
    updateTank(tanks, cube, step, terrain, shots, time);
    updateShot(shots, cube, step, terrain->width, terrain->height, (int)terrain->scale);
    calcTargetView(camera, cube);
    updateCamera(camera, step);
}
