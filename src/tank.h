// The tanks: one linked list of vehicles that wander, engage and fire at the
// cube and get crushed, with their body and turret models.
#ifndef CUBEGAME_TANK_H
#define CUBEGAME_TANK_H

#include "cube.h"
#include "image.h"
#include "shot.h"
#include "terrain.h"
#include "util.h"

// A heading h points the model's +x along (cos h, 0, -sin h).
struct Tank {
    int id;
    int wanderDistance;  // -1 while engaging
    Vector position;
    float speed;
    float targetSpeed;
    float acceleration;
    float heading;
    float targetHeading;
    float turnRate;
    float scale;
    float lastShotTime;
};

struct TankNode : Tank {
    TankNode* next;
};

struct TankList {
    TankNode* head;  // most recently added first
    unsigned int turretList;
    unsigned int bodyList;
    TgaImage* image;
    unsigned int texture;
};

int makeTankList(TankList* list, int count);
void initTank(Tank* tank);
int addTank(TankList* list, Tank tank);
void randomTankPlacement(TankList* list, int sizex, int sizez, int resolution);
int removeTank(TankList* list, Tank tank);
int destroyTankList(TankList* list);

void updateTank(TankList* list, Cube* cube, float dt, Terrain* terrain, ShotList* shots, float time);
void updateTankAI(Tank* tank, Cube* cube, ShotList* shots, float time);
void updateTankPosition(Tank* tank, float dt, int sizex, int resolution);
int checkTankCollision(Tank tank, Cube* cube, Terrain* terrain);

void drawTank();
void drawTurret();
void drawTanks(TankList* list, Cube* cube, Terrain* terrain);
// drawTanks, leaving out the tanks wholly outside the view when given one;
// every tank's height is written either way.
void drawTanksInView(TankList* list, Cube* cube, Terrain* terrain, const Frustum* view);
// Tanks the last drawTanks drew.
int getDrawnTankCount();

#endif
