// The GL driver's memory while the landscape's display lists are rebuilt,
// with nothing else of the game running: blocks picked at random are freed
// and compiled anew by the game's own generateTerrainDL, as a crushing cube
// has them rebuilt, and the heap and RSS are printed every ROUND rebuilds.
// The driver packs the vertices of several lists into one buffer and keeps
// a buffer while any of its lists lives, so scattered rebuilds leave buffers
// held by a list or two: this shows how much of a long game's growth that
// is. Run by bench/list_churn.sh (a private Xvfb); not a test.
#include <GL/gl.h>
#include <SDL/SDL.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "imagegen.h"
#include "main.h"
#include "memory.h"

namespace {

const int ROUNDS = 12;
const int ROUND = 2000;
const unsigned int SEED = 7;

void rebuildBlock(int bi, int bj) {
    glDeleteLists(ter.blockLists[bi][bj], 1);
    ter.blockLists[bi][bj] = glGenLists(1);
    generateTerrainDL(&ter, bi, bj);
}

}  // namespace

int main() {
    char dir[] = "/tmp/cubegame-churn-XXXXXX";
    if (!mkdtemp(dir) || !generateGameImages(dir) || chdir(dir) != 0) {
        fprintf(stderr, "list_churn: could not write the game's images\n");
        return 1;
    }
    if (SDL_Init(SDL_INIT_VIDEO) == 0) requestGlAttributes();
    if (!SDL_WasInit(SDL_INIT_VIDEO) || !SDL_SetVideoMode(320, 240, 0, SDL_OPENGL)) {
        fprintf(stderr, "list_churn: no OpenGL window (is DISPLAY set?): %s\n", SDL_GetError());
        return 1;
    }
    // The game's start-up lines would drown the table.
    if (!freopen("/dev/null", "w", stderr)) return 1;
    setStartSwitches();
    setupOpengl(320, 240);
    initTerrain(&ter);
    if (!ter.blockLists) {
        printf("list_churn: the landscape was not built\n");
        return 1;
    }
    glFinish();
    printf("renderer: %s; %d x %d blocks\n", (const char*)glGetString(GL_RENDERER), ter.blocksX, ter.blocksZ);
    printf("%9s %8s %8s\n", "rebuilds", "heap MB", "RSS MB");
    printf("%9d %8.1f %8.1f\n", 0, heapMegabytes(), residentMegabytes());
    srand(SEED);
    for (int round = 1; round <= ROUNDS; round++) {
        for (int k = 0; k < ROUND; k++) rebuildBlock(rand() % ter.blocksX, rand() % ter.blocksZ);
        glFinish();
        printf("%9d %8.1f %8.1f\n", round * ROUND, heapMegabytes(), residentMegabytes());
        fflush(stdout);
    }
    deleteTerrain(&ter);
    SDL_Quit();
    return 0;
}
