// The generated game images: loadable, sized and laid out as the game reads
// them, repeatable, and shaped where the game depends on them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "image.h"
#include "imagegen.h"
#include "scratch_dir.h"

namespace {

const char* const IMAGE_NAMES[] = {"Map.tga", "MapTex.tga", "TexNoise.tga", "TexSkyBox.tga",
                                   "TexCube.tga", "TexPerson.tga", "TexPersonBack.tga", "TexTank.tga"};

const int MAP_SIZE = 512;

struct Loaded {
    explicit Loaded(const std::string& path) : image(tgaLoad(path.c_str())) {}
    ~Loaded() { tgaDestroy(image); }
    TgaImage* image;
};

bool isPowerOfTwo(int v) {
    return v > 0 && (v & (v - 1)) == 0;
}

int expectedDepth(const std::string& name) {
    if (name == "Map.tga") return 8;
    if (name == "MapTex.tga") return 32;
    return 24;
}

class GeneratedImages : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new ScratchDir();
        dir->writeGameImages();
    }
    static void TearDownTestSuite() {
        delete dir;
        dir = nullptr;
    }
    static ScratchDir* dir;
};

ScratchDir* GeneratedImages::dir = nullptr;

TEST_F(GeneratedImages, AllEightLoadWithPowerOfTwoSidesAndStatedDepths) {
    for (const char* name : IMAGE_NAMES) {
        Loaded loaded(dir->file(name));
        ASSERT_NE(nullptr, loaded.image) << name;
        ASSERT_EQ(TGA_LOADED, loaded.image->status) << name;
        EXPECT_TRUE(isPowerOfTwo(loaded.image->width)) << name;
        EXPECT_TRUE(isPowerOfTwo(loaded.image->height)) << name;
        EXPECT_EQ(expectedDepth(name), loaded.image->depth) << name;
    }
}

TEST_F(GeneratedImages, HeightAndColourMapsMatch) {
    Loaded map(dir->file("Map.tga"));
    Loaded colours(dir->file("MapTex.tga"));
    ASSERT_EQ(TGA_LOADED, map.image->status);
    ASSERT_EQ(TGA_LOADED, colours.image->status);
    EXPECT_EQ(MAP_SIZE, map.image->width);
    EXPECT_EQ(MAP_SIZE, map.image->height);
    EXPECT_EQ(map.image->width, colours.image->width);
    EXPECT_EQ(map.image->height, colours.image->height);
    for (int p = 0; p < MAP_SIZE * MAP_SIZE; p++) ASSERT_EQ(255, colours.image->data[4 * p + 3]) << "pixel " << p;
}

class HeightMap : public GeneratedImages {
protected:
    void SetUp() override {
        loaded = tgaLoad(dir->file("Map.tga").c_str());
        ASSERT_EQ(TGA_LOADED, loaded->status);
    }
    void TearDown() override { tgaDestroy(loaded); }
    // Grid point (i, j), i along x: pixel MAP_SIZE * i + j.
    int at(int i, int j) const { return loaded->data[MAP_SIZE * i + j]; }
    // Largest step between neighbouring points in the square [i0, i1) x [j0, j1).
    int steepestStep(int i0, int i1, int j0, int j1) const {
        int steepest = 0;
        for (int i = i0; i < i1; i++)
            for (int j = j0; j < j1; j++) {
                if (i + 1 < i1) steepest = std::max(steepest, std::abs(at(i + 1, j) - at(i, j)));
                if (j + 1 < j1) steepest = std::max(steepest, std::abs(at(i, j + 1) - at(i, j)));
            }
        return steepest;
    }
    TgaImage* loaded = nullptr;
};

TEST_F(HeightMap, CubeStartsOnGentleGround) {
    // World (0, -4000) is grid point (256, 96).
    EXPECT_LE(steepestStep(256 - 8, 256 + 9, 96 - 8, 96 + 9), 1);
}

