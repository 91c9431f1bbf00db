// makeimages [DIR]: writes the game's TGA images into DIR (default: the
// current folder). makeimages --icon SIZE FILE: writes the desktop icon.
// makeimages --ico FILE: writes the Windows games' icon.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "imagegen.h"

static int writeIcon(const char* sizeText, const char* path) {
    char* end = NULL;
    long size = strtol(sizeText, &end, 10);
    if (*sizeText == '\0' || *end != '\0' || size <= 0 || size > 256 || !generateGameIcon(path, (int)size)) {
        fprintf(stderr, "makeimages: could not write a %s px icon to %s (sizes 1 to 256)\n", sizeText, path);
        return 1;
    }
    return 0;
}

static int writeIco(const char* path) {
    if (!generateGameIco(path)) {
        fprintf(stderr, "makeimages: could not write the Windows icon to %s\n", path);
        return 1;
    }
    return 0;
}

static int usage() {
    fprintf(stderr, "usage: makeimages [DIR] | makeimages --icon SIZE FILE | makeimages --ico FILE\n");
    return 2;
}

int main(int argc, char* argv[]) {
    if (argc > 1 && strcmp(argv[1], "--icon") == 0) return argc == 4 ? writeIcon(argv[2], argv[3]) : usage();
    if (argc > 1 && strcmp(argv[1], "--ico") == 0) return argc == 3 ? writeIco(argv[2]) : usage();
    const char* dir = argc > 1 ? argv[1] : ".";
    if (!generateGameImages(dir)) {
        fprintf(stderr, "makeimages: could not write the images into %s\n", dir);
        return 1;
    }
    fprintf(stderr, "makeimages: images written to %s\n", dir);
    return 0;
}
