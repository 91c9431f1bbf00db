// tank: placeholder bodies, replaced as the module is written.
#include "tank.h"

int makeTankList(TankList* list, int count) { return {}; }
void initTank(Tank* tank) { }
int addTank(TankList* list, Tank tank) { return {}; }
void randomTankPlacement(TankList* list, int sizex, int sizez, int resolution) { }
int removeTank(TankList* list, Tank tank) { return {}; }
int destroyTankList(TankList* list) { return {}; }
void updateTank(TankList* list, Cube* cube, float dt, Terrain* terrain, ShotList* shots, float time) { }
void updateTankAI(Tank* tank, Cube* cube, ShotList* shots, float time) { }
void updateTankPosition(Tank* tank, float dt, int sizex, int resolution) { }
int checkTankCollision(Tank tank, Cube* cube, Terrain* terrain) { return {}; }
void drawTank() { }
void drawTurret() { }
void drawTanks(TankList* list, Cube* cube, Terrain* terrain) { }
