// The same seed gives the same world on every system the game is built for:
// rand() draws glibc's numbers through the standard names (the Windows build
// links glibc's generator in place of msvcrt's, which stops at 32767), so the
// crowd and the tanks spread over the whole map, placed alike everywhere.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "gl_context.h"
#include "main.h"
#include "scratch_dir.h"
#include "world.h"

namespace {

// A calendar time, as start-up seeds with.
const unsigned int SEED = 1765432100u;
const int PEOPLE = 2000;
const int TANKS = 200;
// FNV-1a digest of where this seed puts everybody, by glibc's rand().
const uint64_t PLACEMENT_DIGEST = 16754357904359243118ull;

struct Placement {
    uint64_t digest = 1469598103934665603ull;
    int quadrant[4] = {};

    void add(float value) {
        digest = (digest ^ (uint64_t)(int64_t)value) * 1099511628211ull;
    }
};

Placement placementOfWorld() {
    Placement placed;
    for (int i = 0; i < BUCKET_COUNT; i++) {
        for (int j = 0; j < BUCKET_COUNT; j++) {
            for (PersonNode* p = *peopleLst->buckets[i][j]; p; p = p->next) {
                placed.add(p->position.x);
                placed.add(p->position.z);
                placed.add(p->velocity.x);
                placed.add(p->velocity.z);
                placed.quadrant[(p->position.x < 0 ? 0 : 1) + (p->position.z < 0 ? 0 : 2)]++;
            }
        }
    }
    for (TankNode* t = tankLst->head; t; t = t->next) {
        placed.add(t->position.x);
        placed.add(t->position.z);
        placed.add(t->targetHeading);
    }
    return placed;
}

}  // namespace

TEST(SameWorld, RandDrawsGlibcNumbersAcrossTheWholeRange) {
    srand(1);
    EXPECT_EQ(1804289383, rand());
    EXPECT_EQ(846930886, rand());
    srand(SEED);
    EXPECT_EQ(1630790336, rand());
    EXPECT_EQ(561739764, rand());
    EXPECT_EQ(11084630, rand());
}

TEST(SameWorld, SeedPlacesTheSameCrowdAndTanksOverTheWholeMap) {
    ASSERT_TRUE(openGlContext(320, 240));
    ScratchDir dir;
    dir.writeGameImages();
    srand(SEED);
    ASSERT_EQ(1, buildWorld(PEOPLE, TANKS));
    const Placement placed = placementOfWorld();
    releaseWorld();
    EXPECT_EQ(PLACEMENT_DIGEST, placed.digest);
    // Each quarter of the map holds about a quarter of the crowd.
    for (int q = 0; q < 4; q++) EXPECT_NEAR(PEOPLE / 4, placed.quadrant[q], PEOPLE / 20) << "quarter " << q;
}
