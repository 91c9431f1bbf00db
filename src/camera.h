// The chase camera: a target point behind the cube along its heading, and an
// eye pulled toward it each frame.
#ifndef CUBEGAME_CAMERA_H
#define CUBEGAME_CAMERA_H

#include "cube.h"
#include "util.h"

struct Camera {
    Vector targetPosition;
    Vector position;
    Vector velocity;
    float stiffness;
    float distance;
};

void initCamera(Camera* camera);
void calcTargetView(Camera* camera, Cube* cube);
void updateCamera(Camera* camera, float dt);

#endif
