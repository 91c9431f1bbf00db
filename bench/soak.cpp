// Long-play soak: the real frame loop (processEvents, drawScreen) of the 320
// build, headless under Xvfb, at a fixed 30 ms step as fast as the machine
// draws, for 30 game minutes or more. Random keys drive the cube, which is
// kept alive by topping up its target size. Once a game minute it records
// memory, GL objects and the lists' bookkeeping; it ends with a table and a
// non-zero status if anything drifted (1; 2: no start; 3: stopped early by
// SIGINT or SIGTERM, the table so far printed). Not a test: run by hand, e.g.
//   bench/soak.sh build-bench 30
#include <GL/gl.h>
#include <SDL/SDL.h>

#include <climits>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>
#include <map>
#include <vector>

#include "animate.h"
#include "fake_clock.h"
#include "main.h"
#include "memory.h"

namespace {

const Uint32 STEP_MS = 30;  // between the frame times that steer the draw distance: it stays put
const int FRAMES_PER_MINUTE = 60000 / STEP_MS;
const int DEFAULT_MINUTES = 30;

// Below this the tanks would soon end the game; a shell takes off 7.5.
const float KEEP_ALIVE_SIZE = 100.0f;
// Beyond this distance from the centre the driver heads home, where the
// crowd and the tanks are.
const float HOME_RADIUS = 3500.0f;
const int MIN_HOLD_FRAMES = 5;
const int MAX_HOLD_FRAMES = 100;

const double RSS_GROWTH_LIMIT = 1.05;
const float SHELL_LIFETIME_LIMIT = 60.0f;  // seconds of game time

struct Record {
    int minute;
    double rssMb;
    double heapMb;
    int lists;
    int dirtyBlocks;
    int textures;
    int people;
    int peopleInBuckets;
    int misfiled;
    int tanks;
    int shells;
    float oldestShell;
    int crushedPeople;
    int crushedTanks;
    int rebuilds;
    int topUps;
    double framesPerSecond;
};

struct ShellAges {
    std::map<int, int> firstFrame;  // shell id -> frame it was first seen
    float oldest;                   // seconds, since the last record
    int count;
};

// The random driver: a key combination held for a number of frames.
struct Driver {
    int framesLeft;
    bool up, down, left, right;
};

// Keys, kept apart from the game's rand() stream.
unsigned int keySeed = 1;

// Set by SIGINT or SIGTERM: a soak cut short still prints its table.
volatile sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

int keyRandom(int range) {
    keySeed = keySeed * 1103515245u + 12345u;
    return (int)((keySeed >> 16) % (unsigned int)range);
}

// Highest name the game holds in its records, to bound the scans below.
unsigned int highestListName() {
    unsigned int highest = peopleLst->displayList;
    if (tankLst->turretList > highest) highest = tankLst->turretList;
    if (tankLst->bodyList > highest) highest = tankLst->bodyList;
    for (int bi = 0; bi < ter.blocksX; bi++)
        for (int bj = 0; bj < ter.blocksZ; bj++)
            if (ter.blockLists[bi][bj] != DIRTY_LIST && ter.blockLists[bi][bj] > highest)
                highest = ter.blockLists[bi][bj];
    return highest;
}

// Lists alive in the context, whoever holds them: a fresh name bounds the
// names in use, and a margin covers a driver that reuses freed names.
int liveDisplayLists() {
    const unsigned int margin = 4096;
    unsigned int probe = glGenLists(1);
    glDeleteLists(probe, 1);
    unsigned int top = highestListName();
    if (probe > top) top = probe;
    int live = 0;
    for (unsigned int name = 1; name <= top + margin; name++) live += glIsList(name) == GL_TRUE;
    return live;
}

int liveTextures() {
    const unsigned int margin = 4096;
    unsigned int probe = 0;
    glGenTextures(1, &probe);
    glDeleteTextures(1, &probe);
    int live = 0;
    for (unsigned int name = 1; name <= probe + margin; name++) live += glIsTexture(name) == GL_TRUE;
    return live;
}

int dirtyBlocks() {
    int dirty = 0;
    for (int bi = 0; bi < ter.blocksX; bi++)
        for (int bj = 0; bj < ter.blocksZ; bj++) dirty += ter.blockLists[bi][bj] == DIRTY_LIST;
    return dirty;
}

// People in the buckets, and how many of them sit in a bucket other than
// the one the crowd files their position in.
void countBuckets(int* filed, int* misfiled) {
    *filed = 0;
    *misfiled = 0;
    for (int i = 0; i < BUCKET_COUNT; i++)
        for (int j = 0; j < BUCKET_COUNT; j++)
            for (PersonNode* node = *peopleLst->buckets[i][j]; node; node = node->next) {
                (*filed)++;
                if (getPersonBucket(peopleLst, node->position.x) != i ||
                    getPersonBucket(peopleLst, node->position.z) != j)
                    (*misfiled)++;
            }
}

int tankCount() {
    int count = 0;
    for (TankNode* node = tankLst->head; node; node = node->next) count++;
    return count;
}

// Game-time age of every shell in flight, by id; shells gone are forgotten.
void observeShells(ShellAges* ages, int frame) {
    std::map<int, int> seen;
    ages->count = 0;
    for (Shot* shot = shotLst->head; shot; shot = shot->next) {
        auto known = ages->firstFrame.find(shot->id);
        int first = known == ages->firstFrame.end() ? frame : known->second;
        seen[shot->id] = first;
        float age = (frame - first) * (STEP_MS / 1000.0f);
        if (age > ages->oldest) ages->oldest = age;
        ages->count++;
    }
    ages->firstFrame.swap(seen);
}

void chooseKeys(Driver* driver) {
    driver->up = driver->down = driver->left = driver->right = false;
    switch (keyRandom(8)) {
        case 0: case 1: case 2: driver->up = true; break;
        case 3: driver->up = driver->left = true; break;
        case 4: driver->up = driver->right = true; break;
        case 5: driver->left = true; break;
        case 6: driver->right = true; break;
        default: driver->down = true; break;
    }
    driver->framesLeft = MIN_HOLD_FRAMES + keyRandom(MAX_HOLD_FRAMES - MIN_HOLD_FRAMES);
}

// Writes this frame's keys into SDL's key-state array, which the game reads;
// once the cube has rolled far out it heads for the centre.
void pressKeys(Driver* driver, Uint8* state) {
    if (--driver->framesLeft <= 0) chooseKeys(driver);
    float x = cb.position.x, z = cb.position.z;
    bool far = x * x + z * z > HOME_RADIUS * HOME_RADIUS;
    // Up rolls toward (cos heading, sin heading) on the ground.
    if (far) cb.heading = radToDec((float)atan2(-z, -x));
    state[SDLK_UP] = driver->up || far;
    state[SDLK_DOWN] = driver->down && !far;
    state[SDLK_LEFT] = driver->left && !far;
    state[SDLK_RIGHT] = driver->right && !far;
    state[SDLK_ESCAPE] = 0;
}

// Start-up as the game does it, at the 320 build's size, windowed.
bool startGame(unsigned int seed) {
    srand(seed);
    setStartSwitches();
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        fprintf(stderr, "soak: no display: %s\n", SDL_GetError());
        return false;
    }
    requestGlAttributes();
    if (!SDL_SetVideoMode(SCREEN_WIDTH, SCREEN_HEIGHT, 0, SDL_OPENGL)) {
        fprintf(stderr, "soak: no OpenGL window: %s\n", SDL_GetError());
        return false;
    }
    setupOpengl(SCREEN_WIDTH, SCREEN_HEIGHT);
    if (!buildWorld(PEOPLE_COUNT, TANK_COUNT)) return false;
    initAnimation();
    SDL_EnableKeyRepeat(1, 1);
    return true;
}

