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

// The cube's penalty contact and the camera's pull diverge on long steps, so
// a frame slower than this is simulated as this long: a slow machine plays in
// slow motion instead of flinging the cube off the map. At this step the
// cube still comes to rest on the ground as it does at 60 frames a second.
const float MAX_STEP = 0.03f;

void initAnimation();
void animate(Cube* cube, PeopleList* people, TankList* tanks, Camera* camera, Terrain* terrain, ShotList* shots);

#endif
