// The player cube: set-up, rigid-body integration with growth toward a target
// size, corner and point queries, and its drawing with a stencil shadow volume.
// Other modules feed it forces and torques through the record; it ends the
// game through the global gameOver once it has shrunk below size 50.
#include "cube.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>

#include "main.h"

const float GRAVITY = 200.0f;
const float MAX_SIZE = 250.0f;
// Below this size the game is lost.
const float LOSING_SIZE = 50.0f;
// Each update closes the fraction GROWTH_SPEED * dt * dt of the size gap.
const float GROWTH_SPEED = 30.0f;
const float MASS_PER_SIZE = 5.0f;
// Slower horizontal travel keeps the old heading.
const float HEADING_SPEED = 150.0f;

const float START_SIZE = 100.0f;
const float START_MAX_SPIN = 5.0f;
const float START_HEADING = 90.1f;
const float START_MASS = 1000000.0f;
// Launched at 1000 units a second along +z, 2000 units up.
const Vector START_POSITION = {0.0f, 2000.0f, -4000.0f};
const Vector START_MOMENTUM = {0.0f, 0.0f, 1000000000.0f};

// Volumes are extruded this far, away from a light straight overhead.
const float SHADOW_EXTRUSION = 10000000.0f;
const float SHADOW_OFFSET_UNITS = 100.0f;
const float SHADOW_BOX_EDGE = 100.0f;
const float SHADOW_ALPHA = 0.3f;
// Pixels added around a volume's window rectangle, against rounding.
const int SHADOW_RECT_MARGIN = 2;

// Corner signs in the cube's own frame, corners 1 to 8.
static const float CORNER_SIGNS[8][3] = {
    {+1, -1, +1}, {+1, +1, +1}, {+1, +1, -1}, {+1, -1, -1},
    {-1, -1, +1}, {-1, +1, +1}, {-1, +1, -1}, {-1, -1, -1},
};

// Drawn faces, counter-clockwise from outside; each shows the whole image.
static const float FACE_NORMALS[6][3] = {
    {0, 0, 1}, {-1, 0, 0}, {0, 0, -1}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0},
};
static const int FACE_CORNERS[6][4] = {
    {1, 2, 6, 5}, {5, 6, 7, 8}, {8, 7, 3, 4}, {4, 3, 2, 1}, {2, 3, 7, 6}, {1, 5, 8, 4},
};
static const float FACE_TEXCOORDS[4][2] = {{1, 0}, {1, 1}, {0, 1}, {0, 0}};

// Shadow faces: +x, top, -z, bottom, +z, -x, each clockwise from outside.
static const int SHADOW_FACES[6][4] = {
    {1, 2, 3, 4}, {2, 6, 7, 3}, {3, 7, 8, 4}, {4, 8, 5, 1}, {5, 6, 2, 1}, {6, 5, 8, 7},
};

// The box around the eye: six quads, as signs of the half edge.
static const float SHADOW_BOX[24][3] = {
    {-1, -1, +1}, {-1, +1, +1}, {+1, +1, +1}, {+1, -1, +1},
    {-1, -1, -1}, {-1, +1, -1}, {-1, +1, +1}, {-1, -1, +1},
    {+1, -1, -1}, {+1, +1, -1}, {-1, +1, -1}, {-1, -1, -1},
    {+1, -1, +1}, {+1, +1, +1}, {+1, +1, -1}, {+1, -1, -1},
    {-1, +1, +1}, {-1, +1, -1}, {+1, +1, -1}, {+1, +1, +1},
    {+1, -1, +1}, {+1, -1, -1}, {-1, -1, -1}, {-1, -1, +1},
};

// Solid cube about its centre, the same about every axis.
static double cubeInertia(float mass, float size) {
    return (double)mass * size * size / 6.0;
}

// Every field but the angular motion, which keeps its zero start.
static void setStartValues(Cube* cube) {
    cube->points = 0;
    cube->size = START_SIZE;
    cube->targetSize = START_SIZE;
    cube->growthRate = 0.0f;
    cube->maxSpin = START_MAX_SPIN;
    cube->heading = START_HEADING;
    cube->mass = START_MASS;
    cube->inverseMass = 1.0f / cube->mass;
    cube->inertia = cubeInertia(cube->mass, cube->size);
    cube->inverseInertia = 1.0 / cube->inertia;
    cube->position = START_POSITION;
    cube->orientation = quaternionInit(1.0f, 0.0f, 0.0f, 0.0f);
    cube->momentum = START_MOMENTUM;
    cube->velocity = vectorInit(0.0f, 0.0f, 0.0f);
    cube->force = vectorInit(0.0f, 0.0f, 0.0f);
    cube->torque = vectorInit(0.0f, 0.0f, 0.0f);
}

