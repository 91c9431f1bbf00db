// main: placeholder bodies, replaced as the module is written.
#include "main.h"
#include <cstdlib>

int VIEW_DISTANCE;
int SHADOW;
float shadowSwitchTime;
int WIRE_FRAME;
int TERRAIN_DEFORMING;
int TRANSPARENCY;
int gameOver;
float ratio;
Uint8* keys;
float timeH;
Cube cb;
Camera cam;
Terrain ter;
PeopleList* peopleLst;
TankList* tankLst;
ShotList* shotLst;
float skyBoxSize;
unsigned int skyBoxTexName;
TgaImage* skyBoxImage;

int SDL_main(int argc, char* argv[]) { return {}; }
void setupOpengl(int width, int height) { }
void processEvents() { }
void quit() { exit(0); }
void handleKeyDown() { }
void drawScreen() { }
void initSkyBoxTexture() { }
void drawSkyBox() { }
void displayScore() { }
void displaySize() { }
void displayGameOver() { }
void collideCubeTerrain() { }
void handleCollision(Cube* cube, Vector n, Vector v, Vector p, float depth) { }
