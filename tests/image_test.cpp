// TGA images: round trips, load statuses for bad and hostile files, the two
// conversions, numbered saves and a real frame-buffer grab.
#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "gl_context.h"
#include "image.h"
#include "scratch_dir.h"

namespace {

unsigned char* copyBlock(const std::vector<unsigned char>& bytes) {
    unsigned char* block = (unsigned char*)malloc(bytes.size());
    memcpy(block, bytes.data(), bytes.size());
    return block;
}

// Loads a file and keeps the record for inspection.
struct Loaded {
    explicit Loaded(const std::string& path) : image(tgaLoad(path.c_str())) {}
    ~Loaded() { tgaDestroy(image); }
    TgaImage* image;
};

int loadStatus(const std::string& path) {
    Loaded loaded(path);
    return loaded.image ? loaded.image->status : 0;
}

bool fileExists(const std::string& path) {
    FILE* file = fopen(path.c_str(), "rb");
    if (file) fclose(file);
    return file != nullptr;
}

// The number n for which prefix + n + ".tga" exists, or -1.
int seriesNumber(const std::string& prefix) {
    for (int n = 0; n < 1000; n++)
        if (fileExists(prefix + std::to_string(n) + ".tga")) return n;
    return -1;
}

TEST(TgaRoundTrip, ColourPixelsComeBackAsRedGreenBlue) {
    ScratchDir dir;
    const std::vector<unsigned char> rgb = {10, 20, 30, 40, 50, 60, 70, 80, 90, 255, 0, 1, 2, 3, 4, 250, 251, 252};
    ASSERT_EQ(1, tgaSave("rgb.tga", 3, 2, 24, copyBlock(rgb)));

    std::string file = readFile("rgb.tga");
    ASSERT_EQ(18u + rgb.size(), file.size());
    EXPECT_EQ(tgaHeader(2, 3, 2, 24), file.substr(0, 18));
    EXPECT_EQ(30, (unsigned char)file[18]) << "blue first on disk";
    EXPECT_EQ(10, (unsigned char)file[20]);

    Loaded loaded("rgb.tga");
    ASSERT_NE(nullptr, loaded.image);
    ASSERT_EQ(TGA_LOADED, loaded.image->status);
    EXPECT_EQ(2, loaded.image->type);
    EXPECT_EQ(24, loaded.image->depth);
    EXPECT_EQ(3, loaded.image->width);
    EXPECT_EQ(2, loaded.image->height);
    EXPECT_EQ(0, memcmp(rgb.data(), loaded.image->data, rgb.size()));
}

TEST(TgaRoundTrip, AlphaStaysFourth) {
    ScratchDir dir;
    const std::vector<unsigned char> rgba = {1, 2, 3, 4, 200, 150, 100, 50};
    ASSERT_EQ(1, tgaSave("rgba.tga", 2, 1, 32, copyBlock(rgba)));
    EXPECT_EQ(tgaHeader(2, 2, 1, 32), readFile("rgba.tga").substr(0, 18));
    Loaded loaded("rgba.tga");
    ASSERT_EQ(TGA_LOADED, loaded.image->status);
    EXPECT_EQ(0, memcmp(rgba.data(), loaded.image->data, rgba.size()));
}

TEST(TgaRoundTrip, GreyscaleIsByteForByteWithLittleEndianSize) {
    ScratchDir dir;
    std::vector<unsigned char> grey(300 * 2);
    for (size_t i = 0; i < grey.size(); i++) grey[i] = (unsigned char)(i * 7);
    ASSERT_EQ(1, tgaSave("grey.tga", 300, 2, 8, copyBlock(grey)));
    EXPECT_EQ(tgaHeader(3, 300, 2, 8), readFile("grey.tga").substr(0, 18));

    Loaded loaded("grey.tga");
    ASSERT_EQ(TGA_LOADED, loaded.image->status);
    EXPECT_EQ(3, loaded.image->type);
    EXPECT_EQ(300, loaded.image->width);
    EXPECT_EQ(0, memcmp(grey.data(), loaded.image->data, grey.size()));
}

TEST(TgaLoadFormats, SixteenBitPixelsAreLeftAsRead) {
    ScratchDir dir;
    writeFile("16.tga", tgaHeader(2, 2, 1, 16) + std::string("\x01\x02\x03\x04", 4));
    Loaded loaded("16.tga");
    ASSERT_EQ(TGA_LOADED, loaded.image->status);
    EXPECT_EQ(0, memcmp("\x01\x02\x03\x04", loaded.image->data, 4));
}

TEST(TgaLoadFormats, TypeThreeOfDepth24IsReorderedLikeColour) {
    ScratchDir dir;
    writeFile("t3.tga", tgaHeader(3, 1, 1, 24) + std::string("\x01\x02\x03", 3));
    Loaded loaded("t3.tga");
    ASSERT_EQ(TGA_LOADED, loaded.image->status);
    EXPECT_EQ(3, loaded.image->data[0]);
    EXPECT_EQ(1, loaded.image->data[2]);
}

TEST(TgaLoadFormats, ImageIdFieldIsPassedOverAndCountedInTheLength) {
    ScratchDir dir;
    // Byte 0 gives the length of an ID field between header and pixels.
    std::string header = tgaHeader(2, 1, 1, 24);
    header[0] = 3;
    writeFile("id.tga", header + "ID!" + std::string("\x01\x02\x03", 3));
    Loaded loaded("id.tga");
    ASSERT_EQ(TGA_LOADED, loaded.image->status);
    EXPECT_EQ(0, memcmp("\x03\x02\x01", loaded.image->data, 3)) << "the pixel's own colour, not the ID's bytes";

    // 255 bytes of ID and one 2 x 2 greyscale picture, one byte short.
    std::string grey = tgaHeader(3, 2, 2, 8);
    grey[0] = (char)255;
    writeFile("long-id.tga", grey + std::string(255, 'x') + std::string("\x05\x06\x07\x08", 4));
    Loaded full("long-id.tga");
    ASSERT_EQ(TGA_LOADED, full.image->status);
    EXPECT_EQ(0, memcmp("\x05\x06\x07\x08", full.image->data, 4));
    writeFile("short.tga", grey + std::string(255, 'x') + std::string("\x05\x06\x07", 3));
    EXPECT_EQ(TGA_READ_FAILED, loadStatus("short.tga"));
    writeFile("cut-id.tga", grey + std::string(100, 'x'));
    EXPECT_EQ(TGA_READ_FAILED, loadStatus("cut-id.tga"));
}

TEST(TgaLoadStatus, MissingAndUnsupportedFiles) {
    ScratchDir dir;
    EXPECT_EQ(TGA_OPEN_FAILED, loadStatus("nowhere.tga"));

    const std::string pixels(12, '\x7f');
    writeFile("mapped.tga", tgaHeader(1, 2, 2, 24) + pixels);
    EXPECT_EQ(TGA_COLOUR_MAPPED, loadStatus("mapped.tga"));
    for (int type : {0, 9, 10, 11, 4, 255}) {
        writeFile("other.tga", tgaHeader(type, 2, 2, 24) + pixels);
        EXPECT_EQ(TGA_UNSUPPORTED_TYPE, loadStatus("other.tga")) << "type " << type;
    }
}

TEST(TgaLoadStatus, TruncatedHeaderAndPixelsFailToRead) {
    ScratchDir dir;
    writeFile("short-header.tga", tgaHeader(2, 4, 4, 24).substr(0, 11));
    EXPECT_EQ(TGA_READ_FAILED, loadStatus("short-header.tga"));
    writeFile("empty.tga", "");
    EXPECT_EQ(TGA_READ_FAILED, loadStatus("empty.tga"));

    // 4 x 4 x 3 = 48 bytes promised, 47 present.
    writeFile("short-pixels.tga", tgaHeader(2, 4, 4, 24) + std::string(47, '\x10'));
    Loaded loaded("short-pixels.tga");
    EXPECT_EQ(TGA_READ_FAILED, loaded.image->status);
    EXPECT_EQ(nullptr, loaded.image->data);

    // Trailing bytes beyond the pixels are harmless.
    writeFile("long.tga", tgaHeader(2, 4, 4, 24) + std::string(60, '\x10'));
    EXPECT_EQ(TGA_LOADED, loadStatus("long.tga"));
}

TEST(TgaLoadStatus, SizesAndDepthsThatCannotBeLaidOutAreRefused) {
    ScratchDir dir;
    const std::string pixels(64, '\x20');
    struct Case {
        int width, height, depth;
    };
    for (Case c : {Case{0, 4, 24}, Case{4, 0, 24}, Case{-4, 4, 24}, Case{4, -1, 8}, Case{2, 2, 7},
                   Case{2, 2, 12}, Case{2, 2, 0}, Case{2, 2, 40}, Case{2, 2, 255}}) {
        writeFile("bad.tga", tgaHeader(2, c.width, c.height, c.depth) + pixels);
        Loaded loaded("bad.tga");
        EXPECT_EQ(TGA_UNSUPPORTED_TYPE, loaded.image->status)
            << c.width << " x " << c.height << " x " << c.depth;
        EXPECT_EQ(nullptr, loaded.image->data);
    }
}

TEST(TgaLoadStatus, HugeHeaderOnTinyFileAllocatesNothing) {
    ScratchDir dir;
    // 32767 x 32767 x 4 bytes is about 4 GiB, past 32-bit arithmetic.
    writeFile("huge.tga", tgaHeader(2, 32767, 32767, 32) + std::string(100, '\0'));
    Loaded loaded("huge.tga");
    EXPECT_EQ(TGA_READ_FAILED, loaded.image->status);
    EXPECT_EQ(nullptr, loaded.image->data);
    EXPECT_EQ(32767, loaded.image->width);
}

TgaImage* imageOf(int type, int width, int height, int depth, const std::vector<unsigned char>& bytes) {
    TgaImage* image = (TgaImage*)calloc(1, sizeof(TgaImage));
    image->status = TGA_LOADED;
    image->type = (uint8_t)type;
    image->width = (int16_t)width;
    image->height = (int16_t)height;
    image->depth = (uint8_t)depth;
    image->data = copyBlock(bytes);
    return image;
}

TEST(TgaGreyscale, PureGreyGivesLevelOrOneBelow) {
    std::vector<unsigned char> rgb;
    for (int v = 0; v < 256; v++) rgb.insert(rgb.end(), {(unsigned char)v, (unsigned char)v, (unsigned char)v});
    TgaImage* image = imageOf(2, 256, 1, 24, rgb);
    tgaRGBtoGreyscale(image);
    EXPECT_EQ(8, image->depth);
    EXPECT_EQ(3, image->type);
    for (int v = 0; v < 256; v++) {
        int grey = image->data[v];
        EXPECT_TRUE(grey == v || grey == v - 1) << "level " << v << " gave " << grey;
    }
    EXPECT_EQ(0, image->data[0]);
    tgaDestroy(image);
}

TEST(TgaGreyscale, WeightsTruncateAndStepByPixelSize) {
    // 0.3 * 255 = 76.5, 0.59 * 255 = 150.45, 0.11 * 255 = 28.05.
    TgaImage* image = imageOf(2, 3, 1, 32, {255, 0, 0, 9, 0, 255, 0, 9, 0, 0, 255, 9});
    tgaRGBtoGreyscale(image);
    EXPECT_EQ(76, image->data[0]);
    EXPECT_EQ(150, image->data[1]);
    EXPECT_EQ(28, image->data[2]);
    tgaDestroy(image);
}

TEST(TgaGreyscale, EightAndSixteenBitImagesAreLeftAlone) {
    TgaImage* grey = imageOf(3, 2, 1, 8, {7, 9});
    uint8_t* before = grey->data;
    tgaRGBtoGreyscale(grey);
    EXPECT_EQ(before, grey->data);
    EXPECT_EQ(9, grey->data[1]);
    tgaDestroy(grey);

    TgaImage* packed = imageOf(2, 2, 1, 16, {1, 2, 3, 4});
    before = packed->data;
    tgaRGBtoGreyscale(packed);
    EXPECT_EQ(before, packed->data);
    EXPECT_EQ(16, packed->depth);
    EXPECT_EQ(2, packed->type);
    tgaDestroy(packed);
}

TEST(TgaTransparency, MagentaBecomesTransparentBlack) {
    TgaImage* image = imageOf(2, 3, 1, 24, {255, 0, 255, 255, 0, 254, 12, 34, 56});
    tgaRGBTransparency(image);
    EXPECT_EQ(32, image->depth);
    EXPECT_EQ(3, image->type);
    const unsigned char expected[12] = {0, 0, 0, 0, 255, 0, 254, 255, 12, 34, 56, 255};
    EXPECT_EQ(0, memcmp(expected, image->data, 12));
    tgaDestroy(image);
}

TEST(TgaTransparency, OnlyTwentyFourBitImagesAreConverted) {
    for (int depth : {8, 16, 32}) {
        std::vector<unsigned char> bytes(2 * depth / 8, 0xFF);
        TgaImage* image = imageOf(2, 2, 1, depth, bytes);
        uint8_t* before = image->data;
        tgaRGBTransparency(image);
        EXPECT_EQ(before, image->data) << "depth " << depth;
        EXPECT_EQ(depth, image->depth);
        tgaDestroy(image);
    }
}

TEST(TgaSave, UncreatableFileReturnsOpenFailedAndKeepsTheBlock) {
    ScratchDir dir;
    const std::vector<unsigned char> rgb = {1, 2, 3};
    unsigned char* block = copyBlock(rgb);
    EXPECT_EQ(TGA_OPEN_FAILED, tgaSave("no-such-folder/x.tga", 1, 1, 24, block));
    // Still ours: unchanged and freed here (ASan catches a double free).
    EXPECT_EQ(0, memcmp(rgb.data(), block, 3));
    free(block);
}

TEST(TgaSave, SeriesNumbersOnlySuccessfulSaves) {
    ScratchDir dir;
    const std::vector<unsigned char> pixel = {1, 2, 3, 4};
    ASSERT_EQ(1, tgaSaveSeries("shot", 1, 1, 32, copyBlock(pixel)));
    int first = seriesNumber("shot");
    ASSERT_GE(first, 0);
    EXPECT_EQ(TGA_LOADED, loadStatus("shot" + std::to_string(first) + ".tga"));

    unsigned char* block = copyBlock(pixel);
    EXPECT_EQ(TGA_OPEN_FAILED, tgaSaveSeries("no-such-folder/shot", 1, 1, 32, block));
    free(block);

    ASSERT_EQ(1, tgaSaveSeries("next", 1, 1, 32, copyBlock(pixel)));
    EXPECT_EQ(first + 1, seriesNumber("next"));
    ASSERT_EQ(1, tgaSaveSeries("next", 1, 1, 32, copyBlock(pixel)));
    EXPECT_TRUE(fileExists("next" + std::to_string(first + 2) + ".tga"));
}

TEST(TgaDestroy, NullAndRecordWithoutPixelsDoNotCrash) {
    tgaDestroy(nullptr);
    tgaDestroy((TgaImage*)calloc(1, sizeof(TgaImage)));
}

TEST(TgaGrabScreen, SavesTheFrameBufferBottomRowFirst) {
    ScratchDir dir;
    ASSERT_TRUE(openGlContext()) << "needs a display (xvfb-run): " << SDL_GetError();
    glDisable(GL_SCISSOR_TEST);
    glClearColor(51 / 255.0f, 102 / 255.0f, 204 / 255.0f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 320, 5);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glFinish();

    // Frame-buffer rows 3 and 4, the grab's first two, lie in the red strip.
    ASSERT_EQ(1, tgaGrabScreenSeries("grab", 2, 3, 18, 11));
    int number = seriesNumber("grab");
    ASSERT_GE(number, 0);
    Loaded loaded("grab" + std::to_string(number) + ".tga");
    ASSERT_EQ(TGA_LOADED, loaded.image->status);
    EXPECT_EQ(16, loaded.image->width);
    EXPECT_EQ(8, loaded.image->height);
    EXPECT_EQ(32, loaded.image->depth);
    EXPECT_EQ(2, loaded.image->type);
    for (int row = 0; row < 8; row++)
        for (int col = 0; col < 16; col++) {
            const uint8_t* p = loaded.image->data + 4 * (16 * row + col);
            bool red = row < 2;
            EXPECT_NEAR(red ? 255 : 51, p[0], 1) << "row " << row << " col " << col;
            EXPECT_NEAR(red ? 0 : 102, p[1], 1);
            EXPECT_NEAR(red ? 0 : 204, p[2], 1);
        }
}

TEST(TgaGrabScreen, EmptyRectangleIsRefused) {
    ScratchDir dir;
    EXPECT_NE(1, tgaGrabScreenSeries("none", 10, 10, 10, 20));
    EXPECT_NE(1, tgaGrabScreenSeries("none", 10, 10, 5, 20));
    EXPECT_EQ(-1, seriesNumber("none"));
}

}  // namespace
