// The crowd without a display: bucket filing, removal, the flee/wander AI,
// walking and edge turning, crushing, and re-filing over many frames.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#include "main.h"
#include "people.h"
#include "test_terrain.h"

namespace {

const int GRID = 256;                    // terrain points per side
const float SCALE = TEST_TERRAIN_SCALE;  // 6400 world units across, edge bounds +-1200
const int STEPRATE = GRID * 25 / BUCKET_COUNT;  // 25

Person makePerson(int id, float x, float z, float vx = 0.0f, float vz = 0.0f) {
    Person p = {};
    p.id = id;
    p.position = vectorInit(x, 0.0f, z);
    p.velocity = vectorInit(vx, 0.0f, vz);
    return p;
}

int expectedBucket(float coord, int steprate) {
    int b = (int)(coord / steprate + 125.0);
    return b < 0 ? 0 : (b > 249 ? 249 : b);
}

class Crowd : public ::testing::Test {
protected:
    PeopleList* list = nullptr;
    TestTerrain terrain{GRID};
    Cube cube = {};

    void SetUp() override {
        list = (PeopleList*)calloc(1, sizeof(PeopleList));
        ASSERT_NE(nullptr, list);
        list->bucketCount = BUCKET_COUNT;
        list->steprate = STEPRATE;
        for (int i = 0; i < BUCKET_COUNT; i++)
            for (int j = 0; j < BUCKET_COUNT; j++) list->buckets[i][j] = (PersonNode**)calloc(1, sizeof(PersonNode*));
        cube.size = 100.0f;
        cube.targetSize = 100.0f;
        cube.position = vectorInit(0.0f, 0.0f, 0.0f);
        VIEW_DISTANCE = 1000;
        srand(12345);
    }
    void TearDown() override {
        if (list) destroyPersonList(list);
        VIEW_DISTANCE = 5000;
    }

    PersonNode* head(int bx, int bz) { return *list->buckets[bx][bz]; }

    bool inBucket(int id, int bx, int bz) {
        for (PersonNode* n = head(bx, bz); n; n = n->next)
            if (n->id == id) return true;
        return false;
    }

    // Every filed person, checking each sits in the bucket of its position.
    std::vector<PersonNode*> walk() {
        std::vector<PersonNode*> all;
        for (int i = 0; i < BUCKET_COUNT; i++)
            for (int j = 0; j < BUCKET_COUNT; j++)
                for (PersonNode* n = head(i, j); n; n = n->next) {
                    EXPECT_EQ(i, expectedBucket(n->position.x, list->steprate)) << "id " << n->id;
                    EXPECT_EQ(j, expectedBucket(n->position.z, list->steprate)) << "id " << n->id;
                    all.push_back(n);
                }
        return all;
    }

