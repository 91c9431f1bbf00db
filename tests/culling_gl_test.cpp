// The drawing shortcuts (DRAWING_SHORTCUTS): the same seeded world played
// twice through drawScreen, once drawing every part literally and once with
// the shortcuts, must give byte-identical frames and the same world afterwards.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "animate.h"
#include "fake_clock.h"
#include "gl_context.h"
#include "main.h"
#include "scratch_dir.h"
#include "world.h"

namespace {

const int WIDTH = 320;
const int HEIGHT = 240;
const Uint32 STEP_MS = 30;  // between the draw-distance thresholds: it stays put
const int SEED = 4242;
const int PEOPLE = 10000;
const int TANKS = 1000;
const int CROWD_AROUND_CUBE = 3000;

void append(std::string* out, const void* data, size_t size) {
    out->append((const char*)data, size);
}

// Colour, depth and stencil of the frame just drawn.
void appendFrame(std::string* out) {
    std::vector<unsigned char> colour(WIDTH * HEIGHT * 4);
    std::vector<unsigned int> depth(WIDTH * HEIGHT);
    std::vector<unsigned char> stencil(WIDTH * HEIGHT);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, colour.data());
    glReadPixels(0, 0, WIDTH, HEIGHT, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, depth.data());
    glReadPixels(0, 0, WIDTH, HEIGHT, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, stencil.data());
    append(out, colour.data(), colour.size());
    append(out, depth.data(), depth.size() * sizeof(unsigned int));
    append(out, stencil.data(), stencil.size());
}

// Everything the simulation carries into the next frame.
std::string worldState() {
    std::string s;
    Cube cube = cb;
    cube.image = nullptr;  // where the heap put the picture is no state
    append(&s, &cube, sizeof cube);
    append(&s, &cam, sizeof cam);
    append(&s, &VIEW_DISTANCE, sizeof VIEW_DISTANCE);
    append(&s, &SHADOW, sizeof SHADOW);
    append(&s, &peopleLst->count, sizeof peopleLst->count);
    for (int i = 0; i < BUCKET_COUNT; i++)
        for (int j = 0; j < BUCKET_COUNT; j++)
            for (PersonNode* p = *peopleLst->buckets[i][j]; p; p = p->next) {
                append(&s, &p->id, sizeof p->id);
                append(&s, &p->position, sizeof p->position);
                append(&s, &p->velocity, sizeof p->velocity);
                append(&s, &p->angle, sizeof p->angle);
            }
    for (TankNode* t = tankLst->head; t; t = t->next) append(&s, (Tank*)t, sizeof(Tank));
    for (Shot* shot = shotLst->head; shot; shot = shot->next) {
        append(&s, &shot->position, sizeof shot->position);
        append(&s, &shot->velocity, sizeof shot->velocity);
    }
    for (int i = 0; i < ter.width; i++) {
        append(&s, ter.heights[i], ter.height * sizeof(float));
        append(&s, ter.colours[i], 3 * ter.height * sizeof(float));
    }
    const int next = rand();
    append(&s, &next, sizeof next);
    return s;
}

// The game's settings: name, TexSkyBox.tga missing, WIRE_FRAME, TRANSPARENCY, SHADOW, lost all along.
struct Setting {
    const char* name;
    int noSkyImage, wireFrame, transparency, shadow, over;
} playing;
const Setting SETTINGS[] = {{"Defaults", 0, 0, 0, 1, 0},    {"NoSkyImage", 1, 0, 0, 1, 0}, {"WireFrame", 0, 1, 0, 1, 0},
                            {"Transparency", 0, 0, 1, 1, 0}, {"NoShadow", 0, 0, 0, 0, 0},  {"GameOver", 0, 0, 0, 1, 1}};

struct Play {
    std::string frames;
    std::string state;
    long blocks = 0, people = 0, tanks = 0;
    std::string failure;
};

// One play of the path, in this process (the frame timer's clock is
// process-wide state, so each play gets a process of its own).
Play playPath(int shortcuts) {
    Play play;
    if (playing.noSkyImage) unlink("TexSkyBox.tga");
    if (!openGlContext(WIDTH, HEIGHT)) {
        play.failure = "no GL window";
        return play;
    }
    setStartSwitches();
    DRAWING_SHORTCUTS = shortcuts;
    WIRE_FRAME = playing.wireFrame;
    TRANSPARENCY = playing.transparency;
    SHADOW = playing.shadow;
    srand(SEED);
    if (!buildWorld(PEOPLE, TANKS)) {
        play.failure = "world not built";
        return play;
    }
    // Every frame is exactly one step long, so both plays simulate the same world.
    setFakeClock(100000);
    initAnimation();
    const std::vector<Viewpoint> path = cameraPath();
    gatherCrowd(path[0].x, path[0].z, CROWD_AROUND_CUBE);
    for (size_t k = 0; k < path.size(); k++) {
        poseFrame(path, k);
        gameOver |= playing.over;
        advanceFakeClock(STEP_MS);
        drawScreen();
        if (fabsf(timeH - STEP_MS / 1000.0f) > 1e-4f) {
            play.failure = "the frame timer no longer reads SDL_GetTicks: the plays cannot be stepped alike";
            return play;
        }
        appendFrame(&play.frames);
        play.blocks += getDrawnBlockCount();
        play.people += getDrawnPeopleCount();
        play.tanks += getDrawnTankCount();
    }
    if (glGetError() != GL_NO_ERROR) play.failure = "GL error";
    play.state = worldState();
    return play;
}

