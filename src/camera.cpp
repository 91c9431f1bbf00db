// The chase camera: the target lies `distance` behind the cube along its
// heading; each frame the eye covers stiffness * dt^2 of the gap to it.
#include "camera.h"

#include <cmath>

#include "main.h"

const float BASE_FOLLOW_DISTANCE = 300.0f;
const float GAME_OVER_DISTANCE = 1000.0f;

void initCamera(Camera* camera) {
    camera->targetPosition = vectorInit(400.0f, 600.0f, 400.0f);
    camera->position = vectorInit(-200.0f, 500.0f, -4000.0f);
    camera->velocity = vectorInit(0.0f, 0.0f, 0.0f);
    camera->stiffness = 25.0f;
    camera->distance = 0.0f;
}

void calcTargetView(Camera* camera, Cube* cube) {
    // 300 up to size 100, then growing with the cube (both give 300 at 100).
    camera->distance = cube->size <= 100.0f ? BASE_FOLLOW_DISTANCE : cube->size * 0.5f + 250.0f;
    if (gameOver == 1) camera->distance = GAME_OVER_DISTANCE;
    double a = decToRad(cube->heading);
    camera->targetPosition.x = (float)(cube->position.x - cos(a) * camera->distance);
    camera->targetPosition.z = (float)(cube->position.z - sin(a) * camera->distance);
}

void updateCamera(Camera* camera, float dt) {
    camera->velocity = vectorMultiply(vectorSubtract(camera->targetPosition, camera->position), camera->stiffness * dt);
    camera->position = vectorAdd(camera->position, vectorMultiply(camera->velocity, dt));
}
