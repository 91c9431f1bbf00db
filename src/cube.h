// The player cube: a rigid body that grows toward a target size, its corners,
// and its drawing with a stencil shadow volume. Every operation works on the
// record it is handed; the game's own is the global `cb` (main.h).
#ifndef CUBEGAME_CUBE_H
#define CUBEGAME_CUBE_H

#include "image.h"
#include "util.h"

struct Cube {
    int points;
    float size;
    float targetSize;
    float growthRate;
    float maxSpin;
    float heading;
    TgaImage* image;
    unsigned int texture;
    float mass;
    float inverseMass;
    double inertia;
    double inverseInertia;
    Vector position;
    Quaternion orientation;
    Vector momentum;
    Vector angularMomentum;
    Vector velocity;
    Vector angularVelocity;
    Quaternion spin;
    Vector force;
    Vector torque;
};

void initCube(Cube* cube);
void updateCube(Cube* cube, float dt);
void applyForce(Cube* cube, Vector force, Vector point);
void applyImpulse(Cube* cube, Vector impulse, Vector point);
Vector getVelocityAt(Cube* cube, Vector point);
Vector getCornerNoRotation(Cube* cube, int corner);
Vector getCorner(Cube* cube, int corner);
Vector getCornerVelocity(Cube* cube, int corner);
Vector getCornerMomentum(Cube* cube, int corner);
float distToCorner(float size);
void destroyCube(Cube* cube);

void drawCube(Cube* cube);
void renderCubeShadow(Cube* cube, float x, float y, float z);
// Whether the frame's clear should zero the stencil with the depth: when
// `shortcuts` is 1 and polygons are filled. Asked once a frame, before the
// clear; the answer goes to that frame's renderCubeShadowInView.
bool shadowStencilClear(int shortcuts);
// renderCubeShadow, quicker to the same pixels: each face's darkening is kept
// to the rectangle its volume can reach in `view`, which is right only over
// a stencil the frame's clear zeroed (`stencilZeroed`); without both, every
// face darkens through its whole box.
void renderCubeShadowInView(Cube* cube, float x, float y, float z, const View* view, bool stencilZeroed);
void renderShadowVolume(Cube* cube, int a, int b, int c, int d);
void drawShadowBox(float x, float y, float z);

#endif
