// The landscape: builds the height field, normals, vertex colours, detail
// texture and per-block display lists from Map.tga, MapTex.tga and
// TexNoise.tga; answers height and grid queries; draws the blocks around a
// point, rebuilding dirty ones; and applies dents, craters and stains.
#include "terrain.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>

// Grid steps per block side, and the smallest map that holds one block.
const int BLOCK_STEPS = 25;

const float GRID_SCALE = 25.0f;
const float GRID_INVERSE_SCALE = 0.04f;

// Raw heights are 600 * byte / 256.
const float HEIGHT_RANGE = 600.0f;

const int SMOOTHING_PASSES = 3;
const double SMOOTHING_WEIGHT = 0.5;

// The detail texture repeats every 20 grid steps.
const float TEXTURE_REPEAT = 0.05f;

const float TERRAIN_SHININESS = 10.0f;

// Dents need a landing faster than this (downward velocity).
const float DENT_THRESHOLD = -50.0f;
const float MAX_DEFORM_RADIUS = 20.0f;

// A neighbour block is dirtied when the change lies this close to it.
const int DIRTY_MARGIN = 5;

// World units a block's bounds are widened by, against rounding where the
// view's edges graze it.
const float CULL_MARGIN = 1.0f;

static int drawnBlocks;

// ---------------------------------------------------------------- helpers

// Row-pointer array of `rows` calloc'ed rows of `columns` floats. Rows that
// could not be allocated stay null, so a partial array can still be freed.
static float** allocateRows(int rows, int columns, bool* complete) {
    float** array = static_cast<float**>(calloc(rows, sizeof(float*)));
    *complete = array != nullptr;
    if (!array) return nullptr;
    for (int i = 0; i < rows; i++) {
        array[i] = static_cast<float*>(calloc(columns, sizeof(float)));
        if (!array[i]) {
            *complete = false;
            break;
        }
    }
    return array;
}

template <typename T>
static void freeRows(T** array, int rows) {
    if (!array) return;
    for (int i = 0; i < rows; i++) free(array[i]);
}

static bool imageLoaded(const TgaImage* image) {
    return image && image->status == TGA_LOADED;
}

// The refusals that keep every later pixel read inside the images.
static bool imagesUsable(const TgaImage* heightImage, const TgaImage* colourImage) {
    if (heightImage->width != heightImage->height || heightImage->width < BLOCK_STEPS) {
        fprintf(stderr, "   ...Height image must be square and at least %d pixels wide: %d * %d\n",
                BLOCK_STEPS, heightImage->width, heightImage->height);
        return false;
    }
    if (heightImage->depth / 8 < 1) {
        fprintf(stderr, "   ...Height image is not of correct format: %d\n", heightImage->depth / 8);
        return false;
    }
    if (colourImage->depth / 8 < 3) {
        fprintf(stderr, "   ...Texture Image has too few bytes per pixel: %d\n", colourImage->depth / 8);
        return false;
    }
    return true;
}

// Heights from the last byte of each height pixel, colours from the first
// three bytes of each colour pixel; pixel p = width * i + j.
static void fillPointArrays(Terrain* terrain, const TgaImage* heightImage, const TgaImage* colourImage) {
    size_t hb = heightImage->depth / 8;
    size_t cb = colourImage->depth / 8;
    for (int i = 0; i < terrain->width; i++) {
        for (int j = 0; j < terrain->height; j++) {
            size_t p = static_cast<size_t>(terrain->width) * i + j;
            unsigned char b = heightImage->data[p * hb + hb - 1];
            terrain->heights[i][j] = HEIGHT_RANGE * (b / 256.0f);
            for (int k = 0; k < 3; k++) terrain->colours[i][3 * j + k] = colourImage->data[p * cb + k] / 256.0f;
        }
    }
}

