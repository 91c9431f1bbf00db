// Writes PNG files without a compression library: the pixels go into
// stored (uncompressed) deflate blocks, which every PNG reader accepts.
#ifndef CUBEGAME_PNG_H
#define CUBEGAME_PNG_H

#include <cstddef>
#include <cstdint>

// Writes `pixels` (8-bit RGB, `width` * 3 bytes a row, top row first) to
// `filename`; returns 1 on success, 0 if the file could not be written.
int pngSave(const char* filename, int width, int height, const uint8_t* pixels);
// The same PNG in memory: a malloc'd buffer of `*size` bytes, or NULL.
uint8_t* pngEncode(int width, int height, const uint8_t* pixels, size_t* size);

#endif
