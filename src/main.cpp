// The game shell: owns every global record and switch, starts the game up,
// runs the endless input-then-frame loop, handles the keys, draws each frame
// (sky box, world, cube, heads-up text), lets the cube touch the landscape,
// and shuts everything down through quit() with exit status 0.
#include "main.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/freeglut.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#if defined(__SANITIZE_ADDRESS__)
#include <dlfcn.h>
#include <link.h>
#endif

#include "animate.h"

// The draw distance at start, and how many seconds of frames drawn short of
// it the shadow lasts.
const int START_VIEW_DISTANCE = 5000;
const float SHADOW_BUDGET_SECONDS = 2.0f;

// The band of frame times the draw distance steers into, a step a frame:
// faster frames see further, slower ones less.
const float FAST_FRAME = 0.028f;
const float SLOW_FRAME = 0.04f;
const int VIEW_DISTANCE_STEP = 5;

const float FIELD_OF_VIEW = 60.0f;
const float NEAR_PLANE = 1.0f;
const float FOG_DEPTH = 1000.0f;

// The heads-up text floats up to this far above the cube's centre.
const float TEXT_HEIGHT = 270.0f;

int VIEW_DISTANCE;
int SHADOW;
float shadowSwitchTime;
int WIRE_FRAME;
int TERRAIN_DEFORMING;
int TRANSPARENCY;
int DRAWING_SHORTCUTS;
int gameOver;
float ratio;
Uint8* keys;
float timeH;
float timeStep;

Cube cb;
Camera cam;
Terrain ter;
PeopleList* peopleLst;
TankList* tankLst;
ShotList* shotLst;

float skyBoxSize;
unsigned int skyBoxTexName;
TgaImage* skyBoxImage;

// ---------------------------------------------------------------- helpers

// freeglut's bitmap fonts need glutInit, which needs an open display, so it
// runs once the video mode exists.
static void initBitmapFont() {
    static int initialised = 0;
    if (initialised) return;
    int argc = 1;
    char name[] = "cubegame";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    initialised = 1;
}

#if defined(__SANITIZE_ADDRESS__)
static int pinModule(struct dl_phdr_info* info, size_t, void*) {
    if (info->dlpi_name && info->dlpi_name[0]) dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    return 0;
}
#endif

// The leak check runs at exit, after SDL_Quit has unloaded the GL driver;
// a block the driver still holds would then lose its module's name, and
// with it the suppression that tells it from the game's own. So every
// module loaded by now stays until exit.
static void pinLoadedModules() {
#if defined(__SANITIZE_ADDRESS__)
    dl_iterate_phdr(pinModule, nullptr);
#endif
}

static void setFarPlaneAndFog(float farPlane) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFogf(GL_FOG_START, farPlane - FOG_DEPTH);
    glFogf(GL_FOG_END, farPlane);
    gluPerspective(FIELD_OF_VIEW, ratio, NEAR_PLANE, farPlane);
}

// Far plane and fog both follow the draw distance.
static void setProjectionAndFog() {
    setFarPlaneAndFog(VIEW_DISTANCE * 0.5f);
}

// The cube and its text stay inside the far plane and short of the fog's
// end, however far the eye trails: a camera chasing a fast cube lags up to
// some 2400 behind, the game-over eye sits 1000 back and 1000 up, and the
// draw distance may be down to its floor. Only the view reaches further;
// the draw distance, which the crowd's update and the terrain follow, stays.
static void holdCubeInView() {
    const Vector toCube = vectorSubtract(cb.position, cam.position);
    const float reach = sqrtf(vectorDotProduct(toCube, toCube)) + TEXT_HEIGHT + cb.size;
    if (!(reach > VIEW_DISTANCE * 0.5f)) return;
    setFarPlaneAndFog(reach);
    glMatrixMode(GL_MODELVIEW);
}

// The view as this frame's projection and model-view show it, read once for
// every part that leaves out what it cannot hold.
static const View* takeView(View* view) {
    float projection[16];
    float modelview[16];
    int viewport[4];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    glGetIntegerv(GL_VIEWPORT, viewport);
    viewFromMatrices(projection, modelview, viewport, view);
    return view;
}

