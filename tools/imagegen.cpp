// Paints the eight TGA pictures the game reads (height map and its colours,
// detail noise, sky, cube face, person front and back, tank camouflage) and
// writes them into a folder with tgaSave; also the cube face as a PNG desktop
// icon. In: the folder. Out: the files, the same bytes on every run (own hash
// noise, no rand(), only exact maths library calls).
#include "imagegen.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "image.h"
#include "ico.h"
#include "png.h"

// Height map: one grid point per pixel, 25 world units apart, pixel
// p = MAP_SIZE * i + j for grid point (i, j), i along x.
static const int MAP_SIZE = 512;
// Grid point of the cube's start, world (0, -4000).
static const int START_I = 256;
static const int START_J = 96;
// People and tanks turn back 2000 world units (80 points) from the edges.
static const float BORDER = 80.0f;

// The renderer's fog colour; the sky's horizon fades into it.
static const float FOG_RED = 39.0f;
static const float FOG_GREEN = 168.0f;
static const float FOG_BLUE = 221.0f;

// Eye height inside the sky box: 15 below its centre of a 200-high side.
static const float SKY_HORIZON = 0.425f;

static const int PATH_SIZE = 4096;

struct Colour {
    float r, g, b;
};

// An image being painted: rows bottom first (t = 0 at row 0), R, G, B[, A].
struct Picture {
    int width;
    int height;
    int depth;
    uint8_t* data;
};

// ---- numbers -----------------------------------------------------------

