// ICO writer for the Windows games' icon: a directory, then each entry as a
// 32-bit bottom-up bitmap with its AND mask, or as a PNG at 256 px, which
// keeps the largest entry small and is what Windows itself stores there.
#include "ico.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "png.h"

static const int PNG_FROM = 256;
static const size_t DIRECTORY_HEADER = 6;
static const size_t DIRECTORY_ENTRY = 16;
static const size_t BITMAP_HEADER = 40;

// ---- byte helpers ------------------------------------------------------

static void putLittle16(uint8_t* p, uint32_t v) {
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
}

static void putLittle32(uint8_t* p, uint32_t v) {
    putLittle16(p, v);
    putLittle16(p + 2, v >> 16);
}

// ---- entries -----------------------------------------------------------

// BGRA rows bottom first, then the AND mask (all clear: alpha decides),
// rows padded to 32 bits; the header's height counts both.
static uint8_t* bitmapEntry(int size, const uint8_t* rgb, size_t* length) {
    size_t maskRow = ((size_t)size + 31) / 32 * 4;
    *length = BITMAP_HEADER + (size_t)size * size * 4 + maskRow * size;
    uint8_t* entry = (uint8_t*)calloc(*length, 1);
    if (!entry) return NULL;
    putLittle32(entry, BITMAP_HEADER);
    putLittle32(entry + 4, (uint32_t)size);
    putLittle32(entry + 8, (uint32_t)size * 2);
    putLittle16(entry + 12, 1);   // planes
    putLittle16(entry + 14, 32);  // bits per pixel
    putLittle32(entry + 20, (uint32_t)(*length - BITMAP_HEADER));
    uint8_t* out = entry + BITMAP_HEADER;
    for (int y = size - 1; y >= 0; y--)
        for (int x = 0; x < size; x++, out += 4) {
            const uint8_t* p = rgb + ((size_t)y * size + x) * 3;
            out[0] = p[2];
            out[1] = p[1];
            out[2] = p[0];
            out[3] = 255;
        }
    return entry;
}

static uint8_t* encodeEntry(int size, const uint8_t* rgb, size_t* length) {
    if (size <= 0 || size > PNG_FROM || !rgb) return NULL;
    return size == PNG_FROM ? pngEncode(size, size, rgb, length) : bitmapEntry(size, rgb, length);
}

// Width and height 0 stand for 256.
static bool writeIco(FILE* file, int count, const int* sizes, uint8_t* const* entries, const size_t* lengths) {
    uint8_t header[DIRECTORY_HEADER] = {0, 0, 1, 0};  // reserved, type 1: icon
    putLittle16(header + 4, (uint32_t)count);
    bool written = fwrite(header, 1, sizeof header, file) == sizeof header;
    uint32_t offset = (uint32_t)(DIRECTORY_HEADER + DIRECTORY_ENTRY * count);
    for (int i = 0; i < count && written; i++) {
        uint8_t entry[DIRECTORY_ENTRY] = {};
        entry[0] = entry[1] = (uint8_t)(sizes[i] % 256);
        putLittle16(entry + 4, 1);
        putLittle16(entry + 6, 32);
        putLittle32(entry + 8, (uint32_t)lengths[i]);
        putLittle32(entry + 12, offset);
        offset += (uint32_t)lengths[i];
        written = fwrite(entry, 1, sizeof entry, file) == sizeof entry;
    }
    for (int i = 0; i < count && written; i++) written = fwrite(entries[i], 1, lengths[i], file) == lengths[i];
    return written;
}

// ---- operations --------------------------------------------------------

int icoSave(const char* filename, int count, const int* sizes, const uint8_t* const* pixels) {
    const int countMax = 16;
    if (count <= 0 || count > countMax) return 0;
    uint8_t* entries[countMax] = {};
    size_t lengths[countMax] = {};
    bool encoded = true;
    for (int i = 0; i < count; i++) encoded = (entries[i] = encodeEntry(sizes[i], pixels[i], &lengths[i])) && encoded;
    FILE* file = encoded ? fopen(filename, "wb") : NULL;
    bool written = file && writeIco(file, count, sizes, entries, lengths);
    if (file && fclose(file) != 0) written = false;
    for (int i = 0; i < count; i++) free(entries[i]);
    return written ? 1 : 0;
}
