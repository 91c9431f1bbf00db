// camera: placeholder bodies, replaced as the module is written.
#include "camera.h"

void initCamera(Camera* camera) { }
void calcTargetView(Camera* camera, Cube* cube) { }
void updateCamera(Camera* camera, float dt) { }
