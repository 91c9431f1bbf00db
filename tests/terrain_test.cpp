// Terrain queries, smoothing, normals, dents, craters, stains and block
// marking on hand-built terrain records; no OpenGL context is needed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

#include "terrain.h"
#include "test_terrain.h"

namespace {

// Block marks are part of what these tests watch, so every grid has names.
struct HandTerrain : TestTerrain {
    explicit HandTerrain(int size, float level = 0.0f) : TestTerrain(size, level, TerrainBlocks::Named) {}
};

const float NOT_A_NUMBER = std::numeric_limits<float>::quiet_NaN();

}  // namespace

TEST(TerrainQuery, HeightAtGridPointsIsThePointsHeight) {
    HandTerrain g(256);
    g.h(128, 128) = 42.0f;
    g.h(10, 200) = 7.5f;
    EXPECT_FLOAT_EQ(42.0f, getHeightAt(&g.t, 0.0f, 0.0f));
    EXPECT_FLOAT_EQ(7.5f, getHeightAt(&g.t, g.worldX(10), g.worldZ(200)));
}

TEST(TerrainQuery, OnePlanePerCellThroughThreeCorners) {
    HandTerrain g(50);
    g.h(10, 10) = 10.0f;  // (i, j)
    g.h(11, 10) = 30.0f;  // (i+1, j)
    g.h(11, 11) = 20.0f;  // (i+1, j+1)
    g.h(10, 11) = 90.0f;  // (i, j+1): not on the plane
    // h00 + (h10 - h00) fu + (h11 - h10) fv
    EXPECT_NEAR(10.0f + 20.0f * 0.25f - 10.0f * 0.5f, getHeightAt(&g.t, g.worldX(10.25f), g.worldZ(10.5f)), 1e-3);
    EXPECT_NEAR(10.0f + 20.0f - 30.0f, getHeightAt(&g.t, g.worldX(10), g.worldZ(10.999f)), 0.05);
    EXPECT_FLOAT_EQ(90.0f, getHeightAt(&g.t, g.worldX(10), g.worldZ(11)));
}

TEST(TerrainQuery, OuterRingOffMapAndNaNReadZero) {
    HandTerrain g(50, 100.0f);
    EXPECT_FLOAT_EQ(100.0f, getHeightAt(&g.t, g.worldX(0.01f), g.worldZ(25)));
    EXPECT_EQ(0.0f, getHeightAt(&g.t, g.worldX(0), g.worldZ(25)));
    EXPECT_EQ(0.0f, getHeightAt(&g.t, g.worldX(25), g.worldZ(0)));
    EXPECT_EQ(0.0f, getHeightAt(&g.t, g.worldX(49), g.worldZ(25)));
    EXPECT_EQ(0.0f, getHeightAt(&g.t, g.worldX(25), g.worldZ(49.5f)));
    EXPECT_EQ(0.0f, getHeightAt(&g.t, -1e9f, 1e9f));
    EXPECT_EQ(0.0f, getHeightAt(&g.t, NOT_A_NUMBER, 0.0f));
    EXPECT_EQ(0.0f, getHeightAt(&g.t, 0.0f, NOT_A_NUMBER));
}

TEST(TerrainQuery, GridIndexIsNearestPointClamped) {
    HandTerrain g(50);
    EXPECT_EQ(20, worldToTerrainX(&g.t, g.worldX(20) + 12.4f));
    EXPECT_EQ(21, worldToTerrainX(&g.t, g.worldX(20) + 12.6f));
    EXPECT_EQ(20, worldToTerrainZ(&g.t, g.worldZ(20) - 12.4f));
    EXPECT_EQ(19, worldToTerrainZ(&g.t, g.worldZ(20) - 12.6f));
    EXPECT_EQ(0, worldToTerrainX(&g.t, -1e9f));
    EXPECT_EQ(49, worldToTerrainX(&g.t, 1e9f));
    EXPECT_EQ(49, worldToTerrainZ(&g.t, std::numeric_limits<float>::infinity()));
    EXPECT_EQ(0, worldToTerrainZ(&g.t, NOT_A_NUMBER));
}

TEST(TerrainSmoothing, LoneSpikeSpreadsSymmetrically) {
    HandTerrain g(50);
    const float spike = 3600.0f;
    g.h(25, 25) = spike;
    smoothTerrain(&g.t);
    EXPECT_NEAR(spike / 9, g.h(25, 25), 1e-3);
    for (int d : {-1, 1}) {
        EXPECT_NEAR(spike / 18, g.h(25 + d, 25), 1e-3);
        EXPECT_NEAR(spike / 18, g.h(25, 25 + d), 1e-3);
        EXPECT_NEAR(spike / 36, g.h(25 + d, 25 + d), 1e-3);
        EXPECT_NEAR(spike / 36, g.h(25 + d, 25 - d), 1e-3);
    }
}