// The upload reads three bytes a pixel, so thinner images are refused.
static bool skyImageUsable() {
    return skyBoxImage && skyBoxImage->status == TGA_LOADED && skyBoxImage->depth >= 24;
}

// Toward zero, saturating (NaN reads 0): a held Up drives the torque past
// the int range, where a plain cast is undefined, and the read-out should
// show the nearest number it can.
static int truncateSaturating(float value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483648.0f) return INT_MAX;
    if (value < -2147483648.0f) return INT_MIN;
    return (int)value;
}

static void printVector(const char* label, Vector v) {
    fprintf(stderr, "\t%s: (%d,%d,%d)\n", label, truncateSaturating(v.x), truncateSaturating(v.y),
            truncateSaturating(v.z));
}

static void printReadout() {
    fprintf(stderr, "\n-----------------------\n");
    // A step under a millisecond has no finite rate; say how fast it is at least.
    if (timeH > 0.0f)
        fprintf(stderr, "\nFrame Rate: %4.1f\n", 1.0f / timeH);
    else
        fprintf(stderr, "\nFrame Rate: >1000\n");
    fprintf(stderr, "\nDraw Distance: %d\n", VIEW_DISTANCE);
    fprintf(stderr, "\n-----------------------\n");
    fprintf(stderr, "\nCube Information:\n");
    printVector("Position", cb.position);
    printVector("Velocity", cb.velocity);
    printVector("Force", cb.force);
    printVector("Torque", cb.torque);
    printVector("Momentum", cb.momentum);
    printVector("Angular Momentum", cb.angularMomentum);
    fprintf(stderr, "\nCamera Information:\n");
    printVector("Position", cam.position);
}

// Adds torque about the horizontal axes for a roll toward `angle` degrees,
// faded per axis by how fast the cube already spins about it.
static void addRollTorque(float angle, float strength, float fx, float fz) {
    double a = decToRad(angle);
    cb.torque.x = (float)(cb.torque.x + cos(a) * ((cb.size * strength) * fx) * cb.mass);
    cb.torque.z = (float)(cb.torque.z + sin(a) * ((cb.size * strength) * fz) * cb.mass);
}

static float torqueFade(float spin) {
    return cb.maxSpin > mod(spin) ? (cb.maxSpin - mod(spin)) / cb.maxSpin : 0.0f;
}

// The score, size and banner are read-outs, so fog never fades them: the
// game-over eye sees them from well inside the fog band, and a trailing eye
// may see them from near the fog's end.
static void drawText(const char* text, float x, float y, float z) {
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_FOG);
    glRasterPos3f(x, y, z);
    for (const char* c = text; *c; ++c) glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, *c);
    glEnable(GL_FOG);
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
}

static void drawPlacedCube() {
    float angle;
    Vector axis;
    glPushMatrix();
    quaternionGetAngleAxis(cb.orientation, &angle, &axis);
    angle = radToDec(angle);
    glTranslatef(cb.position.x, cb.position.y, cb.position.z);
    glRotatef(angle, axis.x, axis.y, axis.z);
    drawCube(&cb);
    glPopMatrix();
}

static void skyQuad(const float tex[4][2], const float corners[4][3], float nx, float ny, float nz) {
    glNormal3f(nx, ny, nz);
    for (int k = 0; k < 4; ++k) {
        glTexCoord2f(tex[k][0], tex[k][1]);
        glVertex3f(corners[k][0] * skyBoxSize, corners[k][1] * skyBoxSize, corners[k][2] * skyBoxSize);
    }
}

