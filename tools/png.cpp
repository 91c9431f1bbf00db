// PNG writer for the game's desktop icons: signature, IHDR, one IDAT with a
// zlib stream of stored deflate blocks, IEND. The same pixels always give
// the same bytes (no time chunk, no compression choices).
#include "png.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

// A stored deflate block holds at most this many bytes.
static const size_t STORED_BLOCK_MAX = 65535;
static const int RGB_BYTES = 3;
// Icons are small; the bound keeps every size computation far from overflow.
static const int SIDE_MAX = 4096;

// A growing byte buffer for the image data stream.
struct Bytes {
    uint8_t* data;
    size_t size;
};

// ---- checksums ---------------------------------------------------------

// CRC-32 as PNG defines it (reflected, polynomial 0xEDB88320).
static uint32_t updateCrc(uint32_t crc, const uint8_t* data, size_t size) {
    for (size_t i = 0; i < size; i++) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; bit++) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc;
}

static uint32_t adler32(const uint8_t* data, size_t size) {
    const uint32_t modulus = 65521;
    uint32_t a = 1, b = 0;
    for (size_t i = 0; i < size; i++) {
        a = (a + data[i]) % modulus;
        b = (b + a) % modulus;
    }
    return (b << 16) | a;
}

// ---- byte helpers ------------------------------------------------------

static void putBig32(uint8_t* p, uint32_t v) {
    p[0] = (uint8_t)(v >> 24);
    p[1] = (uint8_t)(v >> 16);
    p[2] = (uint8_t)(v >> 8);
    p[3] = (uint8_t)v;
}

static void append(Bytes* bytes, const void* data, size_t size) {
    memcpy(bytes->data + bytes->size, data, size);
    bytes->size += size;
}

// The raw scan lines: each row starts with filter type 0 (none).
static uint8_t* scanLines(int width, int height, const uint8_t* pixels, size_t* size) {
    size_t row = (size_t)width * RGB_BYTES;
    *size = (row + 1) * height;
    uint8_t* lines = (uint8_t*)malloc(*size);
    if (!lines) return NULL;
    for (int y = 0; y < height; y++) {
        lines[(row + 1) * y] = 0;
        memcpy(lines + (row + 1) * y + 1, pixels + row * y, row);
    }
    return lines;
}

// zlib header, stored blocks, Adler-32 of the raw bytes.
static bool zlibStored(const uint8_t* raw, size_t size, Bytes* out) {
    size_t blocks = size / STORED_BLOCK_MAX + 1;
    out->size = 0;
    out->data = (uint8_t*)malloc(2 + blocks * 5 + size + 4);
    if (!out->data) return false;
    const uint8_t header[2] = {0x78, 0x01};  // deflate, 32K window, no dictionary; a multiple of 31
    append(out, header, sizeof header);
    size_t done = 0;
    do {
        size_t length = size - done < STORED_BLOCK_MAX ? size - done : STORED_BLOCK_MAX;
        uint8_t block[5] = {(uint8_t)(done + length == size ? 1 : 0), (uint8_t)length, (uint8_t)(length >> 8),
                            (uint8_t)~length, (uint8_t)(~length >> 8)};
        append(out, block, sizeof block);
        append(out, raw + done, length);
        done += length;
    } while (done < size);
    uint8_t check[4];
    putBig32(check, adler32(raw, size));
    append(out, check, sizeof check);
    return true;
}

// Length, type, data, CRC of type and data; `out` has room for them.
static void putChunk(Bytes* out, const char* type, const uint8_t* data, size_t size) {
    uint8_t length[4], crc[4];
    putBig32(length, (uint32_t)size);
    uint32_t sum = updateCrc(0xFFFFFFFFu, (const uint8_t*)type, 4);
    putBig32(crc, updateCrc(sum, data, size) ^ 0xFFFFFFFFu);
    append(out, length, 4);
    append(out, type, 4);
    if (size > 0) append(out, data, size);
    append(out, crc, 4);
}

static bool putPng(Bytes* out, int width, int height, const Bytes* stream) {
    const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const size_t chunkFrame = 12;
    uint8_t header[13];
    putBig32(header, (uint32_t)width);
    putBig32(header + 4, (uint32_t)height);
    header[8] = 8;    // bits per channel
    header[9] = 2;    // RGB
    header[10] = 0;   // deflate
    header[11] = 0;   // adaptive filtering, every row "none"
    header[12] = 0;   // not interlaced
    out->size = 0;
    out->data = (uint8_t*)malloc(sizeof signature + 3 * chunkFrame + sizeof header + stream->size);
    if (!out->data) return false;
    append(out, signature, sizeof signature);
    putChunk(out, "IHDR", header, sizeof header);
    putChunk(out, "IDAT", stream->data, stream->size);
    putChunk(out, "IEND", NULL, 0);
    return true;
}

// ---- operations --------------------------------------------------------

uint8_t* pngEncode(int width, int height, const uint8_t* pixels, size_t* size) {
    if (!pixels || width <= 0 || height <= 0 || width > SIDE_MAX || height > SIDE_MAX) return NULL;
    size_t rawSize = 0;
    uint8_t* raw = scanLines(width, height, pixels, &rawSize);
    Bytes stream = {NULL, 0}, png = {NULL, 0};
    bool encoded = raw && zlibStored(raw, rawSize, &stream) && putPng(&png, width, height, &stream);
    free(raw);
    free(stream.data);
    if (!encoded) return NULL;
    *size = png.size;
    return png.data;
}

int pngSave(const char* filename, int width, int height, const uint8_t* pixels) {
    size_t size = 0;
    uint8_t* png = pngEncode(width, height, pixels, &size);
    FILE* file = png ? fopen(filename, "wb") : NULL;
    bool written = file && fwrite(png, 1, size, file) == size;
    if (file && fclose(file) != 0) written = false;
    free(png);
    return written ? 1 : 0;
}
