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

// The draw distance's floor, a choice of play: however slow the machine, the
// far plane, at half the distance, stays 500 out. The projection itself
// would hold down to 2, where the far plane meets the near plane at 1.
const int MIN_VIEW_DISTANCE = 1000;

extern int VIEW_DISTANCE;
extern int SHADOW;
extern float shadowSwitchTime;
extern int WIRE_FRAME;
extern int TERRAIN_DEFORMING;
extern int TRANSPARENCY;
// 1: each frame takes the drawing shortcuts that leave every pixel and the
// game the same: what the view cannot hold is left out, the sky fills only
// what the ground leaves, the stick figures' state is set once for the
// crowd, and the stencil is cleared with the depth so that the shadow's
// darkening keeps to each volume's rectangle. 0 draws every part literally;
// tests and benchmarks compare the two.
extern int DRAWING_SHORTCUTS;
extern int gameOver;
extern float ratio;
extern Uint8* keys;
// The time the last frame took, as measured (animate): the draw distance,
// the shadow's budget and the read-out's frame rate follow it.
extern float timeH;
// The step the world took this frame: timeH, capped (animate), so a slow
// machine plays in slow motion; what moves in the game moves by this.
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
