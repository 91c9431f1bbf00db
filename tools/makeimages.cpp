// makeimages [DIR]: writes the game's TGA images into DIR (default: the
// current folder).
#include <cstdio>

#include "imagegen.h"

int main(int argc, char* argv[]) {
    const char* dir = argc > 1 ? argv[1] : ".";
    if (!generateGameImages(dir)) {
        fprintf(stderr, "makeimages: could not write the images into %s\n", dir);
        return 1;
    }
    fprintf(stderr, "makeimages: images written to %s\n", dir);
    return 0;
}