// Corners in units of skyBoxSize; the quads face inward.
static void drawSkyFaces() {
    static const float side[4][2] = {{1, 0}, {1, 1}, {0, 1}, {0, 0}};
    static const float top[4][2] = {{0.002f, 0.1f}, {0.002f, 0.002f}, {0.1f, 0.002f}, {0.1f, 0.1f}};
    static const float bottom[4][2] = {{0, 0}, {0, 0}, {0, 0}, {0, 0}};
    static const float front[4][3] = {{-1, -1, 1}, {-1, 1, 1}, {1, 1, 1}, {1, -1, 1}};
    static const float left[4][3] = {{-1, -1, -1}, {-1, 1, -1}, {-1, 1, 1}, {-1, -1, 1}};
    static const float back[4][3] = {{1, -1, -1}, {1, 1, -1}, {-1, 1, -1}, {-1, -1, -1}};
    static const float right[4][3] = {{1, -1, 1}, {1, 1, 1}, {1, 1, -1}, {1, -1, -1}};
    static const float up[4][3] = {{-1, 1, 1}, {-1, 1, -1}, {1, 1, -1}, {1, 1, 1}};
    static const float down[4][3] = {{1, -1, 1}, {1, -1, -1}, {-1, -1, -1}, {-1, -1, 1}};

    glBindTexture(GL_TEXTURE_2D, skyBoxTexName);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    // Clamped to the edge texels: GL_CLAMP blends in the black border and
    // draws a dark seam up every edge of the box.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);

    glPushMatrix();
    glTranslatef(cam.position.x, cam.position.y + 15.0f, cam.position.z);
    glBegin(GL_QUADS);
    skyQuad(side, front, 0, 0, -1);
    skyQuad(side, left, 1, 0, 0);
    skyQuad(side, back, 0, 0, 1);
    skyQuad(side, right, -1, 0, 0);
    skyQuad(top, up, 0, -1, 0);
    skyQuad(bottom, down, 0, 1, 0);
    glEnd();
    glPopMatrix();
    glBindTexture(GL_TEXTURE_2D, 0);
}

// The textured sky after the landscape, at the far end of the depth range:
// it fills only the pixels still at the cleared depth, and the texturing
// under the ground is skipped. No ground fragment reaches that depth (it
// fails the test against the clear), and the ground is opaque, so every
// pixel comes out as when the sky went first.
static void drawSkyBehindGround() {
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDepthRange(1.0, 1.0);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_FALSE);
    drawSkyFaces();
    glEnable(GL_LIGHTING);
    glEnable(GL_FOG);
    glDepthRange(0.0, 1.0);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
}

// The bitmap font (freeglut) only works on X, so SDL goes there too unless
// told otherwise. Left to choose, SDL 2 under sdl12-compat settles for an
// off-screen driver when there is no display, and the font's start-up then
// ends the game with a failure status instead of the no-display message.
// Windows has one driver family and no setenv.
static void chooseX11() {
#ifndef _WIN32
    const char* driver = getenv("SDL_VIDEODRIVER");
    if (!driver || !*driver) setenv("SDL_VIDEODRIVER", "x11", 1);
#endif
}

static void openDisplay() {
    chooseX11();
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        printf("Couldn't init SDL\n");
        quit();
    }
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    if (!info) {
        printf("Video Query Failed\n");
        quit();
    }
    int depth = info->vfmt->BitsPerPixel;
    requestGlAttributes();
    if (!SDL_SetVideoMode(SCREEN_WIDTH, SCREEN_HEIGHT, depth, SDL_OPENGL | SDL_FULLSCREEN)) {
        printf("Couldn't set Video Mode\n");
        quit();
    }
}

// ---------------------------------------------------------------- start-up and shut-down

int SDL_main(int, char*[]) {
    srand((unsigned int)time(nullptr));
    setStartSwitches();
    openDisplay();
    setupOpengl(SCREEN_WIDTH, SCREEN_HEIGHT);
    if (!buildWorld(PEOPLE_COUNT, TANK_COUNT)) quit();
    initAnimation();
    SDL_EnableKeyRepeat(1, 1);

    for (;;) {
        processEvents();
        drawScreen();
    }
}

void setStartSwitches() {
    VIEW_DISTANCE = START_VIEW_DISTANCE;
    TERRAIN_DEFORMING = 1;
    SHADOW = 1;
    shadowSwitchTime = 0.0f;
    WIRE_FRAME = 0;
    TRANSPARENCY = 0;
    DRAWING_SHORTCUTS = 1;
    gameOver = 0;
}

// The stencil carries the cube's shadow volume.
void requestGlAttributes() {
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}

