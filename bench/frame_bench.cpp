// Whole frames through drawScreen in a real OpenGL window, for one build's
// screen, crowd and tanks: a seeded world, the camera path of the drawing
// shortcuts' test (world.h) at draw distances 2500, 5000 and 8000, each
// drawing one 30 ms step on the fake clock. Each frame of the path is drawn
// twice, with the drawing shortcuts and without (DRAWING_SHORTCUTS 0), in
// alternating order, so both are timed on the same machine at the same
// moment. Needs DISPLAY (bench/frame_bench.sh starts a private Xvfb and runs
// every build).
#include <GL/gl.h>
#include <SDL/SDL.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "animate.h"
#include "fake_clock.h"
#include "imagegen.h"
#include "main.h"
#include "world.h"

namespace {

const int SEED = 2026;
const int DRAW_DISTANCES[] = {2500, 5000, 8000};
const int PASSES = 2;  // the path is flown this many times per distance
const int CROWD_AROUND_CUBE = 2000;
const Uint32 STEP_MS = 30;  // each drawing simulates one step of this length

struct Samples {
    std::vector<double> ms;
    long blocks = 0, people = 0, tanks = 0;
};

double timedFrame(int shortcuts, Samples* into) {
    DRAWING_SHORTCUTS = shortcuts;
    advanceFakeClock(STEP_MS);
    glFinish();
    const auto start = std::chrono::steady_clock::now();
    drawScreen();
    glFinish();
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    into->ms.push_back(ms);
    into->blocks += getDrawnBlockCount();
    into->people += getDrawnPeopleCount();
    into->tanks += getDrawnTankCount();
    return ms;
}

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    const size_t k = (size_t)std::min<double>(v.size() - 1, std::floor(p * (v.size() - 1) + 0.5));
    return v[k];
}

void report(const char* build, int distance, const Samples& all, const Samples& shortcut, double fill) {
    const double n = (double)shortcut.ms.size();
    const double oldMedian = percentile(all.ms, 0.5), newMedian = percentile(shortcut.ms, 0.5);
    printf("%-17s %5d | %7.1f %7.1f | %7.1f %7.1f | %5.1fx | %5.0f %6.0f %5.0f | %5.0f %6.0f %5.0f | %5.1f\n", build,
           distance, oldMedian, percentile(all.ms, 0.95), newMedian, percentile(shortcut.ms, 0.95), oldMedian / newMedian,
           all.blocks / n, all.people / n, all.tanks / n, shortcut.blocks / n, shortcut.people / n, shortcut.tanks / n, fill);
    fflush(stdout);
}

// What the renderer needs to fill the whole view once with the ground's
// kind of pixel (textured, modulated, fogged, depth-tested): the least a
// frame can cost before anything is left out. The ground and sky together
// cover the view at least once a frame.
double fullViewFill() {
    const int FRAMES = 30;
    unsigned int texture;
    std::vector<unsigned char> texels(256 * 256 * 3);
    for (size_t k = 0; k < texels.size(); k++) texels[k] = (unsigned char)(k * 2654435761u >> 13);
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 256, 256, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    std::vector<double> ms;
    for (int f = 0; f < FRAMES; f++) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        glFinish();
        const auto start = std::chrono::steady_clock::now();
        glBegin(GL_QUADS);
        glColor3f(0.9f, 0.8f, 0.7f);
        glTexCoord2f(0, 0);
        glVertex3f(-1, -1, 0.5f);
        glTexCoord2f(8, 0);
        glVertex3f(1, -1, 0.5f);
        glTexCoord2f(8, 8);
        glVertex3f(1, 1, 0.5f);
        glTexCoord2f(0, 8);
        glVertex3f(-1, 1, 0.5f);
        glEnd();
        glFinish();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    glEnable(GL_LIGHTING);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDeleteTextures(1, &texture);
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

bool openWindow() {
    if (SDL_Init(SDL_INIT_VIDEO) < 0) return false;
    requestGlAttributes();
    return SDL_SetVideoMode(SCREEN_WIDTH, SCREEN_HEIGHT, 0, SDL_OPENGL) != nullptr;
}

}  // namespace

int main(int argc, char* argv[]) {
    const char* build = argc > 1 ? argv[1] : "this build";
    const bool header = argc > 2 && std::string(argv[2]) == "--header";
    char dir[] = "/tmp/cubegame-bench-XXXXXX";
    if (!mkdtemp(dir) || !generateGameImages(dir) || chdir(dir) != 0) {
        fprintf(stderr, "frame_bench: could not write the game's images\n");
        return 1;
    }
    if (!openWindow()) {
        fprintf(stderr, "frame_bench: no OpenGL window (is DISPLAY set?): %s\n", SDL_GetError());
        return 1;
    }
    setStartSwitches();
    setupOpengl(SCREEN_WIDTH, SCREEN_HEIGHT);
    const double fill = fullViewFill();
    srand(SEED);
    if (!buildWorld(PEOPLE_COUNT, TANK_COUNT)) {
        fprintf(stderr, "frame_bench: the world could not be built\n");
        return 1;
    }
    // The game's output would drown the table.
    if (!freopen("/dev/null", "w", stderr)) return 1;
    if (header) {
        printf("renderer: %s (%s)\n", (const char*)glGetString(GL_RENDERER), (const char*)glGetString(GL_VERSION));
        printf("ms a frame through drawScreen (median, 95th percentile); old = every part drawn literally\n");
        printf("(DRAWING_SHORTCUTS 0), new = the game's drawing;\n");
        printf("ratio = old median / new median; blocks, people, tanks drawn a frame on average;\n");
        printf("fill = ms to fill the whole view once with textured, fogged, depth-tested pixels.\n\n");
        printf("%-17s %5s | %15s | %15s | %6s | %18s | %18s | %5s\n", "build", "D", "old med   p95", "new med   p95",
               "ratio", "old blk  ppl  tank", "new blk  ppl  tank", "fill");
    }
    initAnimation();
    std::vector<Viewpoint> path = cameraPath();
    gatherCrowd(path[0].x, path[0].z, CROWD_AROUND_CUBE);
    for (int distance : DRAW_DISTANCES) {
        for (Viewpoint& v : path) v.viewDistance = distance;
        Samples all, shortcut;
        for (int pass = 0; pass < PASSES; pass++)
            for (size_t k = 0; k < path.size(); k++) {
                poseFrame(path, k);
                // Alternate which drawing goes first, so neither always
                // follows the other's simulation step.
                const int first = (int)((k + pass) % 2);
                timedFrame(first, first ? &shortcut : &all);
                lookFrom(path[k]);
                timedFrame(1 - first, first ? &all : &shortcut);
            }
        report(build, distance, all, shortcut, fill);
    }
    return 0;
}
