// terrain: placeholder bodies, replaced as the module is written.
#include "terrain.h"

void initTerrain(Terrain* terrain) { }
void smoothTerrain(Terrain* terrain) { }
void computeTerrainNormals(Terrain* terrain) { }
void deleteTerrain(Terrain* terrain) { }
float getHeightAt(Terrain* terrain, float x, float z) { return {}; }
int worldToTerrainX(Terrain* terrain, float x) { return {}; }
int worldToTerrainZ(Terrain* terrain, float z) { return {}; }
void generateTerrainDL(Terrain* terrain, int bi, int bj) { }
void compileTerrain(Terrain* terrain, float cx, float cz, float size) { }
void drawTerrain(Terrain* terrain, float x, float z, float dist) { }
void terrainFlagDLDirty(Terrain* terrain, int i, int j) { }
void deformTerrain(Terrain* terrain, float x, float y, float z, float amount, int mode) { }
void colourTerrain(Terrain* terrain, float x, float y, float z, float r, float g, float b, float f) { }
void colourTerrainArray(Terrain* terrain, int i, int j, float r, float g, float b, float f) { }
void computeSelectedNormals(Terrain* terrain, int i0, int i1, int j0, int j1) { }
void smoothSelectedArea(Terrain* terrain, int i0, int i1, int j0, int j1) { }
