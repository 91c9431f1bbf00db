// The TGA loader's fuzz entry: each input is written to a file and loaded;
// the record must agree with the file's bytes; both conversions and a save
// and reload of every result must keep it intact. A disagreement aborts.
// Built by libFuzzer (CUBEGAME_FUZZ) and by the replay test of fuzz/regressions.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "image.h"

namespace {

const size_t HEADER_SIZE = 18;

struct Scratch {
    char input[256];
    char output[256];
};

// Per-process file names, removed at exit.
const Scratch& scratch() {
    static Scratch names;
    static bool made = false;
    if (!made) {
        const char* dir = getenv("TMPDIR");
        if (!dir || !*dir) dir = "/tmp";
        snprintf(names.input, sizeof names.input, "%s/cubegame-tga-fuzz-%d-in.tga", dir, (int)getpid());
        snprintf(names.output, sizeof names.output, "%s/cubegame-tga-fuzz-%d-out.tga", dir, (int)getpid());
        atexit([] {
            remove(scratch().input);
            remove(scratch().output);
        });
        made = true;
    }
    return names;
}

void require(bool holds, const char* what) {
    if (holds) return;
    fprintf(stderr, "tga_fuzz: %s\n", what);
    abort();
}

int little16(const uint8_t* bytes) {
    return (int16_t)(uint16_t)(bytes[0] | (bytes[1] << 8));
}

bool layableDepth(int depth) {
    return depth == 8 || depth == 16 || depth == 24 || depth == 32;
}

size_t pixelBytes(int width, int height, int depth) {
    return (size_t)width * (size_t)height * (size_t)(depth / 8);
}

// The status the loader must give these bytes: the header, then the ID
// field of byte 0's length, then the pixels, each complete.
int expectedStatus(const uint8_t* data, size_t size) {
    if (size < HEADER_SIZE || size < HEADER_SIZE + data[0]) return TGA_READ_FAILED;
    int type = data[2], width = little16(data + 12), height = little16(data + 14), depth = data[16];
    if (type == 1) return TGA_COLOUR_MAPPED;
    if (type != 2 && type != 3) return TGA_UNSUPPORTED_TYPE;
    if (width <= 0 || height <= 0 || !layableDepth(depth)) return TGA_UNSUPPORTED_TYPE;
    if (size - HEADER_SIZE - data[0] < pixelBytes(width, height, depth)) return TGA_READ_FAILED;
    return TGA_LOADED;
}

// Pixels as the file holds them, turned to red, green, blue order.
bool samePixels(const TgaImage* image, const uint8_t* file) {
    size_t bytes = pixelBytes(image->width, image->height, image->depth);
    int pixelSize = image->depth / 8;
    for (size_t p = 0; p < bytes; p++) {
        size_t within = p % (size_t)pixelSize;
        size_t source = p;
        if (pixelSize >= 3 && within == 0) source = p + 2;
        if (pixelSize >= 3 && within == 2) source = p - 2;
        if (image->data[p] != file[source]) return false;
    }
    return true;
}

TgaImage* copyOf(const TgaImage* image) {
    TgaImage* copy = (TgaImage*)malloc(sizeof(TgaImage));
    require(copy, "out of memory");
    *copy = *image;
    size_t bytes = pixelBytes(image->width, image->height, image->depth);
    copy->data = (uint8_t*)malloc(bytes);
    require(copy->data, "out of memory");
    memcpy(copy->data, image->data, bytes);
    return copy;
}

void checkGreyscale(const TgaImage* before, const TgaImage* after) {
    if (before->depth < 24) {
        require(after->depth == before->depth && after->type == before->type, "greyscale changed a thin image");
        return;
    }
    require(after->depth == 8 && after->type == 3, "greyscale left depth or type");
    int pixelSize = before->depth / 8;
    for (size_t p = 0; p < pixelBytes(before->width, before->height, 8); p++) {
        const uint8_t* rgb = before->data + p * pixelSize;
        double sum = 0.3 * rgb[0] + 0.59 * rgb[1] + 0.11 * rgb[2];
        require(after->data[p] == (uint8_t)(int)sum, "greyscale level");
    }
}

// A 24-bit image becomes RGBA with the key colour clear; any other is left
// as it was, its block untouched.
void checkTransparency(const TgaImage* before, const TgaImage* after, const uint8_t* oldBlock) {
    if (before->depth != 24) {
        require(after->depth == before->depth && after->data == oldBlock, "transparency changed a non-24-bit image");
        return;
    }
    require(after->depth == 32 && after->type == 3, "transparency left depth or type");
    for (size_t p = 0; p < pixelBytes(before->width, before->height, 8); p++) {
        const uint8_t* rgb = before->data + 3 * p;
        const uint8_t* rgba = after->data + 4 * p;
        bool key = rgb[0] == 255 && rgb[1] == 0 && rgb[2] == 255;
        require(rgba[3] == (key ? 0 : 255), "transparency alpha");
        require(key || memcmp(rgb, rgba, 3) == 0, "transparency colour");
    }
}

// Saves the image (from a copy: saving frees and reorders the block) and
// loads it back: sizes, depth and pixels must survive.
void checkRoundTrip(const TgaImage* image) {
    TgaImage* copy = copyOf(image);
    require(tgaSave(scratch().output, copy->width, copy->height, copy->depth, copy->data) == TGA_LOADED,
            "save failed");
    free(copy);
    TgaImage* reloaded = tgaLoad(scratch().output);
    require(reloaded && reloaded->status == TGA_LOADED, "saved image does not load");
    require(reloaded->width == image->width && reloaded->height == image->height && reloaded->depth == image->depth,
            "saved image changed size or depth");
    require(memcmp(reloaded->data, image->data, pixelBytes(image->width, image->height, image->depth)) == 0,
            "saved image changed its pixels");
    tgaDestroy(reloaded);
}

void checkLoaded(const TgaImage* image, const uint8_t* data) {
    require(image->type == data[2], "type differs from the header");
    require(image->width == little16(data + 12) && image->height == little16(data + 14), "size differs from the header");
    require(image->depth == data[16], "depth differs from the header");
    require(image->data != nullptr, "loaded without pixels");
    require(samePixels(image, data + HEADER_SIZE + data[0]), "pixels differ from the file's");
}

void checkConversions(const TgaImage* image) {
    checkRoundTrip(image);

    TgaImage* grey = copyOf(image);
    tgaRGBtoGreyscale(grey);
    checkGreyscale(image, grey);
    checkRoundTrip(grey);
    tgaDestroy(grey);

    TgaImage* keyed = copyOf(image);
    const uint8_t* block = keyed->data;
    tgaRGBTransparency(keyed);
    checkTransparency(image, keyed, block);
    checkRoundTrip(keyed);
    tgaDestroy(keyed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* file = fopen(scratch().input, "wb");
    require(file, "cannot write the scratch file");
    require(fwrite(data, 1, size, file) == size && fclose(file) == 0, "cannot write the scratch file");

    TgaImage* image = tgaLoad(scratch().input);
    require(image != nullptr, "no record");
    require(image->status == expectedStatus(data, size), "status disagrees with the file");
    if (image->status == TGA_LOADED) {
        checkLoaded(image, data);
        checkConversions(image);
    } else {
        require(image->data == nullptr, "a failed load kept pixels");
    }
    tgaDestroy(image);
    return 0;
}