TEST(TerrainSmoothing, ConstantFieldStaysAndAreaIsLimited) {
    HandTerrain g(50, 123.456f);
    for (int pass = 0; pass < 3; pass++) smoothTerrain(&g.t);
    for (int i = 0; i < 50; i++)
        for (int j = 0; j < 50; j++) ASSERT_EQ(123.456f, g.h(i, j));

    g.h(20, 20) = 1000.0f;
    g.h(5, 5) = 1000.0f;
    smoothSelectedArea(&g.t, 15, 25, 15, 25);
    EXPECT_LT(g.h(20, 20), 1000.0f);
    EXPECT_EQ(1000.0f, g.h(5, 5));
    EXPECT_EQ(123.456f, g.h(25, 20));
    smoothSelectedArea(&g.t, -10, 100, -10, 100);  // clamped to the grid
    EXPECT_LT(g.h(5, 5), 1000.0f);
}

TEST(TerrainNormals, FlatAndSlopedFieldsIncludingLastRowAndColumn) {
    HandTerrain g(30);
    for (int i = 0; i < 30; i++)
        for (int j = 0; j < 30; j++) {
            g.h(i, j) = 50.0f;
            for (int k = 0; k < 3; k++) g.t.normals[i][3 * j + k] = 9.0f;
        }
    computeTerrainNormals(&g.t);
    for (int i = 0; i < 30; i++)
        for (int j = 0; j < 30; j++) {
            ASSERT_FLOAT_EQ(0.0f, g.t.normals[i][3 * j]) << i << "," << j;
            ASSERT_FLOAT_EQ(1.0f, g.t.normals[i][3 * j + 1]) << i << "," << j;
            ASSERT_FLOAT_EQ(0.0f, g.t.normals[i][3 * j + 2]) << i << "," << j;
        }

    // h = 10 i: the normal leans against the slope, (-10, 25, 0) / |.|.
    for (int i = 0; i < 30; i++)
        for (int j = 0; j < 30; j++) g.h(i, j) = 10.0f * i;
    computeTerrainNormals(&g.t);
    const float length = std::sqrt(10.0f * 10.0f + 25.0f * 25.0f);
    for (int i = 0; i < 30; i++)
        for (int j = 0; j < 30; j++) {
            ASSERT_NEAR(-10.0f / length, g.t.normals[i][3 * j], 1e-5) << i << "," << j;
            ASSERT_NEAR(25.0f / length, g.t.normals[i][3 * j + 1], 1e-5) << i << "," << j;
            ASSERT_NEAR(0.0f, g.t.normals[i][3 * j + 2], 1e-5) << i << "," << j;
        }
}

TEST(TerrainNormals, SelectedRangeIsLimitedToTheGridAndRefreshesEdgeCopies) {
    HandTerrain g(30);
    g.h(29, 29) = -100.0f;
    g.h(28, 29) = -100.0f;
    computeSelectedNormals(&g.t, 20, 200, 20, 200);
    // Row 28 sees the drop; the last row and column repeat the interior.
    EXPECT_LT(g.t.normals[28][3 * 28 + 1], 0.99f);
    for (int k = 0; k < 3; k++) {
        EXPECT_EQ(g.t.normals[28][3 * 28 + k], g.t.normals[29][3 * 29 + k]);
        EXPECT_EQ(g.t.normals[28][3 * 28 + k], g.t.normals[28][3 * 29 + k]);
        EXPECT_EQ(g.t.normals[28][3 * 28 + k], g.t.normals[29][3 * 28 + k]);
    }
    EXPECT_FLOAT_EQ(1.0f, g.t.normals[10][3 * 10 + 1]);
}

TEST(TerrainDent, DepthAndFootprintFollowTheLandingSpeed) {
    struct Case {
        float amount;
        int first, last;  // offsets from the centre
        float drop;
    };
    for (Case c : {Case{-100, 0, 0, 0.8f}, Case{-500, -1, 0, 4}, Case{-750, -1, 1, 6}, Case{-1000, -2, 1, 8},
                   Case{-9000, -2, 1, 8}}) {
        HandTerrain g(50, 100.0f);
        deformTerrain(&g.t, g.worldX(30), 555.0f, g.worldZ(30), c.amount, 0);
        for (int i = 25; i < 35; i++)
            for (int j = 25; j < 35; j++) {
                bool inside = i - 30 >= c.first && i - 30 <= c.last && j - 30 >= c.first && j - 30 <= c.last;
                ASSERT_NEAR(inside ? 100.0f - c.drop : 100.0f, g.h(i, j), 1e-4) << c.amount << " " << i << "," << j;
            }
        EXPECT_TRUE(g.dirty(1, 1));
        EXPECT_LT(g.t.normals[29 + c.first][3 * (29 + c.first) + 1], 1.0f) << c.amount;
    }
}

