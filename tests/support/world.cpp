// One builder of the start-up records for everything that plays whole frames.
#include "world.h"

#include <cmath>
#include <cstdlib>

#include "main.h"

int buildWorld(int people, int tanks) {
    peopleLst = (PeopleList*)calloc(1, sizeof(PeopleList));
    tankLst = (TankList*)calloc(1, sizeof(TankList));
    shotLst = (ShotList*)calloc(1, sizeof(ShotList));
    if (!peopleLst || !tankLst || !shotLst) return 0;
    initCube(&cb);
    initCamera(&cam);
    initTerrain(&ter);
    if (!ter.blockLists) return 0;
    if (makeList(peopleLst, people, ter.width, ter.height, (int)ter.scale) != 1) return 0;
    if (makeTankList(tankLst, tanks) != 1) return 0;
    randomTankPlacement(tankLst, ter.width, ter.height, (int)ter.scale);
    return 1;
}

void releaseWorld() {
    if (peopleLst) destroyPersonList(peopleLst);
    if (tankLst) destroyTankList(tankLst);
    if (shotLst) destroyShotList(shotLst);
    peopleLst = nullptr;
    tankLst = nullptr;
    shotLst = nullptr;
    deleteTerrain(&ter);
    destroyCube(&cb);
    tgaDestroy(skyBoxImage);
    skyBoxImage = nullptr;
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