void setupOpengl(int width, int height) {
    const GLfloat ambient[] = {0.1f, 0.1f, 0.1f, 1.0f};
    const GLfloat diffuse[] = {0.3f, 0.3f, 0.3f, 1.0f};
    const GLfloat specular[] = {0.5f, 0.5f, 0.5f, 1.0f};
    // A point light high above the eye, given while the model-view is the
    // identity and never again, so it stays fixed relative to the eye.
    const GLfloat position[] = {0.0f, 10000.0f, 0.0f, 1.0f};
    const GLfloat fogColour[] = {39.0f / 255.0f, 168.0f / 255.0f, 221.0f / 255.0f, 1.0f};

    ratio = (float)width / (float)height;

    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glEnable(GL_LIGHT0);

    glShadeModel(GL_SMOOTH);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);

    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_LIGHTING);
    glEnable(GL_FOG);
    glEnable(GL_NORMALIZE);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    // Colours count as premultiplied by alpha; transparent texels are all zero.
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glViewport(0, 0, width, height);

    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, fogColour);
    setProjectionAndFog();

    initBitmapFont();
    initSkyBoxTexture();
}

void processEvents() {
    SDL_Event event;
    keys = SDL_GetKeyState(nullptr);
    handleKeyDown();
    while (SDL_PollEvent(&event)) {
        SDL_PumpEvents();
        if (event.type == SDL_QUIT) quit();
        // A tap that starts and ends between two frames never shows in the
        // key state, so a queued press quits too.
        if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE) quit();
    }
}

// The list records come zero-filled, so releaseWorld can free whatever
// exists wherever the building stopped.
int buildWorld(int people, int tanks) {
    peopleLst = (PeopleList*)calloc(1, sizeof(PeopleList));
    if (!peopleLst) {
        printf("Failed to allocate memory to people list\n");
        return 0;
    }
    tankLst = (TankList*)calloc(1, sizeof(TankList));
    if (!tankLst) return 0;
    shotLst = (ShotList*)calloc(1, sizeof(ShotList));
    if (!shotLst) return 0;
    shotLst->head = nullptr;
    shotLst->nextId = 0;

    initCube(&cb);
    initCamera(&cam);
    initTerrain(&ter);
    // Everything after this reads the terrain's arrays; a terrain that
    // stopped half-built has already said why.
    if (!ter.blockLists) {
        fprintf(stderr, "...FAILED TO BUILD TERRAIN\n");
        return 0;
    }
    int scale = (int)ter.scale;
    if (makeList(peopleLst, people, ter.width, ter.height, scale) != 1) {
        fprintf(stderr, "...FAILED TO MAKE PEOPLE LIST\n");
        return 0;
    }
    if (makeTankList(tankLst, tanks) != 1) {
        fprintf(stderr, "...FAILED TO MAKE TANK LIST\n");
        return 0;
    }
    randomTankPlacement(tankLst, ter.width, ter.height, scale);
    return 1;
}

void releaseWorld() {
    fprintf(stderr, "   ...Freeing People...\n");
    if (peopleLst) destroyPersonList(peopleLst);
    peopleLst = nullptr;
    fprintf(stderr, "   ...Freeing Tanks...\n");
    if (tankLst) destroyTankList(tankLst);
    tankLst = nullptr;
    fprintf(stderr, "   ...Freeing Shots...\n");
    if (shotLst) destroyShotList(shotLst);
    shotLst = nullptr;
    fprintf(stderr, "   ...Freeing Terrain...\n");
    deleteTerrain(&ter);
    destroyCube(&cb);
    tgaDestroy(skyBoxImage);
    skyBoxImage = nullptr;
}

void quit() {
    fprintf(stderr, "Quitting\n");
    releaseWorld();
    fprintf(stderr, "   ...done\n");
    pinLoadedModules();
    SDL_Quit();
    exit(0);
}

// ---------------------------------------------------------------- keyboard