// The upload reads three bytes a pixel, so a thinner image would be read
// past its end.
static bool isUploadable(const TgaImage* image) {
    return image && image->status == TGA_LOADED && image->data && image->depth >= 24;
}

static void uploadTexture(Cube* cube) {
    GLint alignment;
    glBindTexture(GL_TEXTURE_2D, cube->texture);
    fprintf(stderr, "Initialising texture...\n");
    // Rows are tightly packed whatever the width.
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, cube->image->width, cube->image->height, 0, GL_RGB,
                 GL_UNSIGNED_BYTE, cube->image->data);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    fprintf(stderr, "   ...done\n");
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
}

// Once lost, the cube dwindles toward nothing and stops, for good.
static void shrinkLostCube(Cube* cube, float dt) {
    cube->targetSize = 0.0f;
    cube->growthRate = GROWTH_SPEED * dt * (cube->targetSize - cube->size);
    cube->size += cube->growthRate * dt;
    cube->inertia = cubeInertia(cube->mass, cube->size);
    cube->momentum = vectorInit(0.0f, 0.0f, 0.0f);
    gameOver = 1;
}

static void growCube(Cube* cube, float dt) {
    if (cube->targetSize > MAX_SIZE) cube->targetSize = MAX_SIZE;
    cube->growthRate = GROWTH_SPEED * dt * (cube->targetSize - cube->size);
    cube->size += cube->growthRate * dt;
    cube->mass += cube->growthRate * dt * MASS_PER_SIZE;
    cube->inertia = cubeInertia(cube->mass, cube->size);
    cube->inverseInertia = 1.0 / cube->inertia;
}

// Semi-implicit Euler: the momenta take the step first, then position and
// orientation advance with the velocities of the new momenta.
static void integrateCube(Cube* cube, float dt) {
    cube->momentum = vectorAdd(cube->momentum, vectorMultiply(cube->force, dt));
    cube->velocity = vectorMultiply(cube->momentum, cube->inverseMass);
    cube->position = vectorAdd(cube->position, vectorMultiply(cube->velocity, dt));

    cube->angularMomentum = vectorAdd(cube->angularMomentum, vectorMultiply(cube->torque, dt));
    cube->angularVelocity = vectorMultiply(cube->angularMomentum, (float)cube->inverseInertia);

    // dq/dt = 0.5 (0, w) q
    Vector w = cube->angularVelocity;
    cube->spin = quaternionMultiplyFloat(
        quaternionMultiplyQuaternion(quaternionInit(0.0f, w.x, w.y, w.z), cube->orientation), 0.5f);
    Quaternion q = cube->orientation;
    q.w += cube->spin.w * dt;
    q.x += cube->spin.x * dt;
    q.y += cube->spin.y * dt;
    q.z += cube->spin.z * dt;
    cube->orientation = normalize(q);
}

static void setCubeMaterial() {
    static const GLfloat white[] = {1.0f, 1.0f, 1.0f, 1.0f};
    glMaterialfv(GL_FRONT, GL_AMBIENT, white);
    glMaterialfv(GL_FRONT, GL_SPECULAR, white);
    glMaterialf(GL_FRONT, GL_SHININESS, 40.0f);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, white);
}

