// cube: placeholder bodies, replaced as the module is written.
#include "cube.h"

void initCube(Cube* cube) { }
void updateCube(Cube* cube, float dt) { }
void applyForce(Cube* cube, Vector force, Vector point) { }
void applyImpulse(Cube* cube, Vector impulse, Vector point) { }
Vector getVelocityAt(Cube* cube, Vector point) { return {}; }
Vector getCornerNoRotation(Cube* cube, int corner) { return {}; }
Vector getCorner(Cube* cube, int corner) { return {}; }
Vector getCornerVelocity(Cube* cube, int corner) { return {}; }
Vector getCornerMomentum(Cube* cube, int corner) { return {}; }
float distToCorner(float size) { return {}; }
void destroyCube(Cube* cube) { }
void drawCube(Cube* cube) { }
void renderCubeShadow(Cube* cube, float x, float y, float z) { }
void renderShadowVolume(Cube* cube, int a, int b, int c, int d) { }
void drawShadowBox(float x, float y, float z) { }
