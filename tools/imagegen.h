// Generates the eight TGA images the game reads, deterministically.
#ifndef CUBEGAME_IMAGEGEN_H
#define CUBEGAME_IMAGEGEN_H

// Writes every image into `dir`; returns 1 on success, 0 if a file failed.
int generateGameImages(const char* dir);

#endif