static void bindCubeTexture(Cube* cube) {
    glBindTexture(GL_TEXTURE_2D, cube->texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
}

static void emitVertex(Vector p) {
    glVertex3f(p.x, p.y, p.z);
}

// The face's corners and their far ends, away from the light.
static void shadowVolumePoints(Cube* cube, const int corners[4], Vector nearPoints[4], Vector farPoints[4]) {
    const Vector light = vectorInit(0.0f, SHADOW_EXTRUSION, 0.0f);
    for (int i = 0; i < 4; i++) {
        nearPoints[i] = getCorner(cube, corners[i]);
        farPoints[i] = vectorMultiply(normalizeVector(vectorSubtract(nearPoints[i], light)), SHADOW_EXTRUSION);
    }
}

// Window rectangle holding every pixel the face's volume can cover, from
// its eight points projected. Returns 0 when a point lies behind the near
// plane: clipping the volume's long edges there is too coarse to bound.
static int shadowVolumeRect(Cube* cube, const int corners[4], const View* view, int rect[4]) {
    Vector points[8];
    shadowVolumePoints(cube, corners, points, points + 4);
    const int* v = view->viewport;
    double left = v[0] + v[2], right = v[0], bottom = v[1] + v[3], top = v[1];
    for (const Vector& p : points) {
        double x, y;
        if (!projectToWindow(view, p, &x, &y)) return 0;
        left = fmin(left, x);
        right = fmax(right, x);
        bottom = fmin(bottom, y);
        top = fmax(top, y);
    }
    const double x0 = fmax(left - SHADOW_RECT_MARGIN, v[0]);
    const double x1 = fmin(right + SHADOW_RECT_MARGIN, v[0] + v[2]);
    const double y0 = fmax(bottom - SHADOW_RECT_MARGIN, v[1]);
    const double y1 = fmin(top + SHADOW_RECT_MARGIN, v[1] + v[3]);
    rect[0] = (int)floor(x0);
    rect[1] = (int)floor(y0);
    rect[2] = x1 > x0 ? (int)ceil(x1) - rect[0] : 0;
    rect[3] = y1 > y0 ? (int)ceil(y1) - rect[1] : 0;
    return 1;
}

// Counts one face's volume into the stencil (depth fail), then darkens the
// pixels left non-zero and clears their stencil again. The volume of a face
// that looks up is wound inside out, so its count goes below zero: the
// counts wrap instead of clamping at 0, or such a face would cast nothing.
// With a view, the darkening is kept to the pixels the volume can have
// marked: elsewhere the stencil is already zero and the box changes nothing.
static void shadeShadowFace(Cube* cube, const int corners[4], float x, float y, float z, const View* view) {
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDepthMask(GL_FALSE);

    glEnable(GL_CULL_FACE);
    glEnable(GL_STENCIL_TEST);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(0.0f, SHADOW_OFFSET_UNITS);

    glCullFace(GL_FRONT);
    glStencilFunc(GL_ALWAYS, 0, 255);
    glStencilOp(GL_KEEP, GL_INCR_WRAP, GL_KEEP);
    renderShadowVolume(cube, corners[0], corners[1], corners[2], corners[3]);

    glCullFace(GL_BACK);
    glStencilFunc(GL_ALWAYS, 0, 255);
    glStencilOp(GL_KEEP, GL_DECR_WRAP, GL_KEEP);
    renderShadowVolume(cube, corners[0], corners[1], corners[2], corners[3]);

    glDisable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(0.0f, 0.0f);
    glDisable(GL_CULL_FACE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);

    glStencilFunc(GL_NOTEQUAL, 0, 255);
    glStencilOp(GL_REPLACE, GL_REPLACE, GL_REPLACE);
    int rect[4];
    const bool scissored = view && shadowVolumeRect(cube, corners, view, rect);
    if (scissored) {
        glScissor(rect[0], rect[1], rect[2], rect[3]);
        glEnable(GL_SCISSOR_TEST);
    }
    drawShadowBox(x, y, z);
    if (scissored) glDisable(GL_SCISSOR_TEST);

    glDisable(GL_STENCIL_TEST);
}

void initCube(Cube* cube) {
    setStartValues(cube);
    glGenTextures(1, &cube->texture);
    fprintf(stderr, "Loading cube texture...\n");
    cube->image = tgaLoad("TexCube.tga");
    if (!isUploadable(cube->image)) {
        fprintf(stderr, "   ...couldn't load TGA\n");
        return;
    }
    fprintf(stderr, "   ...done\n");
    uploadTexture(cube);
}

void updateCube(Cube* cube, float dt) {
    cube->momentum.y -= dt * GRAVITY * cube->mass;

    if (cube->size < LOSING_SIZE) {
        shrinkLostCube(cube, dt);
    } else if (cube->size != cube->targetSize) {
        growCube(cube, dt);
    }
    cube->maxSpin = (MAX_SIZE - cube->size) / 50.0f + 1.0f;

    integrateCube(cube, dt);

    Vector v = cube->velocity;
    if (v.x > HEADING_SPEED || v.x <= -HEADING_SPEED || v.z >= HEADING_SPEED || v.z <= -HEADING_SPEED) {
        cube->heading = findDirection(vectorInit(0.0f, 0.0f, 0.0f), v);
    }

    cube->force = vectorInit(0.0f, 0.0f, 0.0f);
    cube->torque = vectorInit(0.0f, 0.0f, 0.0f);
}

void applyForce(Cube* cube, Vector force, Vector point) {
    Vector arm = vectorSubtract(point, cube->position);
    cube->force = vectorAdd(cube->force, force);
    cube->torque = vectorAdd(cube->torque, vectorCrossProduct(arm, force));
}

// Angular impulse is arm x impulse, the same order as applyForce's torque.
void applyImpulse(Cube* cube, Vector impulse, Vector point) {
    Vector arm = vectorSubtract(point, cube->position);
    cube->momentum = vectorAdd(cube->momentum, impulse);
    cube->angularMomentum = vectorAdd(cube->angularMomentum, vectorCrossProduct(arm, impulse));
}

Vector getVelocityAt(Cube* cube, Vector point) {
    Vector arm = vectorSubtract(point, cube->position);
    return vectorAdd(cube->velocity, vectorCrossProduct(cube->angularVelocity, arm));
}

// Any number outside 1..8 is the centre.
Vector getCornerNoRotation(Cube* cube, int corner) {
    if (corner < 1 || corner > 8) return vectorInit(0.0f, 0.0f, 0.0f);
    float h = cube->size / 2.0f;
    const float* s = CORNER_SIGNS[corner - 1];
    return vectorInit(s[0] * h, s[1] * h, s[2] * h);
}

Vector getCorner(Cube* cube, int corner) {
    Matrix4 rotation;
    quaternionToMatrix(cube->orientation, rotation);
    return vectorAdd(matrixVectorMultiply(rotation, getCornerNoRotation(cube, corner)), cube->position);
}

Vector getCornerVelocity(Cube* cube, int corner) {
    Vector arm = vectorSubtract(getCorner(cube, corner), cube->position);
    return vectorAdd(cube->velocity, vectorCrossProduct(cube->angularVelocity, arm));
}

Vector getCornerMomentum(Cube* cube, int corner) {
    Vector arm = vectorSubtract(getCorner(cube, corner), cube->position);
    return vectorAdd(cube->momentum, vectorCrossProduct(cube->angularMomentum, arm));
}

// Half the diagonal of a face.
float distToCorner(float size) {
    return pithag(size / 2.0f, size / 2.0f);
}

// The texture name is left to the ending context.
void destroyCube(Cube* cube) {
    tgaDestroy(cube->image);
    cube->image = nullptr;
}

void drawCube(Cube* cube) {
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    setCubeMaterial();
    bindCubeTexture(cube);

    glPushMatrix();
    glBegin(GL_QUADS);
    for (int face = 0; face < 6; face++) {
        glNormal3fv(FACE_NORMALS[face]);
        for (int k = 0; k < 4; k++) {
            glTexCoord2fv(FACE_TEXCOORDS[k]);
            emitVertex(getCornerNoRotation(cube, FACE_CORNERS[face][k]));
        }
    }
    glEnd();
    glPopMatrix();

    glBindTexture(GL_TEXTURE_2D, 0);
}

void renderCubeShadow(Cube* cube, float x, float y, float z) {
    renderCubeShadowInView(cube, x, y, z, nullptr, false);
}

// Drawing everything, the first face's box covers the whole view, which
// leaves the stencil zero everywhere whatever it held; each later face, and
// the next frame, starts from that. So over a stencil zeroed by the frame's
// clear the shadow gives the same pixels with every box kept to its face's
// rectangle: outside it the stencil is zero and the box would change
// nothing. Clearing the stencil with the depth is one pass over their shared
// buffer, cheaper than the depth alone, and changes nothing where the
// stencil was zero already. Not with polygons drawn as lines: each box then
// draws its edges only and leaves counts behind, which later faces and
// frames see, so the clear and the rectangles would both change the picture.
bool shadowStencilClear(int shortcuts) {
    // A renderer without polygon modes leaves these: filled.
    GLint polygonModes[2] = {GL_FILL, GL_FILL};
    glGetIntegerv(GL_POLYGON_MODE, polygonModes);
    return shortcuts == 1 && polygonModes[0] == GL_FILL && polygonModes[1] == GL_FILL;
}

void renderCubeShadowInView(Cube* cube, float x, float y, float z, const View* view, bool stencilZeroed) {
    const View* rectsIn = stencilZeroed ? view : nullptr;
    for (int face = 0; face < 6; face++) shadeShadowFace(cube, SHADOW_FACES[face], x, y, z, rectsIn);
}

void renderShadowVolume(Cube* cube, int a, int b, int c, int d) {
    const int corners[4] = {a, b, c, d};
    Vector nearPoints[4];
    Vector farPoints[4];
    shadowVolumePoints(cube, corners, nearPoints, farPoints);

    // Far cap, near cap (the face itself), then the four sides.
    glBegin(GL_QUADS);
    for (int i = 3; i >= 0; i--) emitVertex(farPoints[i]);
    glEnd();

    glBegin(GL_QUADS);
    for (int i = 0; i < 4; i++) emitVertex(nearPoints[i]);
    glEnd();

    glBegin(GL_QUAD_STRIP);
    for (int i = 0; i <= 4; i++) {
        emitVertex(nearPoints[i % 4]);
        emitVertex(farPoints[i % 4]);
    }
    glEnd();
}

void drawShadowBox(float x, float y, float z) {
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);

    glPushMatrix();
    glColor4f(0.0f, 0.0f, 0.0f, SHADOW_ALPHA);
    glTranslatef(x, y, z);
    glBegin(GL_QUADS);
    for (int k = 0; k < 24; k++) {
        const float* s = SHADOW_BOX[k];
        glVertex3f(s[0] * SHADOW_BOX_EDGE, s[1] * SHADOW_BOX_EDGE, s[2] * SHADOW_BOX_EDGE);
    }
    glEnd();
    glPopMatrix();

    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
}
