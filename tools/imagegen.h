// Generates the eight TGA images the game reads, and the desktop icon,
// deterministically.
#ifndef CUBEGAME_IMAGEGEN_H
#define CUBEGAME_IMAGEGEN_H

// Writes every image into `dir`; returns 1 on success, 0 if a file failed.
int generateGameImages(const char* dir);
// Writes the cube's face as a `size` x `size` PNG icon (size divides 256);
// returns 1 on success, 0 otherwise.
int generateGameIcon(const char* path, int size);

#endif