// Loads and checks both images, turns a colour height image grey; on
// failure prints the reason, frees both and returns false.
static bool loadMapImages(TgaImage** heightImage, TgaImage** colourImage) {
    *heightImage = tgaLoad("Map.tga");
    *colourImage = tgaLoad("MapTex.tga");
    bool usable = false;
    if (!imageLoaded(*heightImage) || !imageLoaded(*colourImage)) {
        fprintf(stderr, "   ...couldn't load TGA\n");
    } else if ((*heightImage)->width != (*colourImage)->width || (*heightImage)->height != (*colourImage)->height) {
        fprintf(stderr, "   ...Height image is different size than texture image\n");
    } else {
        usable = imagesUsable(*heightImage, *colourImage);
    }
    if (!usable) {
        tgaDestroy(*heightImage);
        tgaDestroy(*colourImage);
        return false;
    }
    if ((*heightImage)->depth / 8 == 3) tgaRGBtoGreyscale(*heightImage);
    int cb = (*colourImage)->depth / 8;
    if (cb != 4) fprintf(stderr, "   ...Texture Image is not of correct format: %d\n", cb);
    return true;
}

static bool allocatePointArrays(Terrain* terrain) {
    bool complete;
    terrain->heights = allocateRows(terrain->width, terrain->height, &complete);
    if (!complete) {
        fprintf(stderr, "   ...map array not initialised\n");
        return false;
    }
    terrain->normals = allocateRows(terrain->width, 3 * terrain->height, &complete);
    if (!complete) {
        fprintf(stderr, "   ...normals array not initialised\n");
        return false;
    }
    terrain->colours = allocateRows(terrain->width, 3 * terrain->height, &complete);
    if (!complete) {
        fprintf(stderr, "   ...colours array not initialised\n");
        return false;
    }
    return true;
}

// Loads TexNoise.tga into the record and uploads it as three bytes a pixel.
static bool loadDetailTexture(Terrain* terrain) {
    glGenTextures(1, &terrain->texture);
    fprintf(stderr, "Loading terrain texture...\n");
    terrain->textureImage = tgaLoad("TexNoise.tga");
    if (!imageLoaded(terrain->textureImage)) {
        fprintf(stderr, "   ...couldn't load TGA\n");
        return false;
    }
    if (terrain->textureImage->depth / 8 < 3 || !terrain->textureImage->data) {
        fprintf(stderr, "   ...Terrain texture has too few bytes per pixel: %d\n", terrain->textureImage->depth / 8);
        return false;
    }
    fprintf(stderr, "   ...done\n");

    glBindTexture(GL_TEXTURE_2D, terrain->texture);
    fprintf(stderr, "Initialising texture...\n");
    // Rows of three-byte pixels are packed, whatever the width.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, terrain->textureImage->width, terrain->textureImage->height, 0, GL_RGB,
                 GL_UNSIGNED_BYTE, terrain->textureImage->data);
    glPopClientAttrib();
    fprintf(stderr, "   ...done\n");
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
    return true;
}

// Allocates and compiles every block list; the record's blockLists is left
// null unless all of them were made.
static bool buildBlockLists(Terrain* terrain) {
    unsigned int** lists = static_cast<unsigned int**>(calloc(terrain->blocksX, sizeof(unsigned int*)));
    bool complete = lists != nullptr;
    for (int bi = 0; complete && bi < terrain->blocksX; bi++) {
        lists[bi] = static_cast<unsigned int*>(calloc(terrain->blocksZ, sizeof(unsigned int)));
        complete = lists[bi] != nullptr;
    }
    if (!complete) {
        freeRows(lists, terrain->blocksX);
        free(lists);
        fprintf(stderr, "   ...display list array not initialised\n");
        return false;
    }
    terrain->blockLists = lists;
    // Without the heights every block is simply drawn.
    bool heightsComplete = false;
    terrain->blockHeights = allocateRows(terrain->blocksX, 2 * terrain->blocksZ, &heightsComplete);
    if (!heightsComplete) {
        freeRows(terrain->blockHeights, terrain->blocksX);
        free(terrain->blockHeights);
        terrain->blockHeights = nullptr;
    }
    for (int bi = 0; bi < terrain->blocksX; bi++) {
        for (int bj = 0; bj < terrain->blocksZ; bj++) {
            lists[bi][bj] = glGenLists(1);
            if (lists[bi][bj] == 0) {
                freeRows(lists, terrain->blocksX);
                free(lists);
                terrain->blockLists = nullptr;
                fprintf(stderr, "   ...couldn't create display list\n");
                return false;
            }
            generateTerrainDL(terrain, bi, bj);
        }
    }
    return true;
}