TEST_F(HeightMap, SlopesStayModerateAndTheBorderLow) {
    // A grey level is 600/256 world units over a 25-unit step.
    EXPECT_LE(steepestStep(0, MAP_SIZE, 0, MAP_SIZE), 12);
    int borderHighest = 0;
    for (int i = 0; i < MAP_SIZE; i++)
        for (int j = 0; j < MAP_SIZE; j++) {
            int edge = std::min(std::min(i, j), std::min(MAP_SIZE - 1 - i, MAP_SIZE - 1 - j));
            if (edge < 48) borderHighest = std::max(borderHighest, at(i, j));
        }
    EXPECT_LE(borderHighest, 70);
    EXPECT_LE(steepestStep(0, 48, 0, MAP_SIZE), 2);

    int highest = 0;
    for (int p = 0; p < MAP_SIZE * MAP_SIZE; p++) highest = std::max(highest, (int)loaded->data[p]);
    EXPECT_GE(highest, 150) << "the inland should hold real hills";
}

TEST_F(GeneratedImages, PersonPicturesCarryTheKeyColour) {
    for (const char* name : {"TexPerson.tga", "TexPersonBack.tga"}) {
        Loaded loaded(dir->file(name));
        ASSERT_EQ(TGA_LOADED, loaded.image->status) << name;
        tgaRGBTransparency(loaded.image);
        ASSERT_EQ(32, loaded.image->depth);
        int clear = 0, solid = 0;
        int pixels = loaded.image->width * loaded.image->height;
        for (int p = 0; p < pixels; p++) (loaded.image->data[4 * p + 3] == 0 ? clear : solid)++;
        EXPECT_GT(clear, pixels / 3) << name;
        EXPECT_GT(solid, pixels / 10) << name;
    }
}

TEST_F(GeneratedImages, SkyBelowTheHorizonIsTheFogColourAndAboveItBlue) {
    Loaded sky(dir->file("TexSkyBox.tga"));
    ASSERT_EQ(TGA_LOADED, sky.image->status);
    int width = sky.image->width, height = sky.image->height;
    // Land cut off by the far plane fades into the fog colour; the eye sits
    // at 0.425 of a side's height.
    for (int row = 0; row < height * 42 / 100; row++)
        for (int col = 0; col < width; col++) {
            const uint8_t* p = sky.image->data + 3 * (width * row + col);
            ASSERT_TRUE(p[0] == 39 && p[1] == 168 && p[2] == 221) << row << ", " << col;
        }
    const uint8_t* top = sky.image->data + 3 * width * (height - 1);
    EXPECT_GT(top[2], top[0]) << "clear sky is blue";
    EXPECT_LT(top[1], 168) << "deeper toward the top";
}

TEST_F(GeneratedImages, DetailNoiseKeepsColoursBright) {
    Loaded noise(dir->file("TexNoise.tga"));
    ASSERT_EQ(TGA_LOADED, noise.image->status);
    int bytes = noise.image->width * noise.image->height * 3;
    long sum = 0;
    int darkest = 255;
    for (int b = 0; b < bytes; b++) {
        sum += noise.image->data[b];
        darkest = std::min(darkest, (int)noise.image->data[b]);
    }
    EXPECT_GE(darkest, 180);
    EXPECT_GE(sum / bytes, 205);
}

TEST(ImageGenerator, TwoRunsGiveIdenticalBytes) {
    ScratchDir first;
    ScratchDir second;
    ASSERT_EQ(1, generateGameImages(first.path().c_str()));
    ASSERT_EQ(1, generateGameImages(second.path().c_str()));
    for (const char* name : IMAGE_NAMES) {
        std::string bytes = readFile(first.file(name));
        EXPECT_GT(bytes.size(), 18u) << name;
        EXPECT_TRUE(bytes == readFile(second.file(name))) << name << " differs between runs";
    }
}