    PersonNode* find(int id) {
        for (PersonNode* n : walk())
            if (n->id == id) return n;
        ADD_FAILURE() << "person " << id << " is not filed";
        return nullptr;
    }
};

TEST_F(Crowd, BucketRuleAtAndBeyondTheGridEdges) {
    const float xs[] = {-3125.0f, -3130.0f, -3150.0f, -99999.0f, 0.0f, 24.9f, 3124.0f, 3150.0f, 99999.0f};
    const int rows[] = {0, 0, 0, 0, 125, 125, 249, 249, 249};
    for (int k = 0; k < 9; k++) {
        ASSERT_EQ(1, addPerson(list, makePerson(k, xs[k], 0.0f)));
        EXPECT_TRUE(inBucket(k, rows[k], 125)) << "x = " << xs[k];
    }
    addPerson(list, makePerson(20, 0.0f, -3130.0f));
    addPerson(list, makePerson(21, 0.0f, 99999.0f));
    EXPECT_TRUE(inBucket(20, 125, 0));
    EXPECT_TRUE(inBucket(21, 125, 249));
    EXPECT_EQ(11, list->count);
    EXPECT_EQ(11u, walk().size());
}

TEST_F(Crowd, SamePositionFilesLaterPersonFirst) {
    addPerson(list, makePerson(1, 100.0f, 100.0f));
    addPerson(list, makePerson(2, 100.0f, 100.0f));
    PersonNode* first = head(129, 129);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(2, first->id);
    ASSERT_NE(nullptr, first->next);
    EXPECT_EQ(1, first->next->id);
    EXPECT_EQ(nullptr, first->next->next);
}

TEST_F(Crowd, RemovePersonUnlinksByIdWithinTheGivenBucketOnly) {
    for (int id = 0; id < 3; id++) addPerson(list, makePerson(id, 0.0f, 0.0f));
    testing::internal::CaptureStderr();
    EXPECT_EQ(0, removePerson(list, makePerson(1, 0.0f, 0.0f), 10, 10));
    EXPECT_EQ(0, removePerson(list, makePerson(7, 0.0f, 0.0f), 125, 125));
    EXPECT_EQ("FAILED TO FIND PERSON!!!\nFAILED TO FIND PERSON!!!\n", testing::internal::GetCapturedStderr());
    EXPECT_EQ(3, list->count);

    // Only the id counts, not the position passed along.
    EXPECT_EQ(1, removePerson(list, makePerson(1, 5000.0f, 5000.0f), 125, 125));
    EXPECT_EQ(2, list->count);
    ASSERT_NE(nullptr, head(125, 125));
    EXPECT_EQ(2, head(125, 125)->id);
    EXPECT_EQ(0, head(125, 125)->next->id);
    EXPECT_EQ(1, displayPersonList(list));
}

TEST_F(Crowd, NeedUpdateComparesTheUnclampedBucket) {
    EXPECT_EQ(0, needUpdate(makePerson(0, 0.0f, 24.0f), 125, 125, STEPRATE));
    EXPECT_EQ(1, needUpdate(makePerson(0, 25.0f, 0.0f), 125, 125, STEPRATE));
    EXPECT_EQ(1, needUpdate(makePerson(0, 0.0f, -1.0f), 125, 125, STEPRATE));  // 124.96 -> 124
    EXPECT_EQ(1, needUpdate(makePerson(0, 3150.0f, 0.0f), 249, 125, STEPRATE));
}

TEST_F(Crowd, FleeOffsetIsClampedToTopSpeed) {
    Person p = makePerson(0, 300.0f, -20.0f);
    updateAI(&p, &cube, GRID, (int)SCALE);
    EXPECT_EQ(300.0f, p.velocity.x);
    EXPECT_EQ(-20.0f, p.velocity.z);
    updatePersonPosition(&p, &terrain.t, 0.0f);
    EXPECT_EQ(45.0f, p.velocity.x);
    EXPECT_EQ(0.0f, p.velocity.y);
    EXPECT_EQ(-20.0f, p.velocity.z);
}

TEST_F(Crowd, ExactlyFlightRadiusAwayDoesNotFlee) {
    for (int k = 0; k < 50; k++) {
        Person p = makePerson(0, 500.0f, 0.0f);
        updateAI(&p, &cube, GRID, (int)SCALE);
        EXPECT_LE(p.velocity.x, 10.0f);
        Person nearer = makePerson(0, 499.0f, 0.0f);
        updateAI(&nearer, &cube, GRID, (int)SCALE);
        EXPECT_EQ(499.0f, nearer.velocity.x);
    }
}

TEST_F(Crowd, NearTheEdgeAPersonWandersAndIsTurnedBack) {
    cube.position = vectorInit(1000.0f, 0.0f, 0.0f);
    for (int k = 0; k < 50; k++) {
        Person p = makePerson(0, 1300.0f, 0.0f);  // 300 from the cube, beyond the bound 1200
        updateAI(&p, &cube, GRID, (int)SCALE);
        EXPECT_LE(p.velocity.x, 10.0f);
        updatePersonPosition(&p, &terrain.t, 0.0f);
        EXPECT_EQ(-45.0f, p.velocity.x);
        EXPECT_EQ(0.0f, p.velocity.z);
    }
    Person west = makePerson(0, -1201.0f, 0.0f, -30.0f, 12.0f);
    updatePersonPosition(&west, &terrain.t, 0.0f);
    EXPECT_EQ(45.0f, west.velocity.x);
    EXPECT_EQ(0.0f, west.velocity.z);
}

TEST_F(Crowd, AtACornerThePersonWalksAlongZ) {
    Person ne = makePerson(0, 1300.0f, 1300.0f, 20.0f, 20.0f);
    updatePersonPosition(&ne, &terrain.t, 0.0f);
    EXPECT_EQ(0.0f, ne.velocity.x);
    EXPECT_EQ(-45.0f, ne.velocity.z);
    Person sw = makePerson(0, -1300.0f, -1300.0f, -20.0f, -20.0f);
    updatePersonPosition(&sw, &terrain.t, 0.0f);
    EXPECT_EQ(0.0f, sw.velocity.x);
    EXPECT_EQ(45.0f, sw.velocity.z);
    EXPECT_FLOAT_EQ(180.0f, sw.angle);  // 270 - direction 90
}

TEST_F(Crowd, WanderingDrawsRollThenXThenZ) {
    const unsigned seed = 99;
    srand(seed);
    Person p = makePerson(0, 800.0f, 0.0f);  // beyond the flight radius
    for (int k = 0; k < 400; k++) updateAI(&p, &cube, GRID, (int)SCALE);
    srand(seed);
    float vx = 0.0f, vz = 0.0f;
    int changes = 0;
    for (int k = 0; k < 400; k++) {
        if (rand() % 100 + 1 <= 95) continue;
        vx += rand() % 20 - 9;
        vz += rand() % 20 - 9;
        changes++;
    }
    ASSERT_GT(changes, 0);
    EXPECT_EQ(vx, p.velocity.x);
    EXPECT_EQ(vz, p.velocity.z);
}

TEST_F(Crowd, WalkingReadsTheGroundBetweenTheXAndZSteps) {
    // Heights rise with z only: h = 2 * grid z, so height = 2 * (z + 3200) / 25.
    for (int i = 0; i < GRID; i++)
        for (int j = 0; j < GRID; j++) terrain.h(i, j) = 2.0f * j;
    Person p = makePerson(0, 100.0f, 200.0f, 45.0f, 30.0f);
    updatePersonPosition(&p, &terrain.t, 0.5f);
    EXPECT_FLOAT_EQ(122.5f, p.position.x);
    EXPECT_FLOAT_EQ(215.0f, p.position.z);
    EXPECT_NEAR(2.0f * 3400.0f / 25.0f, p.position.y, 1e-3);
    EXPECT_NEAR(270.0f - findDirection(vectorInit(0, 0, 0), vectorInit(45, 0, 30)), p.angle, 1e-4);
}

// The heading of every whole-unit velocity comes from a table: it must be
// findDirection's value to the bit, signed zeros and fractions included.
TEST_F(Crowd, WalkingHeadingIsFindDirectionsToTheBit) {
    std::vector<float> speeds = {-0.0f, 0.5f, -44.5f, 12.25f};
    for (int v = -45; v <= 45; v++) speeds.push_back((float)v);
    for (float vx : speeds)
        for (float vz : speeds) {
            Person p = makePerson(0, 100.0f, 200.0f, vx, vz);
            updatePersonPosition(&p, &terrain.t, 0.0f);
            const float expected = 270.0f - findDirection(vectorInit(0, 0, 0), vectorInit(vx, 0, vz));
            ASSERT_EQ(0, memcmp(&expected, &p.angle, sizeof expected)) << "velocity " << vx << ", " << vz;
        }
}

TEST_F(Crowd, CrushBoxTruncatesDistances) {
    EXPECT_EQ(1, checkPersonCollision(makePerson(0, -49.9f, 0.0f), &cube));
    EXPECT_EQ(10, cube.points);
    EXPECT_EQ(101.0f, cube.targetSize);
    EXPECT_EQ(0, checkPersonCollision(makePerson(0, -50.0f, 0.0f), &cube));
    EXPECT_EQ(0, checkPersonCollision(makePerson(0, 0.0f, 50.0f), &cube));
    Person below = makePerson(0, 0.0f, 0.0f);
    below.position.y = -99.5f;  // the box reaches a whole edge below the centre
    EXPECT_EQ(1, checkPersonCollision(below, &cube));
    below.position.y = -100.0f;
    EXPECT_EQ(0, checkPersonCollision(below, &cube));
    EXPECT_EQ(20, cube.points);
    EXPECT_EQ(102.0f, cube.targetSize);
    EXPECT_EQ(100.0f, cube.size);
    cube.size = 101.0f;  // half 50.5: 50.7 truncates to 50 and is caught
    EXPECT_EQ(1, checkPersonCollision(makePerson(0, -50.7f, 0.0f), &cube));
    EXPECT_EQ(1, checkPersonCollision(makePerson(0, 0.0f, 50.7f), &cube));
}

TEST_F(Crowd, SeveralCrushesInOneFrameEachScoreAndStain) {
    const float spots[3][2] = {{0.0f, 0.0f}, {30.0f, 0.0f}, {-30.0f, 30.0f}};
    for (int k = 0; k < 3; k++) addPerson(list, makePerson(k, spots[k][0], spots[k][1]));
    addPerson(list, makePerson(3, 400.0f, 0.0f));
    updatePerson(list, &cube, 0.01f, &terrain.t);
    EXPECT_EQ(1, list->count);
    EXPECT_EQ(30, cube.points);
    EXPECT_EQ(103.0f, cube.targetSize);
    for (const auto& s : spots) {
        const float* c = terrain.colourNear(s[0], s[1]);
        EXPECT_NEAR(0.72f, c[0], 1e-5);
        EXPECT_NEAR(0.3f, c[1], 1e-5);
        EXPECT_NEAR(0.3f, c[2], 1e-5);
    }
    EXPECT_EQ(1.0f, terrain.colourNear(400.0f, 0.0f)[0]);
    std::vector<PersonNode*> left = walk();
    ASSERT_EQ(1u, left.size());
    EXPECT_EQ(3, left[0]->id);
}

TEST_F(Crowd, RefilingKeepsEveryPersonExactlyOnce) {
    const int people = 600;
    for (int id = 0; id < people; id++)
        addPerson(list, makePerson(id, (float)(rand() % 6000 - 3000), (float)(rand() % 1000 - 500),
                                   (float)(rand() % 90 - 45), (float)(rand() % 90 - 45)));
    cube.size = cube.targetSize = 60.0f;
    for (int frame = 0; frame < 300; frame++) {
        cube.position.x = -3000.0f + 20.0f * frame;
        updatePerson(list, &cube, 0.05f, &terrain.t);
    }
    std::vector<PersonNode*> all = walk();
    std::set<int> ids;
    for (PersonNode* n : all) ids.insert(n->id);
    EXPECT_EQ(all.size(), ids.size());
    EXPECT_EQ((int)all.size(), list->count);
    EXPECT_EQ(people, list->count + cube.points / 10);
    EXPECT_GT(cube.points, 0);
}

TEST_F(Crowd, PersonOutsideTheGridIsRefiledIntoTheEdgeBucketEachFrame) {
    cube.position = vectorInit(3000.0f, 0.0f, 0.0f);
    addPerson(list, makePerson(1, 3190.0f, 0.0f));  // bucket 252.6, filed in row 249
    addPerson(list, makePerson(2, 3120.0f, 0.0f));  // bucket 249.8, inside the grid
    ASSERT_EQ(2, head(249, 125)->id);
    updatePerson(list, &cube, 0.1f, &terrain.t);
    EXPECT_EQ(1, head(249, 125)->id);  // re-filed, so now in front
    addPerson(list, makePerson(3, 3120.0f, 10.0f));
    updatePerson(list, &cube, 0.1f, &terrain.t);
    ASSERT_NE(nullptr, head(249, 125)->next);
    EXPECT_EQ(1, head(249, 125)->id);  // re-filed again, ahead of the newcomer
    EXPECT_EQ(3, head(249, 125)->next->id);
    EXPECT_EQ(3, list->count);
    EXPECT_LT(head(249, 125)->position.x, 3190.0f);  // turned back by the edge
}

TEST_F(Crowd, WindowExcludesItsFarEdgeRowAndColumn) {
    VIEW_DISTANCE = 250;  // rows and columns 115 ... 134
    addPerson(list, makePerson(0, 250.0f, 0.0f, 0.0f, 10.0f));  // row 135
    addPerson(list, makePerson(1, 0.0f, 250.0f, 10.0f, 0.0f));  // column 135
    addPerson(list, makePerson(2, 249.0f, 0.0f));               // row 134
    addPerson(list, makePerson(3, -250.0f, -250.0f));           // row and column 115
    updatePerson(list, &cube, 0.5f, &terrain.t);
    EXPECT_EQ(250.0f, find(0)->position.x);
    EXPECT_EQ(0.0f, find(0)->position.z);
    EXPECT_EQ(250.0f, find(1)->position.z);
    EXPECT_EQ(0.0f, find(1)->position.x);
    EXPECT_NE(249.0f, find(2)->position.x);
    EXPECT_NE(-250.0f, find(3)->position.x);
}

TEST_F(Crowd, ViewDistanceBelowOneBucketCanLeaveTheWindowEmpty) {
    VIEW_DISTANCE = 10;
    cube.position = vectorInit(12.5f, 0.0f, 12.5f);  // rows 125.1 ... 125.9: none
    addPerson(list, makePerson(0, 12.0f, 12.0f, 20.0f, 20.0f));
    updatePerson(list, &cube, 1.0f, &terrain.t);
    EXPECT_EQ(12.0f, find(0)->position.x);
    EXPECT_EQ(0, cube.points);
}

TEST_F(Crowd, ZeroSteprateUpdatesNobodyAndDrawsNothing) {
    list->steprate = 0;
    addPerson(list, makePerson(0, 500.0f, -700.0f, 20.0f, 20.0f));
    ASSERT_NE(nullptr, head(0, 0));
    updatePerson(list, &cube, 1.0f, &terrain.t);
    EXPECT_EQ(500.0f, head(0, 0)->position.x);
    EXPECT_EQ(20.0f, head(0, 0)->velocity.x);
    testing::internal::CaptureStderr();
    drawHorde(list, &cube, &terrain.t);
    EXPECT_EQ("drawHorde Error\n", testing::internal::GetCapturedStderr());
}

TEST(CrowdLifecycle, NullListIsRefusedAndPartialGridsAreFreed) {
    EXPECT_EQ(0, makeList(nullptr, 10, 256, 256, 25));
    EXPECT_EQ(1, destroyPersonList(nullptr));

    // As after a head-cell allocation failed half way: later cells are null.
    PeopleList* list = (PeopleList*)calloc(1, sizeof(PeopleList));
    ASSERT_NE(nullptr, list);
    list->bucketCount = BUCKET_COUNT;
    list->steprate = STEPRATE;
    for (int i = 0; i < 130; i++)
        for (int j = 0; j < BUCKET_COUNT; j++) list->buckets[i][j] = (PersonNode**)calloc(1, sizeof(PersonNode*));
    addPerson(list, makePerson(0, 0.0f, 0.0f));
    addPerson(list, makePerson(1, 10.0f, 0.0f));
    EXPECT_EQ(1, destroyPersonList(list));  // leaks would show under LeakSanitizer
}

}  // namespace
