// Writes Windows icon (.ico) files: one entry a size, drawn from RGB pixels.
#ifndef CUBEGAME_ICO_H
#define CUBEGAME_ICO_H

#include <cstdint>

// Writes `count` square images, `sizes[i]` px each (1 to 256), with
// `pixels[i]` 8-bit RGB top row first, to `filename`; 1 on success, 0 if not.
int icoSave(const char* filename, int count, const int* sizes, const uint8_t* const* pixels);

#endif
