// Per-frame simulation costs at full crowd size, without drawing: the height
// query every walker makes, one crowd update around the cube, one tank
// update of the whole list, and a smoothing pass over the landscape.
//   cmake -DCUBEGAME_BENCH=ON ... && ./bench/simulation_bench
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>

#include "main.h"

namespace {

const int GRID = 512;
const float SCALE = 25.0f;

// A hilly landscape of the game's size, built without a GL context.
struct Landscape {
    Terrain terrain = {};

    Landscape() {
        terrain.scale = SCALE;
        terrain.inverseScale = 1.0f / SCALE;
        terrain.width = terrain.height = GRID;
        terrain.worldWidth = terrain.worldDepth = GRID * SCALE;
        terrain.heights = (float**)calloc(GRID, sizeof(float*));
        terrain.normals = (float**)calloc(GRID, sizeof(float*));
        terrain.colours = (float**)calloc(GRID, sizeof(float*));
        for (int i = 0; i < GRID; ++i) {
            terrain.heights[i] = (float*)calloc(GRID, sizeof(float));
            terrain.normals[i] = (float*)calloc(3 * GRID, sizeof(float));
            terrain.colours[i] = (float*)calloc(3 * GRID, sizeof(float));
            for (int j = 0; j < GRID; ++j) terrain.heights[i][j] = 300.0f + 200.0f * sinf(i * 0.05f) * cosf(j * 0.04f);
        }
        computeTerrainNormals(&terrain);
    }
    ~Landscape() { deleteTerrain(&terrain); }
};

Cube restingCube() {
    Cube cube = {};
    cube.size = cube.targetSize = 100.0f;
    cube.mass = 1000000.0f;
    cube.position = vectorInit(0.0f, 400.0f, 0.0f);
    return cube;
}

void heightQuery(benchmark::State& state) {
    Landscape land;
    float x = -6000.0f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(getHeightAt(&land.terrain, x, x * 0.7f));
        x = x > 6000.0f ? -6000.0f : x + 3.7f;
    }
}
BENCHMARK(heightQuery);

// People within the draw distance of a cube that sits away from them, so
// the crowd only walks and re-files.
void crowdUpdate(benchmark::State& state) {
    Landscape land;
    VIEW_DISTANCE = (int)state.range(1);
    PeopleList* people = (PeopleList*)calloc(1, sizeof(PeopleList));
    srand(1);
    makeList(people, (int)state.range(0), GRID, GRID, (int)SCALE);
    Cube cube = restingCube();
    cube.position.y = 100000.0f;  // out of reach: nobody is crushed
    for (auto _ : state) updatePerson(people, &cube, 1.0f / 30.0f, &land.terrain);
    state.counters["people"] = people->count;
    destroyPersonList(people);
}
BENCHMARK(crowdUpdate)->Args({10000, 5000})->Args({20000, 5000})->Args({20000, 10000})->Unit(benchmark::kMicrosecond);

void tankUpdate(benchmark::State& state) {
    Landscape land;
    TankList* tanks = (TankList*)calloc(1, sizeof(TankList));
    ShotList* shots = (ShotList*)calloc(1, sizeof(ShotList));
    Tank tank;
    initTank(&tank);
    tank.wanderDistance = 0;
    for (int id = 0; id < state.range(0); ++id) {
        tank.id = id;
        addTank(tanks, tank);
    }
    srand(1);
    randomTankPlacement(tanks, GRID, GRID, (int)SCALE);
    Cube cube = restingCube();
    cube.position.y = 100000.0f;
    gameOver = 1;  // wandering only: no shells pile up
    for (auto _ : state) updateTank(tanks, &cube, 1.0f / 30.0f, &land.terrain, shots, 0.0f);
    gameOver = 0;
    destroyShotList(shots);
    destroyTankList(tanks);
}
BENCHMARK(tankUpdate)->Arg(1000)->Arg(1500)->Unit(benchmark::kMicrosecond);

void smoothingPass(benchmark::State& state) {
    Landscape land;
    for (auto _ : state) smoothTerrain(&land.terrain);
}
BENCHMARK(smoothingPass)->Unit(benchmark::kMillisecond);

}  // namespace
