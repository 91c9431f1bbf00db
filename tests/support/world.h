// The game's world posed for plays of whole frames (the drawing shortcuts'
// test, the frame benchmark): a crowd packed around the cube and one camera
// path.
// The world itself comes from buildWorld and releaseWorld (main.h).
#ifndef CUBEGAME_TEST_WORLD_H
#define CUBEGAME_TEST_WORLD_H

#include <cstddef>
#include <vector>

// One frame of the camera path.
struct Viewpoint {
    float x, z;        // the cube, on the ground there
    float heading;     // degrees; the camera sits behind the cube along it
    int viewDistance;  // the draw distance for this frame
    int over;          // game over: the camera high and far
};

// The cube in a crowd, turning so that people, blocks and tanks cross the
// view's edges; near the far plane; every map corner looking out and in;
// the middle of every edge; a draw distance beyond the map; and the high
// game-over camera.
std::vector<Viewpoint> cameraPath();

// Frame k of the path: the cube set down at rest where the path moves on,
// then lookFrom.
void poseFrame(const std::vector<Viewpoint>& path, size_t k);

// The switches, the cube's heading and the camera for one viewpoint, the
// camera already where it heads and the shadow kept as it is (the steering
// never takes it away); the cube stays put.
void lookFrom(const Viewpoint& v);

// `count` more people packed around (x, z), some of them under a cube there.
void gatherCrowd(float x, float z, int count);

#endif
