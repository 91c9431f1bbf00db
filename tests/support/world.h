// The game's records built from the images in the current folder and
// released again, as start-up and quit() do, for the tests, benchmarks and
// soak that play whole frames. Needs an open GL context.
#ifndef CUBEGAME_TEST_WORLD_H
#define CUBEGAME_TEST_WORLD_H

// Allocates the three list records and builds cube, camera, terrain, crowd
// and tanks (placed); 1 when every part was built.
int buildWorld(int people, int tanks);

// Frees what buildWorld made, as quit() does, without ending the process;
// safe on a world that was only partly built.
void releaseWorld();

// `count` more people packed around (x, z), some of them under a cube there.
void gatherCrowd(float x, float z, int count);

#endif
