// Hand-built landscapes for tests: a size x size grid 25 world units apart,
// without images or texture, calloc'ed so that deleteTerrain releases it;
// also the cube as initCube leaves it, without the texture.
#ifndef CUBEGAME_TEST_TERRAIN_H
#define CUBEGAME_TEST_TERRAIN_H

#include <functional>

#include "cube.h"
#include "terrain.h"

const int TEST_TERRAIN_SCALE = 25;

// Height of grid point (i, j).
using HeightField = std::function<float(int i, int j)>;

enum class TerrainBlocks {
    None,   // no display lists: marking blocks dirty touches nothing
    Named,  // size / 25 blocks a side, names 1, 2, ... without GL lists behind them
};

HeightField levelField(float level);

// Fills an empty record (a local or the global `ter`) with white points and
// the normals of computeTerrainNormals (straight up on level ground). An
// allocation failure is a test failure and leaves a record deleteTerrain frees.
void buildTestTerrain(Terrain* terrain, int size, const HeightField& height,
                      TerrainBlocks blocks = TerrainBlocks::None);
// deleteTerrain, then an empty record again.
void releaseTestTerrain(Terrain* terrain);

// A local record of level ground, released on destruction.
class TestTerrain {
public:
    explicit TestTerrain(int size, float level = 0.0f, TerrainBlocks blocks = TerrainBlocks::None);
    ~TestTerrain();
    TestTerrain(const TestTerrain&) = delete;
    TestTerrain& operator=(const TestTerrain&) = delete;

    // World coordinates of grid position i (or j); fractions lie between points.
    float worldX(float i) const { return i * t.scale - t.worldWidth / 2; }
    float worldZ(float j) const { return j * t.scale - t.worldDepth / 2; }
    // Nearest grid point of a world coordinate, clamped to the grid.
    int gridX(float x) { return worldToTerrainX(&t, x); }
    int gridZ(float z) { return worldToTerrainZ(&t, z); }

    float& h(int i, int j) { return t.heights[i][j]; }
    float* colour(int i, int j) { return &t.colours[i][3 * j]; }
    float heightNear(float x, float z) { return h(gridX(x), gridZ(z)); }
    const float* colourNear(float x, float z) { return colour(gridX(x), gridZ(z)); }

    bool dirty(int bi, int bj) const { return t.blockLists[bi][bj] == DIRTY_LIST; }
    int dirtyCount() const;

    Terrain t{};
};

// The cube record as initCube leaves it, without the texture.
Cube startCube();

#endif
