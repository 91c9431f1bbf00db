// Uncompressed TGA images. In: file names, pixel blocks, the OpenGL frame
// buffer. Out: TgaImage records (pixels as R, G, B[, A] in file row order),
// greyscale and colour-keyed conversions, TGA files and numbered screenshots.
#include "image.h"

#include <GL/gl.h>

#include <cstdlib>
#include <cstring>

static const int HEADER_SIZE = 18;
static const int SERIES_NAME_SIZE = 4096;

// Colour key of the sprite pictures: magenta turns transparent black.
static const uint8_t KEY_RED = 255;
static const uint8_t KEY_GREEN = 0;
static const uint8_t KEY_BLUE = 255;

// Number of the next screenshot file; counts successful saves only.
static int savedImages = 0;

// Bytes of a width x height x depth block; 0 for a non-positive size. Formed
// in 64 bits: 32767 x 32767 x 4 does not fit an int.
static size_t pixelBytes(int width, int height, int depth) {
    if (width <= 0 || height <= 0) return 0;
    return (size_t)width * (size_t)height * (size_t)(depth / 8);
}

static bool isLayableDepth(int depth) {
    return depth == 8 || depth == 16 || depth == 24 || depth == 32;
}

// Blue, green, red <-> red, green, blue: exchanges bytes 0 and 2 of each pixel.
static void swapRedBlue(uint8_t* data, size_t bytes, int pixelSize) {
    for (size_t p = 0; p + 2 < bytes; p += (size_t)pixelSize) {
        uint8_t first = data[p];
        data[p] = data[p + 2];
        data[p + 2] = first;
    }
}

static uint16_t readLittle16(const uint8_t* bytes) {
    return (uint16_t)(bytes[0] | (bytes[1] << 8));
}

static void writeLittle16(uint8_t* bytes, int value) {
    bytes[0] = (uint8_t)(value & 0xFF);
    bytes[1] = (uint8_t)((value >> 8) & 0xFF);
}

// Bytes between the stream position and the end of the file, or -1 where
// the stream cannot seek.
static long remainingBytes(FILE* file) {
    long here = ftell(file);
    if (here < 0 || fseek(file, 0, SEEK_END) != 0) return -1;
    long end = ftell(file);
    if (fseek(file, here, SEEK_SET) != 0 || end < here) return -1;
    return end - here;
}

// Sets the status of a header that cannot be loaded; leaves it otherwise.
static void checkHeader(TgaImage* info) {
    if (info->type == 1) {
        info->status = TGA_COLOUR_MAPPED;
    } else if (info->type != 2 && info->type != 3) {
        info->status = TGA_UNSUPPORTED_TYPE;
    } else if (info->width <= 0 || info->height <= 0 || !isLayableDepth(info->depth)) {
        info->status = TGA_UNSUPPORTED_TYPE;
    }
}

TgaImage* tgaLoad(const char* filename) {
    TgaImage* info = (TgaImage*)calloc(1, sizeof(TgaImage));
    if (!info) return NULL;

    FILE* file = fopen(filename, "rb");
    if (!file) {
        info->status = TGA_OPEN_FAILED;
        return info;
    }

    tgaLoadHeader(file, info);
    if (ferror(file)) info->status = TGA_READ_FAILED;
    if (info->status == 0) checkHeader(info);
    if (info->status != 0) {
        fclose(file);
        return info;
    }

    // A hostile header may promise gigabytes; a file too short to hold them
    // after its ID field is refused before anything is allocated.
    size_t bytes = pixelBytes(info->width, info->height, info->depth);
    long remaining = remainingBytes(file);
    if (remaining >= 0 && (unsigned long)remaining < bytes) {
        info->status = TGA_READ_FAILED;
        fclose(file);
        return info;
    }

    info->data = (uint8_t*)calloc(bytes, 1);
    if (!info->data) {
        info->status = TGA_NO_MEMORY;
        fclose(file);
        return info;
    }

    tgaLoadImageData(file, info);
    if (ferror(file)) info->status = TGA_READ_FAILED;
    if (info->status == 0) info->status = TGA_LOADED;
    fclose(file);
    return info;
}

// Reads type, width, height and depth, and passes over the image-ID field
// (its length is byte 0) so that the stream stands at the first pixel. A
// header or ID field cut short sets status -4.
void tgaLoadHeader(FILE* file, TgaImage* info) {
    uint8_t header[HEADER_SIZE];
    if (fread(header, 1, HEADER_SIZE, file) != (size_t)HEADER_SIZE) {
        info->status = TGA_READ_FAILED;
        return;
    }
    info->type = header[2];
    info->width = (int16_t)readLittle16(header + 12);
    info->height = (int16_t)readLittle16(header + 14);
    info->depth = header[16];

    uint8_t id[UINT8_MAX];
    size_t idLength = header[0];
    if (fread(id, 1, idLength, file) != idLength) info->status = TGA_READ_FAILED;
}

