// shot: placeholder bodies, replaced as the module is written.
#include "shot.h"

int addShot(ShotList* list, Shot shot) { return {}; }
int removeShot(ShotList* list, Shot* shot) { return {}; }
int destroyShotList(ShotList* list) { return {}; }
void updateShot(ShotList* list, Cube* cube, float dt, int width, int height, int scale) { }
void applyShotGravity(Shot* shot, float dt) { }
void updateShotPosition(Shot* shot, float dt) { }
int checkShotCollision(Shot* shot, Cube* cube) { return {}; }
void drawShots(ShotList* list, Terrain* terrain) { }
void drawShot() { }