bool writeAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return false;
        done += (size_t)n;
    }
    return true;
}

std::string readAll(int fd) {
    std::string bytes;
    char buffer[1 << 16];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) bytes.append(buffer, (size_t)n);
    return bytes;
}

std::string sized(const std::string& bytes) {
    const unsigned long long n = bytes.size();
    return std::string((const char*)&n, sizeof n) + bytes;
}

bool takeSized(const std::string& in, size_t* at, std::string* out) {
    unsigned long long n;
    if (*at + sizeof n > in.size()) return false;
    memcpy(&n, in.data() + *at, sizeof n);
    *at += sizeof n;
    if (*at + n > in.size()) return false;
    *out = in.substr(*at, n);
    *at += n;
    return true;
}

// Plays the path in a child process and brings its results back.
Play playInChild(int shortcuts) {
    Play play;
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        play.failure = "no pipe";
        return play;
    }
    const pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        Play p = playPath(shortcuts);
        const long counts[3] = {p.blocks, p.people, p.tanks};
        const std::string message =
            sized(p.failure) + sized(p.frames) + sized(p.state) + sized(std::string((const char*)counts, sizeof counts));
        _exit(writeAll(pipeFds[1], message) ? 0 : 1);
    }
    close(pipeFds[1]);
    const std::string message = readAll(pipeFds[0]);
    close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    size_t at = 0;
    std::string counts;
    if (!takeSized(message, &at, &play.failure) || !takeSized(message, &at, &play.frames) ||
        !takeSized(message, &at, &play.state) || !takeSized(message, &at, &counts) || counts.size() != 3 * sizeof(long)) {
        play.failure = "the play's process ended early (status " + std::to_string(status) + ")";
        return play;
    }
    long c[3];
    memcpy(c, counts.data(), sizeof c);
    play.blocks = c[0];
    play.people = c[1];
    play.tanks = c[2];
    return play;
}

// The first frame whose bytes differ, or -1.
int firstDifferentFrame(const std::string& a, const std::string& b) {
    const size_t frameBytes = (size_t)WIDTH * HEIGHT * (4 + 4 + 1);
    for (size_t f = 0; f * frameBytes < a.size(); f++)
        if (a.compare(f * frameBytes, frameBytes, b, f * frameBytes, frameBytes) != 0) return (int)f;
    return -1;
}

// Which buffers of frame f differ, and in how many pixels.
std::string frameDifference(const std::string& a, const std::string& b, int f) {
    const size_t pixels = (size_t)WIDTH * HEIGHT;
    const size_t base = (size_t)f * pixels * 9;
    const struct {
        const char* name;
        size_t offset, bytes;
    } parts[] = {{"colour", 0, 4}, {"depth", 4 * pixels, 4}, {"stencil", 8 * pixels, 1}};
    std::string out;
    for (const auto& part : parts) {
        size_t differing = 0;
        for (size_t p = 0; p < pixels; p++)
            if (a.compare(base + part.offset + p * part.bytes, part.bytes, b, base + part.offset + p * part.bytes,
                          part.bytes) != 0)
                differing++;
        out += std::string(" ") + part.name + " " + std::to_string(differing);
    }
    return out;
}

class DrawingShortcuts : public ::testing::TestWithParam<Setting> {};

TEST_P(DrawingShortcuts, FramesAndWorldMatchDrawingEverything) {
    playing = GetParam();
    ScratchDir dir;
    dir.writeGameImages();
    const Play all = playInChild(0);
    const Play shortcut = playInChild(1);
    ASSERT_EQ("", all.failure);
    ASSERT_EQ("", shortcut.failure);
    ASSERT_EQ(cameraPath().size() * WIDTH * HEIGHT * 9, all.frames.size());
    ASSERT_EQ(all.frames.size(), shortcut.frames.size());
    const int differs = firstDifferentFrame(all.frames, shortcut.frames);
    EXPECT_EQ(-1, differs) << "frame of the camera path that differs; pixels differing:"
                           << (differs < 0 ? "" : frameDifference(all.frames, shortcut.frames, differs));
    EXPECT_TRUE(all.state == shortcut.state) << "the world after the path differs";
    // Leaving out what the view cannot hold must have had something to leave out.
    EXPECT_LT(shortcut.blocks, all.blocks);
    EXPECT_LT(shortcut.people, all.people);
    EXPECT_LT(shortcut.tanks, all.tanks);
    EXPECT_GT(shortcut.people, 0);
    EXPECT_GT(shortcut.tanks, 0);
}

INSTANTIATE_TEST_SUITE_P(Settings, DrawingShortcuts, ::testing::ValuesIn(SETTINGS),
                         [](const ::testing::TestParamInfo<Setting>& info) { return std::string(info.param.name); });

}  // namespace