// Blocks whose list is dirty now, to count rebuilds across a frame.
void markDirty(std::vector<char>* dirty) {
    dirty->resize((size_t)ter.blocksX * ter.blocksZ);
    for (int bi = 0; bi < ter.blocksX; bi++)
        for (int bj = 0; bj < ter.blocksZ; bj++)
            (*dirty)[(size_t)bi * ter.blocksZ + bj] = ter.blockLists[bi][bj] == DIRTY_LIST;
}

int countRebuilds(const std::vector<char>& before) {
    int rebuilt = 0;
    for (int bi = 0; bi < ter.blocksX; bi++)
        for (int bj = 0; bj < ter.blocksZ; bj++)
            rebuilt += before[(size_t)bi * ter.blocksZ + bj] && ter.blockLists[bi][bj] != DIRTY_LIST;
    return rebuilt;
}

void printRow(FILE* out, const Record& r) {
    fprintf(out, "%4d %8.1f %7.1f %6d %6d %5d %7d %7d %6d %6d %6d %7.1f %7d %6d %7d %6d %7.1f\n", r.minute,
            r.rssMb, r.heapMb, r.lists, r.dirtyBlocks, r.textures, r.people, r.peopleInBuckets, r.misfiled, r.tanks,
            r.shells, r.oldestShell, r.crushedPeople, r.crushedTanks, r.rebuilds, r.topUps, r.framesPerSecond);
}