// Normal of (i, j) from the triangle (i, j), (i, j+1), (i+1, j+1).
static void computePointNormal(Terrain* terrain, int i, int j) {
    float s = terrain->scale;
    float** h = terrain->heights;
    Vector p1 = {i * s, h[i][j], j * s};
    Vector p2 = {i * s, h[i][j + 1], (j + 1) * s};
    Vector p3 = {(i + 1) * s, h[i + 1][j + 1], (j + 1) * s};
    Vector n = normal(p1, p2, p3);
    float* out = &terrain->normals[i][3 * j];
    out[0] = n.x;
    out[1] = n.y;
    out[2] = n.z;
}

// The last row and column have no triangle of their own: they repeat the
// normal of the nearest interior point.
static void copyEdgeNormal(Terrain* terrain, int i, int j) {
    int si = i < terrain->width - 1 ? i : terrain->width - 2;
    int sj = j < terrain->height - 1 ? j : terrain->height - 2;
    for (int k = 0; k < 3; k++) terrain->normals[i][3 * j + k] = terrain->normals[si][3 * sj + k];
}

static int clampInt(int value, int low, int high) {
    if (value < low) return low;
    if (value > high) return high;
    return value;
}

// Grid points a block's list may reach, one more on each side than it
// draws (its strips pair column i with i+1), clamped to the grid.
static void blockGridRange(const Terrain* terrain, int bi, int bj, int* i0, int* i1, int* j0, int* j1) {
    *i0 = clampInt(BLOCK_STEPS * bi - 1, 0, terrain->width - 1);
    *i1 = clampInt(BLOCK_STEPS * bi + BLOCK_STEPS + 2, 0, terrain->width - 1);
    *j0 = clampInt(BLOCK_STEPS * bj - 1, 0, terrain->height - 1);
    *j1 = clampInt(BLOCK_STEPS * bj + BLOCK_STEPS + 1, 0, terrain->height - 1);
}

// The heights the block's list is about to capture.
static void recordBlockHeights(Terrain* terrain, int bi, int bj) {
    if (!terrain->blockHeights) return;
    int i0, i1, j0, j1;
    blockGridRange(terrain, bi, bj, &i0, &i1, &j0, &j1);
    float lowest = terrain->heights[i0][j0];
    float highest = lowest;
    for (int i = i0; i <= i1; i++)
        for (int j = j0; j <= j1; j++) {
            const float h = terrain->heights[i][j];
            if (h < lowest) lowest = h;
            if (h > highest) highest = h;
        }
    terrain->blockHeights[bi][2 * bj] = lowest;
    terrain->blockHeights[bi][2 * bj + 1] = highest;
}

static bool blockHidden(const Terrain* terrain, const Frustum* view, int bi, int bj) {
    if (!terrain->blockHeights) return false;
    int i0, i1, j0, j1;
    blockGridRange(terrain, bi, bj, &i0, &i1, &j0, &j1);
    const float offX = -0.5f * terrain->worldWidth;
    const float offZ = -0.5f * terrain->worldDepth;
    const Vector lo = vectorInit(i0 * terrain->scale + offX, terrain->blockHeights[bi][2 * bj], j0 * terrain->scale + offZ);
    const Vector hi =
        vectorInit(i1 * terrain->scale + offX, terrain->blockHeights[bi][2 * bj + 1], j1 * terrain->scale + offZ);
    return boxOutsideFrustum(view, lo, hi, CULL_MARGIN) == 1;
}

static void markBlockDirty(Terrain* terrain, int bi, int bj) {
    if (bi < 0 || bi >= terrain->blocksX || bj < 0 || bj >= terrain->blocksZ) return;
    unsigned int* list = &terrain->blockLists[bi][bj];
    // The rebuild takes a fresh name, so the old list goes now.
    if (*list != DIRTY_LIST) glDeleteLists(*list, 1);
    *list = DIRTY_LIST;
}