static uint32_t hashLattice(int x, int y, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B1u;
    h ^= (uint32_t)x * 0x85EBCA77u;
    h ^= (uint32_t)y * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

// A value in [0, 1) fixed by the lattice point and seed.
static float latticeValue(int x, int y, uint32_t seed) {
    return (float)(hashLattice(x, y, seed) >> 8) / 16777216.0f;
}

static int wrap(int v, int period) {
    int m = v % period;
    return m < 0 ? m + period : m;
}

static float clampUnit(float v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

static float lerp(float a, float b, float t) {
    return a + (b - a) * t;
}

static float smoothstep(float edge0, float edge1, float x) {
    float t = clampUnit((x - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

// Value noise in [0, 1), repeating every periodX by periodY lattice cells.
static float valueNoise(float x, float y, int periodX, int periodY, uint32_t seed) {
    int x0 = (int)floorf(x);
    int y0 = (int)floorf(y);
    float fx = smoothstep(0, 1, x - (float)x0);
    float fy = smoothstep(0, 1, y - (float)y0);
    int xa = wrap(x0, periodX), xb = wrap(x0 + 1, periodX);
    int ya = wrap(y0, periodY), yb = wrap(y0 + 1, periodY);
    float bottom = lerp(latticeValue(xa, ya, seed), latticeValue(xb, ya, seed), fx);
    float top = lerp(latticeValue(xa, yb, seed), latticeValue(xb, yb, seed), fx);
    return lerp(bottom, top, fy);
}

// Octaves of value noise, each twice the frequency and half the weight of
// the one before; periods double with the frequency so tiling holds.
static float fractalNoise(float x, float y, int octaves, int periodX, int periodY, uint32_t seed) {
    float sum = 0, weight = 1, total = 0;
    for (int o = 0; o < octaves; o++) {
        sum += weight * valueNoise(x, y, periodX, periodY, seed + (uint32_t)o * 101u);
        total += weight;
        weight *= 0.5f;
        x *= 2;
        y *= 2;
        periodX *= 2;
        periodY *= 2;
    }
    return sum / total;
}

// Plain (non-repeating) fractal noise for the landscape.
static float landNoise(float x, float y, int octaves, uint32_t seed) {
    const int never = 1 << 20;
    return fractalNoise(x, y, octaves, never, never, seed);
}

// ---- pictures ----------------------------------------------------------

static Colour colour(float r, float g, float b) {
    Colour c = {r, g, b};
    return c;
}

static Colour mixColour(Colour a, Colour b, float t) {
    return colour(lerp(a.r, b.r, t), lerp(a.g, b.g, t), lerp(a.b, b.b, t));
}

static Colour scaleColour(Colour c, float s) {
    return colour(c.r * s, c.g * s, c.b * s);
}

static uint8_t toByte(float v) {
    return v <= 0 ? 0 : (v >= 255 ? 255 : (uint8_t)(v + 0.5f));
}

static Picture newPicture(int width, int height, int depth) {
    Picture picture = {width, height, depth, NULL};
    picture.data = (uint8_t*)calloc((size_t)width * height * (depth / 8), 1);
    return picture;
}

// Column `col` is s * width, row `row` is t * height.
static void putPixel(Picture* picture, int col, int row, Colour c) {
    int bytes = picture->depth / 8;
    uint8_t* p = picture->data + ((size_t)row * picture->width + col) * bytes;
    if (bytes == 1) {
        p[0] = toByte(c.r);
        return;
    }
    p[0] = toByte(c.r);
    p[1] = toByte(c.g);
    p[2] = toByte(c.b);
    if (bytes == 4) p[3] = 255;
}

static void fillRect(Picture* picture, int col0, int row0, int col1, int row1, Colour c) {
    for (int row = row0; row < row1; row++)
        for (int col = col0; col < col1; col++) putPixel(picture, col, row, c);
}

static void fillDisc(Picture* picture, float cx, float cy, float radius, Colour c) {
    for (int row = 0; row < picture->height; row++)
        for (int col = 0; col < picture->width; col++) {
            float dx = (float)col + 0.5f - cx, dy = (float)row + 0.5f - cy;
            if (dx * dx + dy * dy <= radius * radius) putPixel(picture, col, row, c);
        }
}

// Writes dir/name and releases the pixels whether or not the save worked.
static bool savePicture(const char* dir, const char* name, Picture* picture) {
    char path[PATH_SIZE];
    int length = snprintf(path, sizeof path, "%s/%s", dir, name);
    bool saved = picture->data && length > 0 && length < (int)sizeof path &&
                 tgaSave(path, (short)picture->width, (short)picture->height,
                         (unsigned char)picture->depth, picture->data) == TGA_LOADED;
    if (!saved) free(picture->data);
    picture->data = NULL;
    return saved;
}

// ---- landscape ---------------------------------------------------------

// Rolling hills, broad lowlands and a few ridges, in grey levels.
static float inlandHeight(float i, float j) {
    float hills = clampUnit((landNoise(i / 85, j / 85, 4, 11) - 0.5f) * 2.6f + 0.5f);
    float relief = 0.35f + 0.9f * smoothstep(0.3f, 0.7f, landNoise(i / 260 + 3.7f, j / 260 + 1.3f, 2, 23));
    float crest = 1 - fabsf(2 * landNoise(i / 120 + 9.1f, j / 120 + 4.4f, 2, 37) - 1);
    float ridgeMask = smoothstep(0.5f, 0.7f, landNoise(i / 170 + 5.5f, j / 170 + 8.8f, 2, 41));
    return 30 + 200 * hills * relief + 110 * crest * crest * ridgeMask;
}

// Low, gently waving plain along the edges.
static float borderHeight(float i, float j) {
    return 20 + 30 * landNoise(i / 60, j / 60, 2, 53);
}

// Distance inward from the edges, measured to a rounded square (a 4-norm
// about the centre) so the inland keeps no sharp corners; never more than
// the distance to the nearest edge.
static float edgeDistance(float i, float j) {
    float half = (float)(MAP_SIZE - 1) / 2;
    float x = (i - half) * (i - half), y = (j - half) * (j - half);
    return half - sqrtf(sqrtf(x * x + y * y));
}

// How far inland a point reads: 0 on the border plain, 1 past the rise.
// The rise wanders a little so the border does not look ruled.
static float inlandShare(float i, float j) {
    float wobble = 24 * (landNoise(i / 50 + 2.2f, j / 50 + 6.6f, 2, 59) - 0.5f);
    return smoothstep(BORDER - 30, BORDER + 60, edgeDistance(i, j) + wobble);
}

// Inland terrain blended down to the border plain over the outer band.
static float shapedHeight(float i, float j) {
    float share = inlandShare(i, j);
    if (share <= 0) return borderHeight(i, j);
    if (share >= 1) return inlandHeight(i, j);
    return lerp(borderHeight(i, j), inlandHeight(i, j), share);
}

// Heights of every grid point; the ground around the start is levelled.
static float* buildHeights() {
    float* heights = (float*)malloc(sizeof(float) * MAP_SIZE * MAP_SIZE);
    if (!heights) return NULL;
    float startLevel = shapedHeight((float)START_I, (float)START_J);
    for (int i = 0; i < MAP_SIZE; i++)
        for (int j = 0; j < MAP_SIZE; j++) {
            float di = (float)(i - START_I), dj = (float)(j - START_J);
            float level = 1 - smoothstep(10, 30, sqrtf(di * di + dj * dj));
            float h = lerp(shapedHeight((float)i, (float)j), startLevel, level);
            heights[MAP_SIZE * i + j] = fminf(fmaxf(h, 0), 255);
        }
    return heights;
}

static float heightAt(const float* heights, int i, int j) {
    i = i < 0 ? 0 : (i >= MAP_SIZE ? MAP_SIZE - 1 : i);
    j = j < 0 ? 0 : (j >= MAP_SIZE ? MAP_SIZE - 1 : j);
    return heights[MAP_SIZE * i + j];
}

// Steepness in grey levels per grid step (central differences).
static float slopeAt(const float* heights, int i, int j) {
    float gi = (heightAt(heights, i + 1, j) - heightAt(heights, i - 1, j)) * 0.5f;
    float gj = (heightAt(heights, i, j + 1) - heightAt(heights, i, j - 1)) * 0.5f;
    return sqrtf(gi * gi + gj * gj);
}

// Grass low down, drier grass higher, earth and rock on steep or high
// ground, snow on the gentle tops; the border plain turns to steppe.
static Colour groundColour(const float* heights, int i, int j) {
    const Colour lushGrass = colour(58, 128, 44);
    const Colour dryGrass = colour(124, 150, 64);
    const Colour steppe = colour(122, 136, 72);
    const Colour earth = colour(132, 102, 66);
    const Colour rock = colour(134, 128, 120);
    const Colour snow = colour(242, 244, 250);

    float fi = (float)i, fj = (float)j;
    float h = heightAt(heights, i, j) / 255.0f;
    float slope = slopeAt(heights, i, j);
    float patch = landNoise(fi / 24, fj / 24, 2, 61) - 0.5f;

    Colour c = mixColour(lushGrass, dryGrass, smoothstep(0.15f, 0.6f, h + 0.25f * patch));
    c = mixColour(c, steppe, 1 - smoothstep(BORDER - 30, BORDER + 60, edgeDistance(fi, fj)));
    c = mixColour(c, earth, smoothstep(2.4f, 4.0f, slope + 1.2f * patch));
    c = mixColour(c, rock, fmaxf(smoothstep(0.55f, 0.65f, h + 0.1f * patch), smoothstep(4.0f, 6.0f, slope)));
    c = mixColour(c, snow, smoothstep(0.66f, 0.71f, h + 0.08f * patch) * (1 - smoothstep(3.0f, 5.0f, slope)));
    return scaleColour(c, 0.9f + 0.2f * valueNoise(fi / 3, fj / 3, 1 << 20, 1 << 20, 67));
}

static bool writeMaps(const char* dir) {
    float* heights = buildHeights();
    Picture map = newPicture(MAP_SIZE, MAP_SIZE, 8);
    Picture colours = newPicture(MAP_SIZE, MAP_SIZE, 32);
    if (heights && map.data && colours.data) {
        for (int i = 0; i < MAP_SIZE; i++)
            for (int j = 0; j < MAP_SIZE; j++) {
                float h = heights[MAP_SIZE * i + j];
                putPixel(&map, j, i, colour(h, h, h));
                putPixel(&colours, j, i, groundColour(heights, i, j));
            }
    }
    bool saved = heights != NULL;
    free(heights);
    saved = savePicture(dir, "Map.tga", &map) && saved;
    saved = savePicture(dir, "MapTex.tga", &colours) && saved;
    return saved;
}

// ---- textures ----------------------------------------------------------

// Light grey grain that tiles; it modulates the vertex colours, so it stays
// between about 200 and 255 to keep them bright.
static Colour noiseTexel(int col, int row, int size) {
    float n = fractalNoise((float)col / 32, (float)row / 32, 4, size / 32, size / 32, 71);
    float grain = latticeValue(col, row, 73) - 0.5f;
    float v = 228 + 70 * (n - 0.5f) + 14 * grain;
    v = fminf(fmaxf(v, 196), 255);
    return colour(v, v, v - 3);
}

// Sky by texture height t: the fog colour up to the horizon, so that land
// cut off by the far plane fades into the sky (the top face's corner patch
// and the bottom face's texel lie there too), a pale haze just above it,
// deeper blue toward the top, with soft clouds in between. Clouds repeat
// across s so that the four sides meet without seams.
static Colour skyColour(float s, float t, int size) {
    const Colour fog = colour(FOG_RED, FOG_GREEN, FOG_BLUE);
    const Colour haze = colour(150, 206, 236);
    const Colour zenith = colour(24, 92, 188);
    const Colour cloud = colour(248, 250, 252);

    if (t < SKY_HORIZON) return fog;
    float u = (t - SKY_HORIZON) / (1 - SKY_HORIZON);
    Colour c = mixColour(fog, haze, smoothstep(0, 0.05f, u));
    float deep = smoothstep(0.03f, 1.0f, u);
    c = mixColour(c, zenith, deep * (2 - deep));

    int period = size / 128;
    float density = fractalNoise(s * (float)period, u * 7, 4, period, 1 << 20, 83);
    float band = smoothstep(0.03f, 0.2f, u) * (1 - smoothstep(0.5f, 0.85f, u));
    float cover = smoothstep(0.5f, 0.72f, density) * band;
    float shade = 0.86f + 0.14f * smoothstep(0.5f, 0.8f, density);
    return mixColour(c, scaleColour(cloud, shade), 0.92f * cover);
}

static Colour skyTexel(int col, int row, int size) {
    return skyColour((float)col / size, (float)row / (size - 1), size);
}

// Emblem of the cube face in 0 ... 1 face coordinates: an arrow toward +t
// and a pip in the lower-left corner, so every roll shows.
static bool insideArrow(float x, float y) {
    bool shaft = fabsf(x - 0.5f) < 0.075f && y > 0.24f && y < 0.6f;
    float headHalf = 0.22f * (0.86f - y) / 0.26f;
    bool head = y >= 0.6f && y < 0.86f && fabsf(x - 0.5f) < headHalf;
    return shaft || head;
}

static bool insidePip(float x, float y) {
    float dx = x - 0.22f, dy = y - 0.22f;
    return dx * dx + dy * dy < 0.075f * 0.075f;
}

// Share of a pixel's 4 x 4 sub-samples that an emblem part covers.
static float coverage(bool (*inside)(float, float), int col, int row, int size) {
    int hits = 0;
    for (int sy = 0; sy < 4; sy++)
        for (int sx = 0; sx < 4; sx++)
            if (inside(((float)col + (sx + 0.5f) / 4) / size, ((float)row + (sy + 0.5f) / 4) / size)) hits++;
    return (float)hits / 16;
}

// Golden face with a bevelled dark frame, the arrow and the pip.
static Colour cubeTexel(int col, int row, int size) {
    const int border = 18, bevel = 4;
    const Colour frame = colour(62, 36, 22);
    const Colour light = colour(252, 222, 130);
    const Colour face = colour(238, 178, 48);
    const Colour mark = colour(186, 36, 28);
    int edge = col < row ? col : row;
    int far = size - 1 - (col > row ? col : row);
    edge = edge < far ? edge : far;
    float dx = (float)col / size - 0.5f, dy = (float)row / size - 0.5f;
    Colour c = scaleColour(face, 1.04f - 0.35f * (dx * dx + dy * dy));
    c = scaleColour(c, 0.94f + 0.12f * fractalNoise((float)col / 16, (float)row / 16, 3, 16, 16, 89));
    c = mixColour(c, mark, coverage(insideArrow, col, row, size));
    c = mixColour(c, frame, coverage(insidePip, col, row, size));
    if (edge < border + bevel) c = light;
    if (edge < border) c = frame;
    return c;
}

// A 64 x 64 figure with raised arms on the key colour, feet at row 0. Hard
// edges only: a blend with the key colour would not be keyed out.
static void drawPerson(Picture* picture, bool back) {
    const Colour key = colour(255, 0, 255);
    const Colour skin = colour(240, 196, 156);
    const Colour hair = colour(112, 70, 36);
    const Colour shirt = colour(214, 70, 52);
    const Colour shirtBack = colour(184, 56, 42);
    const Colour trousers = colour(70, 96, 188);
    const Colour shoes = colour(124, 82, 50);
    const Colour eyes = colour(40, 32, 36);

    fillRect(picture, 0, 0, picture->width, picture->height, key);
    fillRect(picture, 23, 2, 30, 24, trousers);
    fillRect(picture, 34, 2, 41, 24, trousers);
    fillRect(picture, 22, 2, 30, 6, shoes);
    fillRect(picture, 34, 2, 42, 6, shoes);
    fillRect(picture, 22, 22, 42, 44, back ? shirtBack : shirt);
    fillRect(picture, 16, 38, 22, 56, back ? shirtBack : shirt);
    fillRect(picture, 42, 38, 48, 56, back ? shirtBack : shirt);
    fillRect(picture, 16, 56, 22, 61, skin);
    fillRect(picture, 42, 56, 48, 61, skin);
    fillRect(picture, 29, 44, 35, 47, skin);
    fillDisc(picture, 32, 54, 8.5f, hair);
    if (back) return;
    fillDisc(picture, 32, 52, 7, skin);
    fillRect(picture, 28, 52, 30, 54, eyes);
    fillRect(picture, 34, 52, 36, 54, eyes);
    fillRect(picture, 30, 48, 34, 49, colour(190, 84, 84));
}

static bool writePerson(const char* dir, const char* name, bool back) {
    Picture picture = newPicture(64, 64, 24);
    if (picture.data) drawPerson(&picture, back);
    return savePicture(dir, name, &picture);
}

// Three-tone camouflage blotches.
static Colour camouflage(int col, int row) {
    float x = (float)col / 36, y = (float)row / 36;
    float dark = landNoise(x, y, 3, 97);
    float brown = landNoise(x + 17, y + 29, 3, 101);
    Colour c = colour(98, 106, 58);
    if (dark > 0.56f) c = colour(54, 68, 38);
    if (brown > 0.6f) c = colour(110, 88, 56);
    return scaleColour(c, 0.93f + 0.14f * latticeValue(col, row, 103));
}

// Dark track links: a light bar every 12 texels along the track's length.
static Colour treadLinks(int along) {
    return along % 12 < 4 ? colour(84, 82, 76) : colour(44, 44, 42);
}

// Track side: tread bands at the bottom and along the sloping top edge,
// road wheels between. The top edge runs from t 26/32 at s 15/32 to 31/32.
static Colour trackSide(int col, int row, int unit) {
    float s = (float)col / unit, t = (float)row / unit;
    float top = 26 + (s - 15) * 5 / 16;
    if (t < 20.9f || t > top - 0.9f) return treadLinks(col);
    for (int w = 0; w < 5; w++) {
        float dx = s - (16.8f + 3.2f * w), dy = t - 23.0f;
        float r2 = dx * dx + dy * dy;
        if (r2 < 0.45f) return colour(72, 76, 62);
        if (r2 < 1.9f) return colour(100, 102, 90);
        if (r2 < 2.2f) return colour(36, 36, 34);
    }
    return colour(52, 52, 48);
}

// Tank picture in 32nds: hull and turret sides s 1-15 t 1-15, tops s 16-31
// t 1-19, barrel s 1-5 t 16-31, track tops and ends s 8-14 t 16-31, track
// sides s 15-31 t 20-31.
static Colour tankTexel(int col, int row, int size) {
    const int unit = size / 32;
    float s = (float)col / unit, t = (float)row / unit;
    if (s < 6 && t >= 16) {
        if (t < 18 && s < 3.2f) return colour(26, 26, 22);
        return scaleColour(colour(76, 84, 48), 0.8f + 0.25f * smoothstep(0, 3, s < 3 ? s : 6 - s));
    }
    if (s >= 8 && s < 15 && t >= 16) return treadLinks(row);
    if (s >= 15 && t >= 20) return trackSide(col, row, unit);
    Colour c = camouflage(col, row);
    if (s < 16 && t < 16) {
        bool panel = fabsf(s - 1) < 0.2f || fabsf(s - 15) < 0.2f || fabsf(t - 1) < 0.2f || fabsf(t - 15) < 0.2f;
        bool rivet = (int)(s * 2) % 4 == 1 && fabsf(t - 13.6f) < 0.25f && (int)(s * 8) % 8 < 2;
        if (panel || rivet) c = scaleColour(c, 0.6f);
    }
    if (s >= 16 && t < 20) {
        float dx = s - 23.5f, dy = t - 12.0f, r2 = dx * dx + dy * dy;
        if (r2 < 4.0f) c = scaleColour(c, r2 > 3.2f ? 0.55f : 1.08f);
        if (t > 2 && t < 6 && s > 18 && s < 29 && (int)(t * 4) % 2 == 0) c = colour(40, 42, 34);
    }
    return c;
}

// A square 24-bit texture, one texel at a time.
static bool paintTexture(const char* dir, const char* name, int size, Colour (*texel)(int col, int row, int size)) {
    Picture picture = newPicture(size, size, 24);
    if (picture.data) {
        for (int row = 0; row < size; row++)
            for (int col = 0; col < size; col++) putPixel(&picture, col, row, texel(col, row, size));
    }
    return savePicture(dir, name, &picture);
}

// ---- icon --------------------------------------------------------------

// How much of texel `t` lies under icon pixel `i` when `size` pixels share
// `texture` texels: 1 inside, the overlap's fraction at a shared edge.
static float texelShare(int t, int i, int size, int texture) {
    float lo = (float)i * texture / size, hi = (float)(i + 1) * texture / size;
    float from = t > lo ? (float)t : lo, to = t + 1 < hi ? (float)(t + 1) : hi;
    return to > from ? to - from : 0.0f;
}

// The cube face as an icon: each icon pixel is the mean of the texels under
// it, weighed by how much of each it covers (all whole where the size divides
// the texture), rows flipped to top first as PNG stores them.
static uint8_t* iconPixels(int size) {
    const int texture = 256;
    if (size <= 0 || size > texture) return NULL;
    uint8_t* pixels = (uint8_t*)malloc((size_t)size * size * 3);
    if (!pixels) return NULL;
    int reach = (texture + size - 1) / size + 1;
    float texels = (float)texture / size * ((float)texture / size);
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            Colour sum = colour(0, 0, 0);
            int v = size - 1 - y;
            for (int row = v * texture / size; row < v * texture / size + reach && row < texture; row++)
                for (int col = x * texture / size; col < x * texture / size + reach && col < texture; col++) {
                    float share = texelShare(row, v, size, texture) * texelShare(col, x, size, texture);
                    if (share == 0.0f) continue;
                    Colour c = cubeTexel(col, row, texture);
                    sum = colour(sum.r + share * toByte(c.r), sum.g + share * toByte(c.g), sum.b + share * toByte(c.b));
                }
            uint8_t* p = pixels + ((size_t)y * size + x) * 3;
            p[0] = toByte(sum.r / texels);
            p[1] = toByte(sum.g / texels);
            p[2] = toByte(sum.b / texels);
        }
    return pixels;
}

// ---- operations --------------------------------------------------------

int generateGameImages(const char* dir) {
    bool saved = writeMaps(dir);
    saved = paintTexture(dir, "TexNoise.tga", 256, noiseTexel) && saved;
    saved = paintTexture(dir, "TexSkyBox.tga", 512, skyTexel) && saved;
    saved = paintTexture(dir, "TexCube.tga", 256, cubeTexel) && saved;
    saved = writePerson(dir, "TexPerson.tga", false) && saved;
    saved = writePerson(dir, "TexPersonBack.tga", true) && saved;
    saved = paintTexture(dir, "TexTank.tga", 256, tankTexel) && saved;
    return saved ? 1 : 0;
}

int generateGameIcon(const char* path, int size) {
    uint8_t* pixels = iconPixels(size);
    int saved = pixels ? pngSave(path, size, size, pixels) : 0;
    free(pixels);
    return saved;
}

int generateGameIco(const char* path) {
    const int sizes[] = {16, 24, 32, 48, 64, 128, 256};
    const int count = sizeof sizes / sizeof sizes[0];
    uint8_t* pixels[count] = {};
    bool made = true;
    for (int i = 0; i < count; i++) made = (pixels[i] = iconPixels(sizes[i])) != NULL && made;
    int saved = made ? icoSave(path, count, sizes, (const uint8_t* const*)pixels) : 0;
    for (int i = 0; i < count; i++) free(pixels[i]);
    return saved;
}
