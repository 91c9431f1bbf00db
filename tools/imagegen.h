// Generates the eight TGA images the game reads, and the desktop and Windows icons,
// deterministically.
#ifndef CUBEGAME_IMAGEGEN_H
#define CUBEGAME_IMAGEGEN_H

// Writes every image into `dir`; returns 1 on success, 0 if a file failed.
int generateGameImages(const char* dir);
// Writes the cube's face as a `size` x `size` PNG icon (1 to 256 px);
// returns 1 on success, 0 otherwise.
int generateGameIcon(const char* path, int size);
// Writes the cube's face as a Windows icon of 16 to 256 px; 1 on success.
int generateGameIco(const char* path);

#endif
