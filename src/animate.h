// The frame timer: measures each frame's step from the millisecond clock and
// runs every update once per frame in a fixed order.
#ifndef CUBEGAME_ANIMATE_H
#define CUBEGAME_ANIMATE_H

#include "camera.h"
#include "cube.h"
#include "people.h"
#include "shot.h"
#include "tank.h"
#include "terrain.h"

void initAnimation();
void animate(Cube* cube, PeopleList* people, TankList* tanks, Camera* camera, Terrain* terrain, ShotList* shots);

#endif