void printHeading(FILE* out) {
    fprintf(out, "%4s %8s %7s %6s %6s %5s %7s %7s %6s %6s %6s %7s %7s %6s %7s %6s %7s\n", "min", "RSS MB", "heap MB",
            "lists",
            "dirty", "tex", "people", "filed", "misfil", "tanks", "shells", "oldest", "crushP", "crushT",
            "rebuilt", "topups", "fps");
}

double wallSeconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec + now.tv_nsec * 1e-9;
}

// Every drift found in the records, printed; the number of them.
int reportDrift(const std::vector<Record>& records, int startLists, int startTextures) {
    int drifts = 0;
    if (records.empty()) return 0;
    const Record& first = records.front();
    for (const Record& r : records) {
        if (r.minute > 1 && r.rssMb > first.rssMb * RSS_GROWTH_LIMIT) {
            printf("DRIFT minute %d: RSS %.1f MB, over 5%% above minute 1's %.1f MB\n", r.minute, r.rssMb,
                   first.rssMb);
            drifts++;
        }
        if (r.lists > startLists || r.lists + r.dirtyBlocks != startLists) {
            printf("DRIFT minute %d: %d display lists and %d dirty blocks; start-up made %d lists\n", r.minute,
                   r.lists, r.dirtyBlocks, startLists);
            drifts++;
        }
        if (r.textures != startTextures) {
            printf("DRIFT minute %d: %d textures; start-up made %d\n", r.minute, r.textures, startTextures);
            drifts++;
        }
        if (r.people != r.peopleInBuckets) {
            printf("DRIFT minute %d: people count %d, %d in the buckets\n", r.minute, r.people, r.peopleInBuckets);
            drifts++;
        }
        if (r.misfiled != 0) {
            printf("DRIFT minute %d: %d people filed in the wrong bucket\n", r.minute, r.misfiled);
            drifts++;
        }
        if (r.oldestShell > SHELL_LIFETIME_LIMIT) {
            printf("DRIFT minute %d: a shell has flown %.0f s\n", r.minute, r.oldestShell);
            drifts++;
        }
    }
    return drifts;
}

}  // namespace