static int gridIndex(float u, int size) {
    float n = u + 0.5f;
    if (!(n >= 0.0f)) return 0;
    if (n >= static_cast<float>(size)) return size - 1;
    return static_cast<int>(n);
}

static bool insideGrid(const Terrain* terrain, int i, int j) {
    return i >= 0 && i < terrain->width && j >= 0 && j < terrain->height;
}

// Offsets of a footprint: from trunc(-e) while below e.
static int footprintStart(float r) {
    return static_cast<int>(-0.1f * r);
}

static bool footprintContains(float r, int d) {
    return d < 0.1f * r;
}

static void recomputeFootprintNormals(Terrain* terrain, int ci, int cj, float r) {
    float half = 0.5f * r;
    computeSelectedNormals(terrain, static_cast<int>(ci - half), static_cast<int>(ci + half),
                           static_cast<int>(cj - half), static_cast<int>(cj + half));
}

// A flat-bottomed square, 0.4 r deep.
static void dentTerrain(Terrain* terrain, int ci, int cj, float amount) {
    if (!(amount < DENT_THRESHOLD)) return;
    float r = -0.02f * amount;
    if (r > MAX_DEFORM_RADIUS) r = MAX_DEFORM_RADIUS;
    for (int di = footprintStart(r); footprintContains(r, di); di++) {
        for (int dj = footprintStart(r); footprintContains(r, dj); dj++) {
            int i = ci + di;
            int j = cj + dj;
            if (!insideGrid(terrain, i, j)) continue;
            terrain->heights[i][j] -= 0.4f * r;
            terrainFlagDLDirty(terrain, i, j);
        }
    }
    recomputeFootprintNormals(terrain, ci, cj, r);
}

// A cone over the diamond distance |di| + |dj|, 0.5 r deep and scorched
// black by half its weight.
static void craterTerrain(Terrain* terrain, int ci, int cj, float amount) {
    if (!(amount > 0.0f)) return;
    float r = amount * 20.0f * 0.1f;
    if (r > MAX_DEFORM_RADIUS) r = MAX_DEFORM_RADIUS;
    float reach = 0.2f * r;
    for (int di = footprintStart(r); footprintContains(r, di); di++) {
        for (int dj = footprintStart(r); footprintContains(r, dj); dj++) {
            int i = ci + di;
            int j = cj + dj;
            if (!insideGrid(terrain, i, j)) continue;
            float f = (reach - abs(di) - abs(dj)) / reach;
            if (f > 1.0f) f = 1.0f;
            if (f < 0.0f) f = 0.0f;
            terrain->heights[i][j] -= f * r * 0.5f;
            terrainFlagDLDirty(terrain, i, j);
            colourTerrainArray(terrain, i, j, 0.0f, 0.0f, 0.0f, 0.5f * f);
        }
    }
    recomputeFootprintNormals(terrain, ci, cj, r);
}

static void emitVertex(Terrain* terrain, int i, int j, float x, float z) {
    glTexCoord2f(TEXTURE_REPEAT * i, TEXTURE_REPEAT * j);
    glNormal3fv(&terrain->normals[i][3 * j]);
    glColor3fv(&terrain->colours[i][3 * j]);
    glVertex3f(x, terrain->heights[i][j], z);
}

static void setTerrainMaterial(Terrain* terrain) {
    const float white[] = {1.0f, 1.0f, 1.0f, 1.0f};
    glMaterialfv(GL_FRONT, GL_AMBIENT, white);
    glMaterialfv(GL_FRONT, GL_SPECULAR, white);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, white);
    glMaterialf(GL_FRONT, GL_SHININESS, TERRAIN_SHININESS);

    glBindTexture(GL_TEXTURE_2D, terrain->texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
}

// ------------------------------------------------------------- operations

