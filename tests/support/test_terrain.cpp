// Hand-built landscapes and the start cube for tests; see test_terrain.h.
#include "test_terrain.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const int BLOCK_POINTS = 25;  // grid points a display-list block spans
const float START_MASS = 1000000.0f;

// Calloc'ed rows stay null after a failure, as deleteTerrain expects.
template <typename T>
bool allocateRows(T*** rows, int count, int columns) {
    *rows = static_cast<T**>(calloc(count, sizeof(T*)));
    if (!*rows) return false;
    for (int i = 0; i < count; i++) {
        (*rows)[i] = static_cast<T*>(calloc(columns, sizeof(T)));
        if (!(*rows)[i]) return false;
    }
    return true;
}

bool allocatePoints(Terrain* terrain, int size) {
    return allocateRows(&terrain->heights, size, size) && allocateRows(&terrain->normals, size, 3 * size) &&
           allocateRows(&terrain->colours, size, 3 * size);
}

bool nameBlocks(Terrain* terrain, int size) {
    terrain->blocksX = terrain->blocksZ = size / BLOCK_POINTS;
    if (!allocateRows(&terrain->blockLists, terrain->blocksX, terrain->blocksZ)) return false;
    unsigned int name = 1;
    for (int bi = 0; bi < terrain->blocksX; bi++)
        for (int bj = 0; bj < terrain->blocksZ; bj++) terrain->blockLists[bi][bj] = name++;
    return true;
}

}  // namespace

HeightField levelField(float level) {
    return [level](int, int) { return level; };
}

void buildTestTerrain(Terrain* terrain, int size, const HeightField& height, TerrainBlocks blocks) {
    *terrain = Terrain{};
    terrain->scale = TEST_TERRAIN_SCALE;
    terrain->inverseScale = 1.0f / TEST_TERRAIN_SCALE;
    terrain->width = terrain->height = size;
    terrain->worldWidth = terrain->worldDepth = (float)(size * TEST_TERRAIN_SCALE);
    if (!allocatePoints(terrain, size) || (blocks == TerrainBlocks::Named && !nameBlocks(terrain, size))) {
        ADD_FAILURE() << "out of memory building a " << size << " x " << size << " test terrain";
        return;
    }
    for (int i = 0; i < size; i++)
        for (int j = 0; j < size; j++) {
            terrain->heights[i][j] = height(i, j);
            for (int k = 0; k < 3; k++) terrain->colours[i][3 * j + k] = 1.0f;
        }
    computeTerrainNormals(terrain);
}

void releaseTestTerrain(Terrain* terrain) {
    deleteTerrain(terrain);
    *terrain = Terrain{};
}

TestTerrain::TestTerrain(int size, float level, TerrainBlocks blocks) {
    buildTestTerrain(&t, size, levelField(level), blocks);
}

TestTerrain::~TestTerrain() {
    deleteTerrain(&t);
}

int TestTerrain::dirtyCount() const {
    int n = 0;
    for (int bi = 0; bi < t.blocksX; bi++)
        for (int bj = 0; bj < t.blocksZ; bj++) n += dirty(bi, bj);
    return n;
}

Cube startCube() {
    Cube c = {};
    c.size = 100.0f;
    c.targetSize = 100.0f;
    c.maxSpin = 5.0f;
    c.heading = 90.1f;
    c.mass = START_MASS;
    c.inverseMass = 1.0f / c.mass;
    c.inertia = (double)c.mass * c.size * c.size / 6.0;
    c.inverseInertia = 1.0 / c.inertia;
    c.position = {0.0f, 2000.0f, -4000.0f};
    c.orientation = {1.0f, 0.0f, 0.0f, 0.0f};
    c.momentum = {0.0f, 0.0f, 1000000000.0f};
    return c;
}
