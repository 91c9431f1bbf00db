// The landscape: a height field built from images, height and grid queries,
// per-block display lists rebuilt lazily, and dents, craters and stains.
#ifndef CUBEGAME_TERRAIN_H
#define CUBEGAME_TERRAIN_H

#include "image.h"
#include "util.h"

// A block whose display list must be recompiled before its next use.
const unsigned int DIRTY_LIST = 0xFFFFFFFFu;

struct Terrain {
    float** heights;   // [i][j]
    float** normals;   // [i][3j .. 3j+2]
    float** colours;   // [i][3j .. 3j+2]
    float scale;
    float inverseScale;
    float worldWidth;
    float worldDepth;
    int width;
    int height;
    TgaImage* textureImage;
    unsigned int texture;
    unsigned int** blockLists;  // [bi][bj]
    // [bi][2bj], [bi][2bj+1]: lowest and highest point compiled into the
    // block's list, so a block out of view can be skipped; may be null.
    float** blockHeights;
    int blocksX;
    int blocksZ;
};

void initTerrain(Terrain* terrain);
void smoothTerrain(Terrain* terrain);
void computeTerrainNormals(Terrain* terrain);
void deleteTerrain(Terrain* terrain);

float getHeightAt(Terrain* terrain, float x, float z);
int worldToTerrainX(Terrain* terrain, float x);
int worldToTerrainZ(Terrain* terrain, float z);

void generateTerrainDL(Terrain* terrain, int bi, int bj);
void compileTerrain(Terrain* terrain, float cx, float cz, float size);
void drawTerrain(Terrain* terrain, float x, float z, float dist);
// drawTerrain, leaving out the blocks wholly outside the view when given one.
void drawTerrainInView(Terrain* terrain, float x, float z, float dist, const Frustum* view);
void terrainFlagDLDirty(Terrain* terrain, int i, int j);
// Blocks the last drawTerrain called.
int getDrawnBlockCount();

void deformTerrain(Terrain* terrain, float x, float y, float z, float amount, int mode);
void colourTerrain(Terrain* terrain, float x, float y, float z, float r, float g, float b, float f);
void colourTerrainArray(Terrain* terrain, int i, int j, float r, float g, float b, float f);
void computeSelectedNormals(Terrain* terrain, int i0, int i1, int j0, int j1);
void smoothSelectedArea(Terrain* terrain, int i0, int i1, int j0, int j1);

#endif