void initTerrain(Terrain* terrain) {
    // Start from an empty record so that deleteTerrain frees only what was built.
    *terrain = Terrain{};
    terrain->scale = GRID_SCALE;
    terrain->inverseScale = GRID_INVERSE_SCALE;
    fprintf(stderr, "Loading image...\n");
    TgaImage* heightImage;
    TgaImage* colourImage;
    if (!loadMapImages(&heightImage, &colourImage)) return;
    fprintf(stderr, "   ...done\n");

    fprintf(stderr, "Setting Terrain width and height...\n");
    terrain->width = heightImage->width;
    terrain->height = heightImage->height;
    terrain->worldWidth = heightImage->width * terrain->scale;
    terrain->worldDepth = heightImage->height * terrain->scale;
    fprintf(stderr, "   ...done.  Width: %d, height: %d\n", terrain->width, terrain->height);

    fprintf(stderr, "Allocating memory for Terrain...\n");
    if (!allocatePointArrays(terrain)) {
        tgaDestroy(heightImage);
        tgaDestroy(colourImage);
        return;
    }
    fprintf(stderr, "   ...done\n");

    fprintf(stderr, "Constructing map heights\n");
    fillPointArrays(terrain, heightImage, colourImage);
    fprintf(stderr, "   ...done\n");
    tgaDestroy(heightImage);
    tgaDestroy(colourImage);

    fprintf(stderr, "Smoothing Terrain\n");
    for (int pass = 0; pass < SMOOTHING_PASSES; pass++) smoothTerrain(terrain);
    fprintf(stderr, "   ...done\n");

    fprintf(stderr, "Computing Terrain Normals\n");
    computeTerrainNormals(terrain);
    fprintf(stderr, "   ...done\n");

    if (!loadDetailTexture(terrain)) return;

    terrain->blocksX = terrain->width / BLOCK_STEPS;
    terrain->blocksZ = terrain->height / BLOCK_STEPS;
    fprintf(stderr, "Generating Terrain Display Lists...\n");
    fprintf(stderr, "   ...Terrain Size: (%d * %d)\n", terrain->width, terrain->height);
    fprintf(stderr, "   ...Number of blocks: (%d * %d)\n", terrain->blocksX, terrain->blocksZ);
    if (!buildBlockLists(terrain)) return;
    fprintf(stderr, "   ...done\n");
}

void smoothTerrain(Terrain* terrain) {
    smoothSelectedArea(terrain, 0, terrain->width, 0, terrain->height);
}

void computeTerrainNormals(Terrain* terrain) {
    computeSelectedNormals(terrain, 0, terrain->width - 1, 0, terrain->height - 1);
}

void deleteTerrain(Terrain* terrain) {
    tgaDestroy(terrain->textureImage);
    terrain->textureImage = nullptr;
    for (int i = 0; i < terrain->width; i++) {
        if (terrain->heights) free(terrain->heights[i]);
        if (terrain->normals) free(terrain->normals[i]);
        if (terrain->colours) free(terrain->colours[i]);
    }
    fprintf(stderr, "Freeing Terrain...\n");
    freeRows(terrain->blockLists, terrain->blocksX);
    freeRows(terrain->blockHeights, terrain->blocksX);
    free(terrain->blockHeights);
    terrain->blockHeights = nullptr;
    fprintf(stderr, "   ...freed array entries\n");
    free(terrain->heights);
    free(terrain->normals);
    free(terrain->colours);
    free(terrain->blockLists);
    terrain->heights = nullptr;
    terrain->normals = nullptr;
    terrain->colours = nullptr;
    terrain->blockLists = nullptr;
    fprintf(stderr, "   ...done\n");
}

// Height of the plane through (i, j), (i+1, j), (i+1, j+1), for the whole cell.
float getHeightAt(Terrain* terrain, float x, float z) {
    float u = (x + terrain->worldWidth * 0.5f) * terrain->inverseScale;
    float v = (z + terrain->worldDepth * 0.5f) * terrain->inverseScale;
    if (!(u > 0.0f && u < terrain->width - 1 && v > 0.0f && v < terrain->height - 1)) return 0.0f;
    int i = static_cast<int>(u);
    int j = static_cast<int>(v);
    float s = terrain->scale;
    float** h = terrain->heights;
    // Corners relative to (i, j), which keeps the plane's inputs small.
    Vector p1 = {0.0f, h[i][j], 0.0f};
    Vector p2 = {s, h[i + 1][j], 0.0f};
    Vector p3 = {s, h[i + 1][j + 1], s};
    Vector point = {(u - i) * s, 0.0f, (v - j) * s};
    findYvalue(p1, p2, p3, &point);
    return point.y;
}