TEST(TerrainDent, SoftLandingsAndOtherModesChangeNothing) {
    HandTerrain g(50, 100.0f);
    deformTerrain(&g.t, g.worldX(30), 0.0f, g.worldZ(30), -50.0f, 0);
    deformTerrain(&g.t, g.worldX(30), 0.0f, g.worldZ(30), 0.0f, 1);
    deformTerrain(&g.t, g.worldX(30), 0.0f, g.worldZ(30), -5.0f, 1);
    deformTerrain(&g.t, g.worldX(30), 0.0f, g.worldZ(30), 10.0f, 2);
    deformTerrain(&g.t, g.worldX(30), 0.0f, g.worldZ(30), NOT_A_NUMBER, 0);
    for (int i = 0; i < 50; i++)
        for (int j = 0; j < 50; j++) ASSERT_EQ(100.0f, g.h(i, j));
    EXPECT_EQ(0, g.dirtyCount());
    deformTerrain(&g.t, g.worldX(30), 0.0f, g.worldZ(30), -50.1f, 0);
    EXPECT_NEAR(100.0f - 0.4008f, g.h(30, 30), 1e-4);
    EXPECT_EQ(100.0f, g.h(29, 30));
}

TEST(TerrainCrater, ShotAndTankWorkedValues) {
    HandTerrain shot(50, 100.0f);
    deformTerrain(&shot.t, shot.worldX(30), 0.0f, shot.worldZ(30), 8.0f, 1);
    EXPECT_NEAR(92.0f, shot.h(30, 30), 1e-4);
    EXPECT_NEAR(94.5f, shot.h(31, 30), 1e-4);
    EXPECT_NEAR(94.5f, shot.h(30, 29), 1e-4);
    EXPECT_NEAR(97.0f, shot.h(29, 29), 1e-4);
    EXPECT_NEAR(97.0f, shot.h(31, 31), 1e-4);
    EXPECT_EQ(100.0f, shot.h(32, 30));
    EXPECT_NEAR(0.5f, shot.colour(30, 30)[0], 1e-6);
    EXPECT_NEAR(1.0f - 0.5f * 0.6875f, shot.colour(31, 30)[1], 1e-6);

    // amount 10 and 100 both give r = 20: offsets -2 .. 1, drop 2.5 per unit of distance below 4.
    for (float amount : {10.0f, 100.0f}) {
        HandTerrain tank(50, 100.0f);
        deformTerrain(&tank.t, tank.worldX(30), 0.0f, tank.worldZ(30), amount, 1);
        for (int i = 26; i < 34; i++)
            for (int j = 26; j < 34; j++) {
                int di = i - 30, dj = j - 30;
                bool inside = di >= -2 && di <= 1 && dj >= -2 && dj <= 1;
                float drop = inside ? std::fmax(0.0f, 10.0f - 2.5f * (std::abs(di) + std::abs(dj))) : 0.0f;
                ASSERT_NEAR(100.0f - drop, tank.h(i, j), 1e-4) << amount << " " << i << "," << j;
            }
    }
}

TEST(TerrainCrater, RepeatedShotsDeepenAndDarken) {
    HandTerrain g(50, 100.0f);
    for (int n = 1; n <= 4; n++) {
        deformTerrain(&g.t, g.worldX(30), 0.0f, g.worldZ(30), 8.0f, 1);
        EXPECT_NEAR(100.0f - 8.0f * n, g.h(30, 30), 1e-4);
        EXPECT_NEAR(std::pow(0.5f, n), g.colour(30, 30)[2], 1e-6);
    }
}

TEST(TerrainCrater, AtCornersAndEdgesOnlyGridPointsChange) {
    HandTerrain g(50, 100.0f);
    deformTerrain(&g.t, -1e6f, 0.0f, -1e6f, 10.0f, 1);
    EXPECT_NEAR(90.0f, g.h(0, 0), 1e-4);
    EXPECT_NEAR(92.5f, g.h(1, 0), 1e-4);
    EXPECT_EQ(100.0f, g.h(2, 0));
    deformTerrain(&g.t, 1e6f, 0.0f, 1e6f, -2000.0f, 0);
    EXPECT_NEAR(92.0f, g.h(49, 49), 1e-4);
    EXPECT_NEAR(92.0f, g.h(47, 48), 1e-4);
    EXPECT_EQ(100.0f, g.h(46, 49));
    deformTerrain(&g.t, g.worldX(49), 0.0f, g.worldZ(0), 8.0f, 1);
    EXPECT_NEAR(92.0f, g.h(49, 0), 1e-4);
    EXPECT_NEAR(94.5f, g.h(48, 0), 1e-4);
    EXPECT_NEAR(94.5f, g.h(49, 1), 1e-4);
    for (int i = 0; i < 50; i++)
        for (int j = 0; j < 50; j++) {
            float n = std::sqrt(g.t.normals[i][3 * j] * g.t.normals[i][3 * j] +
                                g.t.normals[i][3 * j + 1] * g.t.normals[i][3 * j + 1] +
                                g.t.normals[i][3 * j + 2] * g.t.normals[i][3 * j + 2]);
            ASSERT_NEAR(1.0f, n, 1e-5) << i << "," << j;
        }
}

