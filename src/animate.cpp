// The frame timer: the step h is the wall-clock time between two frames at
// millisecond resolution, published in timeH (the draw-distance steering and
// the read-out use it); the step the world takes, capped, is published in
// timeStep and summed into the game's own clock; every moving thing is
// updated once per frame in a fixed order.
#include "animate.h"

#include <SDL/SDL.h>

#include <cstdint>

#include "main.h"

const int32_t milli = 1000;

static float startTime;
static float elapsedTime;
// elapsedTime of the previous frame; a new start begins from 0 again.
static float time;
// Sum of the simulated steps: the tanks fire on this clock, so a slow
// machine's slow motion slows their fire alike.
static float gameTime;

// Widened to 64 bits so the reading is exact and never negative.
static double clockSeconds() {
    int64_t ticks = (int64_t)SDL_GetTicks();
    return (double)ticks / milli;
}

void initAnimation() {
    startTime = (float)clockSeconds();
    timeH = 0.0f;
    timeStep = 0.0f;
    gameTime = 0.0f;
    time = 0.0f;
}

void animate(Cube* cube, PeopleList* people, TankList* tanks, Camera* camera, Terrain* terrain, ShotList* shots) {
    float h;

    elapsedTime = (float)(clockSeconds() - startTime);
    h = elapsedTime - time;
    time = elapsedTime;
    timeH = h;

    float step = h < MAX_STEP ? h : MAX_STEP;
    timeStep = step;
    gameTime += step;
    updateCube(cube, step);
    updatePerson(people, cube, step, terrain);
    updateTank(tanks, cube, step, terrain, shots, gameTime);
    updateShot(shots, cube, step, terrain->width, terrain->height, (int)terrain->scale);
    calcTargetView(camera, cube);
    updateCamera(camera, step);
}