// Fills the allocated block; pixels shorter than promised set status -4 and
// stay as allocated (zeroed).
void tgaLoadImageData(FILE* file, TgaImage* info) {
    size_t bytes = pixelBytes(info->width, info->height, info->depth);
    if (!info->data || fread(info->data, 1, bytes, file) != bytes) {
        info->status = TGA_READ_FAILED;
        return;
    }
    int pixelSize = info->depth / 8;
    if (pixelSize >= 3) swapRedBlue(info->data, bytes, pixelSize);
}

// grey = 0.3 R + 0.59 G + 0.11 B in double, truncated. Needs three or more
// bytes a pixel; 8-bit and 16-bit images are left alone.
void tgaRGBtoGreyscale(TgaImage* info) {
    if (!info || !info->data || info->depth / 8 < 3) return;
    size_t pixels = pixelBytes(info->width, info->height, 8);
    if (pixels == 0) return;
    uint8_t* grey = (uint8_t*)malloc(pixels);
    if (!grey) return;

    int pixelSize = info->depth / 8;
    const uint8_t* source = info->data;
    for (size_t p = 0; p < pixels; p++, source += pixelSize) {
        double sum = 0.3 * source[0] + 0.59 * source[1] + 0.11 * source[2];
        grey[p] = (uint8_t)(int)sum;
    }
    free(info->data);
    info->data = grey;
    info->depth = 8;
    info->type = 3;
}

// 24-bit RGB to 32-bit RGBA with the key colour as (0, 0, 0, 0); any other
// depth is left alone.
void tgaRGBTransparency(TgaImage* info) {
    if (!info || !info->data || info->depth != 24) return;
    size_t pixels = pixelBytes(info->width, info->height, 8);
    if (pixels == 0) return;
    uint8_t* rgba = (uint8_t*)malloc(pixels * 4);
    if (!rgba) return;

    const uint8_t* source = info->data;
    uint8_t* target = rgba;
    for (size_t p = 0; p < pixels; p++, source += 3, target += 4) {
        bool key = source[0] == KEY_RED && source[1] == KEY_GREEN && source[2] == KEY_BLUE;
        target[0] = key ? 0 : source[0];
        target[1] = key ? 0 : source[1];
        target[2] = key ? 0 : source[2];
        target[3] = key ? 0 : 255;
    }
    free(info->data);
    info->data = rgba;
    info->depth = 32;
    info->type = 3;
}

// Writes a bottom-left-origin TGA. The block is turned to blue, green, red
// in place and freed once written; on -5 the caller keeps it untouched.
int tgaSave(const char* filename, short width, short height, unsigned char depth, unsigned char* imageData) {
    FILE* file = fopen(filename, "wb");
    if (!file) return TGA_OPEN_FAILED;

    uint8_t header[HEADER_SIZE];
    memset(header, 0, sizeof header);
    header[2] = (depth == 24 || depth == 32) ? 2 : 3;
    writeLittle16(header + 12, width);
    writeLittle16(header + 14, height);
    header[16] = depth;
    fwrite(header, 1, HEADER_SIZE, file);

    size_t bytes = imageData ? pixelBytes(width, height, depth) : 0;
    int pixelSize = depth / 8;
    if (pixelSize >= 3) swapRedBlue(imageData, bytes, pixelSize);
    if (bytes > 0) fwrite(imageData, 1, bytes, file);
    fclose(file);
    free(imageData);
    return TGA_LOADED;
}

// Saves as "<prefix><n>.tga"; n moves on only when the save succeeded.
int tgaSaveSeries(const char* prefix, short width, short height, unsigned char depth, unsigned char* imageData) {
    char name[SERIES_NAME_SIZE];
    int length = snprintf(name, sizeof name, "%s%d.tga", prefix, savedImages);
    if (length < 0 || length >= (int)sizeof name) return TGA_OPEN_FAILED;
    int result = tgaSave(name, width, height, depth, imageData);
    if (result == TGA_LOADED) savedImages++;
    return result;
}

// Saves the frame-buffer rectangle with lower-left corner (x0, y0) as a
// 32-bit screenshot. An empty rectangle or one too wide for the header gives
// -1, a failed allocation -2.
int tgaGrabScreenSeries(const char* prefix, int x0, int y0, int x1, int y1) {
    int w = x1 - x0;
    int h = y1 - y0;
    if (w <= 0 || h <= 0 || w > INT16_MAX || h > INT16_MAX) return TGA_UNSUPPORTED_TYPE;
    unsigned char* pixels = (unsigned char*)malloc(pixelBytes(w, h, 32));
    if (!pixels) return TGA_NO_MEMORY;

    glReadPixels(x0, y0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    int result = tgaSaveSeries(prefix, (short)w, (short)h, 32, pixels);
    if (result != TGA_LOADED) free(pixels);
    return result;
}

void tgaDestroy(TgaImage* info) {
    if (!info) return;
    free(info->data);
    free(info);
}
