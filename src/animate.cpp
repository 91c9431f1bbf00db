// animate: placeholder bodies, replaced as the module is written.
#include "animate.h"

void initAnimation() { }
void animate(Cube* cube, PeopleList* people, TankList* tanks, Camera* camera, Terrain* terrain, ShotList* shots) { }
