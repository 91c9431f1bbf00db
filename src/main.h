// The game shell: the global records and switches, start-up, the frame loop,
// keyboard handling, frame drawing with sky box and heads-up text, the
// cube's contact with the landscape, and shut-down.
#ifndef CUBEGAME_MAIN_H
#define CUBEGAME_MAIN_H

#include <SDL/SDL.h>

#include "camera.h"
#include "cube.h"
#include "image.h"
#include "people.h"
#include "shot.h"
#include "tank.h"
#include "terrain.h"
#include "util.h"

// Build constants, defined once per deliverable (config/).
extern const int SCREEN_WIDTH;
extern const int SCREEN_HEIGHT;
extern const int PEOPLE_COUNT;
extern const int TANK_COUNT;

// Draw distance never falls below this, so the far plane (at half of it)
// always lies beyond the cube and its text, game over included. The eye is
// farthest then: 1000 behind the cube and 1000 above the ground under the
// eye, which stands at most 600 (the highest a height image reaches) above
// the ground under the cube: sqrt(1000^2 + 1600^2) = 1887, plus the cube.
const int MIN_VIEW_DISTANCE = 4000;

extern int VIEW_DISTANCE;
extern int SHADOW;
extern float shadowSwitchTime;
extern int WIRE_FRAME;
extern int TERRAIN_DEFORMING;
extern int TRANSPARENCY;
// 1: terrain blocks, people and tanks wholly outside the view are not sent
// to OpenGL, and the frame is drawn in the cheaper ways that give the same
// pixels (the sky after the ground, the figures' state set once, the
// stencil cleared with the frame). The pictures are the same either way;
// tests and benchmarks compare the two.
extern int CULL_HIDDEN;
extern int gameOver;
extern float ratio;
extern Uint8* keys;
extern float timeH;
// The step the world took this frame: timeH, capped (animate).
extern float timeStep;

extern Cube cb;
extern Camera cam;
extern Terrain ter;
extern PeopleList* peopleLst;
extern TankList* tankLst;
extern ShotList* shotLst;

extern float skyBoxSize;
extern unsigned int skyBoxTexName;
extern TgaImage* skyBoxImage;

int SDL_main(int argc, char* argv[]);
// The switches' start values, before anything else runs.
void setStartSwitches();
// Colour, depth, stencil and double-buffer sizes for the next video mode.
void requestGlAttributes();
void setupOpengl(int width, int height);
void processEvents();
// The three list records, then cube, camera, terrain, crowd and placed
// tanks, in start-up's order; 1 when every part was built. Needs the GL
// context and the images in the current folder.
int buildWorld(int people, int tanks);
// Frees what buildWorld and the sky texture's loading made, with quit()'s
// lines but without ending the process; safe on a partly built world.
void releaseWorld();
[[noreturn]] void quit();

void handleKeyDown();

void drawScreen();
// Draw-distance steering and the shadow's time budget, once per frame.
void adaptViewDistance();
void spendShadowBudget();
void initSkyBoxTexture();
void drawSkyBox();
void displayScore();
void displaySize();
void displayGameOver();

void collideCubeTerrain();
void handleCollision(Cube* cube, Vector n, Vector v, Vector p, float depth);

#endif