uint32_t big32(const std::string& bytes, size_t at) {
    return (uint32_t)(uint8_t)bytes[at] << 24 | (uint32_t)(uint8_t)bytes[at + 1] << 16 |
           (uint32_t)(uint8_t)bytes[at + 2] << 8 | (uint8_t)bytes[at + 3];
}

uint32_t crc32Of(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (char c : bytes) {
        crc ^= (uint8_t)c;
        for (int bit = 0; bit < 8; bit++) crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return crc ^ 0xFFFFFFFFu;
}

// The scan lines inside a PNG of stored deflate blocks, each chunk's CRC and
// the zlib Adler-32 checked on the way; empty on any fault.
std::string storedPngScanLines(const std::string& png, uint32_t* width, uint32_t* height) {
    if (png.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return "";
    std::string stream;
    for (size_t at = 8; at + 12 <= png.size();) {
        uint32_t length = big32(png, at);
        std::string typed = png.substr(at + 4, 4 + length);
        if (crc32Of(typed) != big32(png, at + 8 + length)) return "";
        if (typed.compare(0, 4, "IHDR") == 0) {
            *width = big32(typed, 4);
            *height = big32(typed, 8);
            if (typed.substr(12, 5) != std::string("\x08\x02\0\0\0", 5)) return "";  // 8-bit RGB, plain
        }
        if (typed.compare(0, 4, "IDAT") == 0) stream += typed.substr(4);
        at += 12 + length;
    }
    std::string lines;
    size_t at = 2;
    for (bool last = false; !last && at + 5 <= stream.size();) {
        last = stream[at] & 1;
        size_t length = (uint8_t)stream[at + 1] | (uint8_t)stream[at + 2] << 8;
        lines += stream.substr(at + 5, length);
        at += 5 + length;
    }
    uint32_t a = 1, b = 0;
    for (char c : lines) {
        a = (a + (uint8_t)c) % 65521;
        b = (b + a) % 65521;
    }
    if (at + 4 != stream.size() || big32(stream, at) != (b << 16 | a)) return "";
    return lines;
}

TEST(ImageGenerator, IconIsAValidPngOfTheCubeFace) {
    ScratchDir dir;
    dir.writeGameImages();
    ASSERT_EQ(1, generateGameIcon(dir.file("icon.png").c_str(), 256));
    uint32_t width = 0, height = 0;
    std::string lines = storedPngScanLines(readFile(dir.file("icon.png")), &width, &height);
    ASSERT_EQ(256u, width);
    ASSERT_EQ(256u, height);
    ASSERT_EQ((size_t)(256 * 3 + 1) * 256, lines.size());

    // At the texture's own size the icon is the face itself, top row first.
    Loaded face(dir.file("TexCube.tga"));
    ASSERT_EQ(TGA_LOADED, face.image->status);
    for (int y = 0; y < 256; y++) {
        ASSERT_EQ(0, lines[(256 * 3 + 1) * y]) << "row " << y << " filter";
        const uint8_t* texels = face.image->data + 256 * 3 * (255 - y);
        ASSERT_EQ(0, lines.compare((256 * 3 + 1) * y + 1, 256 * 3, (const char*)texels, 256 * 3)) << "row " << y;
    }

    EXPECT_EQ(1, generateGameIcon(dir.file("small.png").c_str(), 64));
    EXPECT_EQ(1, generateGameIcon(dir.file("odd.png").c_str(), 48)) << "sizes need not divide the texture";
    EXPECT_EQ(0, generateGameIcon(dir.file("big.png").c_str(), 512));
    EXPECT_EQ(0, generateGameIcon(dir.file("missing/icon.png").c_str(), 64));
}

TEST(ImageGenerator, UnwritableFolderReportsFailure) {
    ScratchDir dir;
    EXPECT_EQ(0, generateGameImages(dir.file("missing/folder").c_str()));
}

}  // namespace
