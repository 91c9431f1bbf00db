// Uncompressed TGA images: loading into a TgaImage record, greyscale and
// colour-key conversions, saving, and numbered screenshots of the frame buffer.
#ifndef CUBEGAME_IMAGE_H
#define CUBEGAME_IMAGE_H

#include <cstdint>
#include <cstdio>

// Load results kept in TgaImage::status; only TGA_LOADED is a usable image.
enum {
    TGA_LOADED = 1,
    TGA_UNSUPPORTED_TYPE = -1,
    TGA_NO_MEMORY = -2,
    TGA_COLOUR_MAPPED = -3,
    TGA_READ_FAILED = -4,
    TGA_OPEN_FAILED = -5
};

struct TgaImage {
    int32_t status;
    uint8_t type;
    uint8_t depth;
    int16_t width;
    int16_t height;
    uint8_t* data;
};

TgaImage* tgaLoad(const char* filename);
void tgaLoadHeader(FILE* file, TgaImage* info);
void tgaLoadImageData(FILE* file, TgaImage* info);
void tgaRGBtoGreyscale(TgaImage* info);
void tgaRGBTransparency(TgaImage* info);
int tgaSave(const char* filename, short width, short height, unsigned char depth, unsigned char* imageData);
int tgaSaveSeries(const char* prefix, short width, short height, unsigned char depth, unsigned char* imageData);
int tgaGrabScreenSeries(const char* prefix, int x0, int y0, int x1, int y1);
void tgaDestroy(TgaImage* info);

#endif
