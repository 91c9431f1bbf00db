// Poses the world for whole-frame plays: the crowd around the cube, one
// camera path for the test that compares drawings and the benchmark that
// times them, so the frames timed are the frames proven alike.
#include "world.h"

#include <cmath>

#include "main.h"

std::vector<Viewpoint> cameraPath() {
    std::vector<Viewpoint> path;
    for (int a = 0; a < 360; a += 40) path.push_back({0.0f, 0.0f, (float)a, 5000, 0});
    for (int a = 15; a < 360; a += 70) path.push_back({1500.0f, -2000.0f, (float)a, 2500, 0});
    const float corner = 6000.0f;
    for (int cx = -1; cx <= 1; cx += 2)
        for (int cz = -1; cz <= 1; cz += 2) {
            const float out = cx > 0 ? (cz > 0 ? 45.0f : 315.0f) : (cz > 0 ? 135.0f : 225.0f);
            path.push_back({cx * corner, cz * corner, out, 8000, 0});
            path.push_back({cx * corner, cz * corner, out + 180.0f, 8000, 0});
        }
    path.push_back({0.0f, corner, 0.0f, 8000, 0});
    path.push_back({0.0f, -corner, 90.0f, 8000, 0});
    path.push_back({corner, 0.0f, 180.0f, 8000, 0});
    path.push_back({-corner, 0.0f, 270.0f, 8000, 0});
    path.push_back({-corner, corner, 300.0f, 30000, 0});
    for (int a = 0; a < 360; a += 90) path.push_back({800.0f, 800.0f, (float)a, 5000, 1});
    return path;
}

void poseFrame(const std::vector<Viewpoint>& path, size_t k) {
    const Viewpoint& v = path[k];
    if (k == 0 || v.x != path[k - 1].x || v.z != path[k - 1].z) {
        cb.position = vectorInit(v.x, getHeightAt(&ter, v.x, v.z) + cb.size * 0.5f + 5.0f, v.z);
        cb.momentum = vectorInit(0.0f, 0.0f, 0.0f);
        cb.angularMomentum = vectorInit(0.0f, 0.0f, 0.0f);
    }
    lookFrom(v);
}

void lookFrom(const Viewpoint& v) {
    gameOver = v.over;
    VIEW_DISTANCE = v.viewDistance;
    shadowSwitchTime = 0.0f;  // the shadow stays as the caller set it
    cb.heading = v.heading;
    calcTargetView(&cam, &cb);
    cam.position = cam.targetPosition;
    cam.position.y = getHeightAt(&ter, cam.position.x, cam.position.z) + cam.distance;
}

void gatherCrowd(float x, float z, int count) {
    for (int k = 0; k < count; k++) {
        Person p = {};
        p.id = 1000000 + k;
        const float r = 20.0f + (float)(k * 7 % 400);
        const float a = (float)k * 0.37f;
        p.position = vectorInit(x + r * cosf(a), 0.0f, z + r * sinf(a));
        addPerson(peopleLst, p);
    }
}