int worldToTerrainX(Terrain* terrain, float x) {
    return gridIndex((x + terrain->worldWidth * 0.5f) * terrain->inverseScale, terrain->width);
}

int worldToTerrainZ(Terrain* terrain, float z) {
    return gridIndex((z + terrain->worldDepth * 0.5f) * terrain->inverseScale, terrain->height);
}

void generateTerrainDL(Terrain* terrain, int bi, int bj) {
    float size = terrain->scale * BLOCK_STEPS;
    float cx = BLOCK_STEPS * bi * terrain->scale + size * 0.5f - terrain->worldWidth * 0.5f;
    float cz = BLOCK_STEPS * bj * terrain->scale + size * 0.5f - terrain->worldDepth * 0.5f;
    recordBlockHeights(terrain, bi, bj);
    glNewList(terrain->blockLists[bi][bj], GL_COMPILE);
    compileTerrain(terrain, cx, cz, size);
    glEndList();
}

// Strips along z, one per grid column i whose x lies in the square (edges
// included); each strip pairs column i+1 with column i.
void compileTerrain(Terrain* terrain, float cx, float cz, float size) {
    float offX = -0.5f * terrain->worldWidth;
    float offZ = -0.5f * terrain->worldDepth;
    float minX = cx - size * 0.5f;
    float maxX = cx + size * 0.5f;
    float minZ = cz - size * 0.5f;
    float maxZ = cz + size * 0.5f;
    glPushMatrix();
    setTerrainMaterial(terrain);
    for (int i = 0; i + 1 < terrain->width; i++) {
        float xi = i * terrain->scale + offX;
        if (!(minX <= xi && xi <= maxX)) continue;
        float xNext = (i + 1) * terrain->scale + offX;
        glBegin(GL_TRIANGLE_STRIP);
        for (int j = 0; j < terrain->height; j++) {
            float zj = j * terrain->scale + offZ;
            if (!(minZ <= zj && zj <= maxZ)) continue;
            emitVertex(terrain, i + 1, j, xNext, zj);
            emitVertex(terrain, i, j, xi, zj);
        }
        glEnd();
    }
    glPopMatrix();
    glBindTexture(GL_TEXTURE_2D, 0);
}

void drawTerrain(Terrain* terrain, float x, float z, float dist) {
    drawTerrainInView(terrain, x, z, dist, nullptr);
}

// The window's far-edge block on each axis is left out.
// Dirty blocks in the window are rebuilt whether in view or not, so each
// list holds the same heights and colours as when every block was drawn.
void drawTerrainInView(Terrain* terrain, float x, float z, float dist, const Frustum* view) {
    drawnBlocks = 0;
    if (!terrain->blockLists) return;
    int bx0 = worldToTerrainX(terrain, x - dist * 0.5f) / BLOCK_STEPS;
    int bz0 = worldToTerrainZ(terrain, z - dist * 0.5f) / BLOCK_STEPS;
    int bx1 = worldToTerrainX(terrain, x + dist * 0.5f) / BLOCK_STEPS;
    int bz1 = worldToTerrainZ(terrain, z + dist * 0.5f) / BLOCK_STEPS;
    for (int bi = bx0; bi < bx1; bi++) {
        for (int bj = bz0; bj < bz1; bj++) {
            if (terrain->blockLists[bi][bj] == DIRTY_LIST) {
                terrain->blockLists[bi][bj] = glGenLists(1);
                generateTerrainDL(terrain, bi, bj);
            }
            if (view && blockHidden(terrain, view, bi, bj)) continue;
            glCallList(terrain->blockLists[bi][bj]);
            drawnBlocks++;
        }
    }
}

// The point's own block, then the blocks within DIRTY_MARGIN steps along
// x or z (never the diagonal ones).
void terrainFlagDLDirty(Terrain* terrain, int i, int j) {
    if (!terrain->blockLists) return;
    markBlockDirty(terrain, i / BLOCK_STEPS, j / BLOCK_STEPS);
    markBlockDirty(terrain, (i + DIRTY_MARGIN) / BLOCK_STEPS, j / BLOCK_STEPS);
    markBlockDirty(terrain, i / BLOCK_STEPS, (j + DIRTY_MARGIN) / BLOCK_STEPS);
    markBlockDirty(terrain, (i - DIRTY_MARGIN) / BLOCK_STEPS, j / BLOCK_STEPS);
    markBlockDirty(terrain, i / BLOCK_STEPS, (j - DIRTY_MARGIN) / BLOCK_STEPS);
}