int main(int argc, char* argv[]) {
    int minutes = argc > 1 ? atoi(argv[1]) : DEFAULT_MINUTES;
    unsigned int seed = argc > 2 ? (unsigned int)strtoul(argv[2], nullptr, 10) : (unsigned int)time(nullptr);
    if (minutes < 2) {
        fprintf(stderr, "usage: soak [MINUTES >= 2] [SEED]\n");
        return 2;
    }
    keySeed = seed;
    printf("soak: %d game minutes at %u ms a frame, seed %u\n", minutes, STEP_MS, seed);
    fflush(stdout);
    if (!startGame(seed)) {
        fprintf(stderr, "soak: the game did not start\n");
        return 2;
    }
    const int startLists = liveDisplayLists();
    const int startTextures = liveTextures();
    printf("start-up: %d display lists (%d terrain blocks), %d textures, %d people, %d tanks\n", startLists,
           ter.blocksX * ter.blocksZ, startTextures, peopleLst->count, tankCount());
    printHeading(stdout);
    fflush(stdout);

    Driver driver = {};
    ShellAges shells = {};
    std::vector<Record> records;
    std::vector<char> dirtyBefore;
    int peopleBefore = peopleLst->count, tanksBefore = tankCount();
    int rebuilds = 0, topUps = 0;
    bool ended = false;
    double minuteStart = wallSeconds();
    const double soakStart = minuteStart;

    signal(SIGINT, requestStop);
    signal(SIGTERM, requestStop);
    int frame = 0;
    while (frame < minutes * FRAMES_PER_MINUTE && !stopRequested) {
        frame++;
        // Game time runs as fast as frames come.
        advanceFakeClock(STEP_MS);
        pressKeys(&driver, SDL_GetKeyState(nullptr));
        if (cb.targetSize < KEEP_ALIVE_SIZE) {
            cb.targetSize = KEEP_ALIVE_SIZE;
            topUps++;
        }
        markDirty(&dirtyBefore);
        processEvents();
        drawScreen();
        rebuilds += countRebuilds(dirtyBefore);
        observeShells(&shells, frame);
        if (gameOver) ended = true;
        if (frame % FRAMES_PER_MINUTE != 0) continue;

        Record r = {};
        r.minute = frame / FRAMES_PER_MINUTE;
        r.rssMb = residentMegabytes();
        r.heapMb = heapMegabytes();
        r.lists = liveDisplayLists();
        r.dirtyBlocks = dirtyBlocks();
        r.textures = liveTextures();
        r.people = peopleLst->count;
        countBuckets(&r.peopleInBuckets, &r.misfiled);
        r.tanks = tankCount();
        r.shells = shells.count;
        r.oldestShell = shells.oldest;
        r.crushedPeople = peopleBefore - r.people;
        r.crushedTanks = tanksBefore - r.tanks;
        r.rebuilds = rebuilds;
        r.topUps = topUps;
        double now = wallSeconds();
        r.framesPerSecond = FRAMES_PER_MINUTE / (now - minuteStart);
        records.push_back(r);
        printRow(stdout, r);
        fflush(stdout);

        minuteStart = now;
        peopleBefore = r.people;
        tanksBefore = r.tanks;
        rebuilds = topUps = 0;
        shells.oldest = 0.0f;
    }

    int played = frame / FRAMES_PER_MINUTE;
    printf("\n%d game minutes in %.0f s of wall time%s\n", played, wallSeconds() - soakStart,
           played < minutes ? ", stopped early" : "");
    printf("summary, one row a game minute:\n");
    printHeading(stdout);
    for (const Record& r : records) printRow(stdout, r);
    int drifts = reportDrift(records, startLists, startTextures);
    if (ended) {
        printf("DRIFT: the game ended although the cube was kept above size 50\n");
        drifts++;
    }
    printf(drifts ? "soak: %d drifts\n" : "soak: nothing drifted\n", drifts);
    fflush(stdout);
    // What quit() releases, without its exit, so the soak keeps its own status.
    // SDL stays up: its GL driver must still be loaded when LeakSanitizer looks
    // at the driver's own blocks at exit, or they cannot be told from ours.
    releaseWorld();
    if (drifts) return 1;
    return played < minutes ? 3 : 0;
}