TEST(TerrainColour, StainsBlendTowardTheColour) {
    HandTerrain g(50);
    colourTerrain(&g.t, g.worldX(30), 0.0f, g.worldZ(30), 0.6f, 0.0f, 0.0f, 0.7f);
    EXPECT_NEAR(0.72f, g.colour(30, 30)[0], 1e-6);
    EXPECT_NEAR(0.3f, g.colour(30, 30)[1], 1e-6);
    EXPECT_NEAR(0.3f, g.colour(30, 30)[2], 1e-6);
    colourTerrain(&g.t, g.worldX(30), 0.0f, g.worldZ(30), 0.6f, 0.0f, 0.0f, 0.7f);
    EXPECT_NEAR(0.636f, g.colour(30, 30)[0], 1e-6);
    EXPECT_NEAR(0.09f, g.colour(30, 30)[1], 1e-6);
    EXPECT_NEAR(0.09f, g.colour(30, 30)[2], 1e-6);
    EXPECT_TRUE(g.dirty(1, 1));
    EXPECT_EQ(1, g.dirtyCount());

    colourTerrain(&g.t, 1e6f, 0.0f, -1e6f, 0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_EQ(0.0f, g.colour(49, 0)[0]);
    EXPECT_EQ(1.0f, g.colour(49, 0)[2]);

    colourTerrainArray(&g.t, 5, 5, 0.0f, 0.0f, 0.0f, 0.5f);
    EXPECT_EQ(0.5f, g.colour(5, 5)[0]);
    EXPECT_TRUE(g.dirty(1, 0));  // the edge stain above, not this one
    EXPECT_FALSE(g.dirty(0, 0));
}

TEST(TerrainBlocks, ChangeMarksOwnBlockAndNearAxisNeighbours) {
    HandTerrain g(100);
    terrainFlagDLDirty(&g.t, 30, 30);
    EXPECT_TRUE(g.dirty(1, 1));
    EXPECT_EQ(1, g.dirtyCount());

    HandTerrain h(100);
    terrainFlagDLDirty(&h.t, 24, 24);
    EXPECT_TRUE(h.dirty(0, 0));
    EXPECT_TRUE(h.dirty(1, 0));
    EXPECT_TRUE(h.dirty(0, 1));
    EXPECT_EQ(3, h.dirtyCount());
    terrainFlagDLDirty(&h.t, 24, 24);  // twice is still just dirty
    EXPECT_EQ(3, h.dirtyCount());

    HandTerrain c(100);
    terrainFlagDLDirty(&c.t, 0, 0);
    EXPECT_TRUE(c.dirty(0, 0));
    EXPECT_EQ(1, c.dirtyCount());
    terrainFlagDLDirty(&c.t, 99, 99);  // beyond the last whole block
    terrainFlagDLDirty(&c.t, 102, 99);
    EXPECT_TRUE(c.dirty(3, 3));
    EXPECT_EQ(2, c.dirtyCount());
}

TEST(TerrainDelete, SafeOnEmptyAndPartlyBuiltRecords) {
    Terrain empty{};
    deleteTerrain(&empty);
    drawTerrain(&empty, 0.0f, 0.0f, 5000.0f);
    terrainFlagDLDirty(&empty, 0, 0);

    Terrain partial{};
    partial.width = partial.height = 40;
    partial.heights = static_cast<float**>(calloc(40, sizeof(float*)));
    for (int i = 0; i < 40; i++) partial.heights[i] = static_cast<float*>(calloc(40, sizeof(float)));
    partial.normals = static_cast<float**>(calloc(40, sizeof(float*)));
    for (int i = 0; i < 7; i++) partial.normals[i] = static_cast<float*>(calloc(120, sizeof(float)));
    deleteTerrain(&partial);
    EXPECT_EQ(nullptr, partial.heights);
    EXPECT_EQ(nullptr, partial.normals);
    EXPECT_EQ(nullptr, partial.colours);
    EXPECT_EQ(nullptr, partial.blockLists);
    deleteTerrain(&partial);
}