int getDrawnBlockCount() {
    return drawnBlocks;
}

// Mode 0 dents (a hard landing), mode 1 craters (an explosion); y is unused.
void deformTerrain(Terrain* terrain, float x, float, float z, float amount, int mode) {
    int ci = worldToTerrainX(terrain, x);
    int cj = worldToTerrainZ(terrain, z);
    if (mode == 0) dentTerrain(terrain, ci, cj, amount);
    if (mode == 1) craterTerrain(terrain, ci, cj, amount);
}

void colourTerrain(Terrain* terrain, float x, float, float z, float r, float g, float b, float f) {
    int i = worldToTerrainX(terrain, x);
    int j = worldToTerrainZ(terrain, z);
    colourTerrainArray(terrain, i, j, r, g, b, f);
    terrainFlagDLDirty(terrain, i, j);
}

// Each channel becomes (1 - f) v + f target.
void colourTerrainArray(Terrain* terrain, int i, int j, float r, float g, float b, float f) {
    if (!insideGrid(terrain, i, j)) return;
    float* colour = &terrain->colours[i][3 * j];
    const float target[] = {r, g, b};
    for (int k = 0; k < 3; k++) colour[k] = (1.0f - f) * colour[k] + f * target[k];
}

// Also refreshes the copied normals of the last row and column next to the range.
void computeSelectedNormals(Terrain* terrain, int i0, int i1, int j0, int j1) {
    if (terrain->width < 2 || terrain->height < 2) return;
    int lastI = terrain->width - 1;
    int lastJ = terrain->height - 1;
    i0 = clampInt(i0, 0, lastI);
    i1 = clampInt(i1, 0, lastI);
    j0 = clampInt(j0, 0, lastJ);
    j1 = clampInt(j1, 0, lastJ);
    for (int i = i0; i < i1; i++) {
        for (int j = j0; j < j1; j++) computePointNormal(terrain, i, j);
    }
    if (i0 >= i1 || j0 >= j1) return;
    if (i1 == lastI) {
        for (int j = j0; j < j1; j++) copyEdgeNormal(terrain, lastI, j);
    }
    if (j1 == lastJ) {
        for (int i = i0; i < i1; i++) copyEdgeNormal(terrain, i, lastJ);
    }
    if (i1 == lastI && j1 == lastJ) copyEdgeNormal(terrain, lastI, lastJ);
}

// Four running blends with weight 0.5: along +x, -x, +z, -z; the row or
// column each sweep starts from keeps its value.
void smoothSelectedArea(Terrain* terrain, int i0, int i1, int j0, int j1) {
    i0 = clampInt(i0, 0, terrain->width);
    i1 = clampInt(i1, 0, terrain->width);
    j0 = clampInt(j0, 0, terrain->height);
    j1 = clampInt(j1, 0, terrain->height);
    float** h = terrain->heights;
    const double k = SMOOTHING_WEIGHT;
    for (int i = i0 + 1; i < i1; i++) {
        for (int j = j0; j < j1; j++) h[i][j] = static_cast<float>((1 - k) * h[i - 1][j] + k * h[i][j]);
    }
    for (int i = i1 - 2; i >= i0; i--) {
        for (int j = j0; j < j1; j++) h[i][j] = static_cast<float>((1 - k) * h[i + 1][j] + k * h[i][j]);
    }
    for (int i = i0; i < i1; i++) {
        for (int j = j0 + 1; j < j1; j++) h[i][j] = static_cast<float>((1 - k) * h[i][j - 1] + k * h[i][j]);
    }
    for (int i = i0; i < i1; i++) {
        for (int j = j1 - 2; j >= j0; j--) h[i][j] = static_cast<float>((1 - k) * h[i][j + 1] + k * h[i][j]);
    }
}
