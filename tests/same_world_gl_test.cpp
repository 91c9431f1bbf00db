// The same seed gives the same world on every system the game is built for:
// rand() draws glibc's numbers (the Windows build links glibc's generator in
// place of msvcrt's, which stops at 32767 and draws other numbers).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "gl_context.h"
#include "main.h"
#include "scratch_dir.h"
#include "world.h"

namespace {

const unsigned int SEED = 1765432100u;  // a calendar time, as start-up seeds with
// FNV-1a of where this seed puts the crowd and the tanks, by glibc's rand().
const uint64_t PLACEMENT_DIGEST = 16754357904359243118ull;

void mix(uint64_t* digest, float value) {
    *digest = (*digest ^ (uint64_t)(int64_t)value) * 1099511628211ull;
}

}  // namespace

TEST(SameWorld, SeedPlacesTheSameCrowdAndTanks) {
    ASSERT_TRUE(openGlContext(320, 240));
    ScratchDir dir;
    dir.writeGameImages();
    srand(SEED);
    ASSERT_EQ(1, buildWorld(2000, 200));
    uint64_t digest = 1469598103934665603ull;
    for (int i = 0; i < BUCKET_COUNT; i++)
        for (int j = 0; j < BUCKET_COUNT; j++)
            for (PersonNode* p = *peopleLst->buckets[i][j]; p; p = p->next)
                for (float v : {p->position.x, p->position.z, p->velocity.x, p->velocity.z}) mix(&digest, v);
    for (TankNode* t = tankLst->head; t; t = t->next)
        for (float v : {t->position.x, t->position.z, t->targetHeading}) mix(&digest, v);
    releaseWorld();
    EXPECT_EQ(PLACEMENT_DIGEST, digest);
}