void handleKeyDown() {
    Vector w = cb.angularVelocity;
    Vector v = cb.velocity;
    float fx = torqueFade(w.x);
    float fz = torqueFade(w.z);
    int spinning = w.x > 1.5f || w.x < -1.5f || w.z > 1.5f || w.z < -1.5f;
    int fast = v.x > 100.0f || v.x < -100.0f || v.z > 100.0f || v.z < -100.0f;

    if (keys[SDLK_DOWN]) {
        if (spinning) cb.torque = vectorMultiply(w, cb.size * -30.0f * cb.mass);
    } else if (keys[SDLK_UP]) {
        addRollTorque(cb.heading - 90.0f, 300.0f, fx, fz);
    }
    // Turning the view (slow or at rest) goes by the world's last step
    // (timeStep, capped), not by the time the frame took (timeH): on a machine
    // slow enough to play in slow motion it turns in slow motion too.
    if (keys[SDLK_LEFT]) {
        if (fast)
            addRollTorque(cb.heading - 180.0f, 500.0f, fx, fz);
        else
            cb.heading -= 90.0f * timeStep;
    }
    if (keys[SDLK_RIGHT]) {
        if (fast)
            addRollTorque(cb.heading, 500.0f, fx, fz);
        else
            cb.heading += 45.0f * timeStep;
    }
    if (keys[SDLK_i]) printReadout();
    if (keys[SDLK_ESCAPE]) quit();
}

// ---------------------------------------------------------------- frame drawing

void drawScreen() {
    if (WIRE_FRAME == 1) glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    // Taken once: the clear and the shadow must agree on whether the stencil starts at zero.
    const bool stencilZeroed = shadowStencilClear(DRAWING_SHORTCUTS);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | (stencilZeroed ? GL_STENCIL_BUFFER_BIT : 0));
    setProjectionAndFog();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    animate(&cb, peopleLst, tankLst, &cam, &ter, shotLst);

    // The camera rides at its follow distance above the ground under it.
    cam.targetPosition.y = getHeightAt(&ter, cam.position.x, cam.position.z) + cam.distance;

    glPushMatrix();
    float lookY = (getHeightAt(&ter, cb.position.x, cb.position.z) + cb.position.y) * 0.5f + cb.size;
    gluLookAt(cam.position.x, cam.position.y, cam.position.z, cb.position.x, lookY, cb.position.z, 0.0, 1.0, 0.0);
    holdCubeInView();

    View view;
    const View* seen = DRAWING_SHORTCUTS == 1 ? takeView(&view) : nullptr;
    const Frustum* frustum = seen ? &seen->frustum : nullptr;
    // An untextured sky takes the current colour, which the ground changes.
    const bool skyBehindGround = seen && skyImageUsable();

    if (!skyBehindGround) drawSkyBox();
    collideCubeTerrain();
    drawTerrainInView(&ter, cb.position.x, cb.position.z, (float)VIEW_DISTANCE, frustum);
    if (skyBehindGround) drawSkyBehindGround();
    drawHordeInView(peopleLst, &cb, &ter, frustum, DRAWING_SHORTCUTS == 1);
    drawTanksInView(tankLst, &cb, &ter, frustum);

    adaptViewDistance();
    spendShadowBudget();

    if (SHADOW == 1) renderCubeShadowInView(&cb, cam.position.x, cam.position.y, cam.position.z, seen, stencilZeroed);
    drawPlacedCube();
    drawShots(shotLst, &ter);

    glColor3f(0.0f, 0.0f, 0.0f);
    displayScore();
    displaySize();
    if (gameOver == 1) {
        displayGameOver();
        // The camera follows the heading, so turning it circles the cube; by
        // the world's step, like the cube's dwindling, so both slow alike in
        // slow motion.
        cb.heading -= 20.0f * timeStep;
    }

    glPopMatrix();
    SDL_GL_SwapBuffers();
}

void adaptViewDistance() {
    if (timeH < FAST_FRAME) VIEW_DISTANCE += VIEW_DISTANCE_STEP;
    if (timeH > SLOW_FRAME) VIEW_DISTANCE -= VIEW_DISTANCE_STEP;
    if (VIEW_DISTANCE < MIN_VIEW_DISTANCE) VIEW_DISTANCE = MIN_VIEW_DISTANCE;
}

void spendShadowBudget() {
    if (VIEW_DISTANCE < START_VIEW_DISTANCE) shadowSwitchTime += timeH;
    if (shadowSwitchTime >= SHADOW_BUDGET_SECONDS) SHADOW = 0;
}

