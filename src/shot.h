// Tank shells in flight: ballistics, hits on the cube, craters where they
// land, and their drawing as glowing streaks.
#ifndef CUBEGAME_SHOT_H
#define CUBEGAME_SHOT_H

#include "cube.h"
#include "terrain.h"
#include "util.h"

struct Shot {
    int id;
    Vector position;
    Vector velocity;  // horizontal components act doubled
    int angle;
    Shot* next;
};

struct ShotList {
    Shot* head;  // newest first
    int nextId;
};

int addShot(ShotList* list, Shot shot);
int removeShot(ShotList* list, Shot* shot);
int destroyShotList(ShotList* list);
void updateShot(ShotList* list, Cube* cube, float dt, int width, int height, int scale);
void applyShotGravity(Shot* shot, float dt);
void updateShotPosition(Shot* shot, float dt);
int checkShotCollision(Shot* shot, Cube* cube);
void drawShots(ShotList* list, Terrain* terrain);
void drawShot();

#endif