void initSkyBoxTexture() {
    skyBoxSize = 100.0f;
    glGenTextures(1, &skyBoxTexName);
    fprintf(stderr, "Loading skybox texture...\n");
    skyBoxImage = tgaLoad("TexSkyBox.tga");
    if (!skyImageUsable()) {
        fprintf(stderr, "   ...couldn't load TGA\n");
        return;
    }
    fprintf(stderr, "   ...done\n");
    glBindTexture(GL_TEXTURE_2D, skyBoxTexName);
    fprintf(stderr, "Initialising texture...\n");
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, skyBoxImage->width, skyBoxImage->height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 skyBoxImage->data);
    fprintf(stderr, "   ...done\n");
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void drawSkyBox() {
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_DEPTH_TEST);
    drawSkyFaces();
    glEnable(GL_LIGHTING);
    glEnable(GL_FOG);
    glEnable(GL_DEPTH_TEST);
}

void displayScore() {
    char text[32];
    snprintf(text, sizeof text, "%d points", cb.points);
    drawText(text, cb.position.x, cb.position.y + 270.0f, cb.position.z);
}

void displaySize() {
    char text[32];
    snprintf(text, sizeof text, "%d meters", truncateSaturating(cb.size));
    drawText(text, cb.position.x, cb.position.y + 200.0f, cb.position.z);
}

void displayGameOver() {
    drawText("GAME OVER - Press Escape", cb.position.x, cb.position.y, cb.position.z);
}

// ---------------------------------------------------------------- cube contact

// Contact constants, each times the cube's mass.
const float APPROACH_DAMPING = 8.0f;
const float SLIDING_DRAG = 6.0f;
const float SPRING = 12.0f;
const float PENETRATION_DAMPING = 0.1f;

static Vector groundNormalAt(Vector p) {
    const float* n = &ter.normals[worldToTerrainX(&ter, p.x)][3 * worldToTerrainZ(&ter, p.z)];
    return vectorInit(n[0], n[1], n[2]);
}

void collideCubeTerrain() {
    float deepest = 0.0f, second = 0.0f;
    Vector deepestPoint = {0, 0, 0}, secondPoint = {0, 0, 0};
    int deepestCorner = 0, secondCorner = 0;

    for (int corner = 1; corner <= 8; ++corner) {
        Vector p = getCorner(&cb, corner);
        float d = p.y - getHeightAt(&ter, p.x, p.z);
        // The running minimum: the corner it replaces becomes the second contact.
        if (corner == 1 || d < deepest) {
            second = deepest;
            secondPoint = deepestPoint;
            secondCorner = deepestCorner;
            deepest = d;
            deepestPoint = p;
            deepestCorner = corner;
        }
        if (d < 0.0f && TERRAIN_DEFORMING == 1) {
            Vector v = getCornerVelocity(&cb, corner);
            deformTerrain(&ter, p.x, p.y, p.z, v.y, 0);
        }
    }
    if (deepest < 0.0f)
        handleCollision(&cb, groundNormalAt(deepestPoint), getCornerVelocity(&cb, deepestCorner), deepestPoint,
                        -deepest);
    if (second < 0.0f)
        handleCollision(&cb, groundNormalAt(secondPoint), getCornerVelocity(&cb, secondCorner), secondPoint, -second);
}

void handleCollision(Cube* cube, Vector n, Vector v, Vector p, float depth) {
    float m = cube->mass;
    float vn = -vectorDotProduct(v, n);
    if (vn > 0.0f) applyForce(cube, vectorMultiply(n, vn * (APPROACH_DAMPING * m)), p);
    Vector vt = vectorAdd(v, vectorMultiply(n, vn));
    applyForce(cube, vectorMultiply(vt, -SLIDING_DRAG * m), p);
    applyForce(cube, vectorMultiply(n, depth * (SPRING * m)), p);
    // No condition: while the point leaves the ground this pulls it back.
    applyForce(cube, vectorMultiply(n, vn * depth * (PENETRATION_DAMPING * m)), p);
}
