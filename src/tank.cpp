// The tanks: one singly linked list (last added first) built at start-up
// with two shared display lists and one texture, random placement, the
// per-frame wander/engage/fire AI and driving, crushing by the cube, and the
// drawing that sets each tank on the ground and writes its height back.
#include "tank.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "main.h"

const char* const TANK_TEXTURE_FILE = "TexTank.tga";

// A new tank's first update starts a wander leg, replacing the placement heading.
const int TANK_START_WANDER = 0;
const float TANK_START_HEIGHT = 50.0f;
const float TANK_START_SPEED = 100.0f;
const float TANK_SCALE = 10.0f;

const float ENGAGE_RADIUS = 500.0f;
const float FIRE_INTERVAL = 2.0f;
const float MUZZLE_OFFSET_X = 10.0f;
const float MUZZLE_OFFSET_Y = 33.0f;
const float SHELL_LAUNCH_UP = 80.0f;
const float CRUISING_SPEED = 100.0f;
const int WANDER_LEG_MIN = 500;
const int WANDER_LEG_SPREAD = 2000;
const float TURN_GAIN = 10.0f;
const float SPEED_GAIN = 15.0f;
const int EDGE_MARGIN = 2000;

const float CRUSH_GROWTH = 10.0f;
const int CRUSH_POINTS = 50;
const float CRUSH_CRATER_AMOUNT = 10.0f;
const int CRUSH_CRATER_MODE = 1;
const float CRUSH_KICK_PER_MASS = 3000.0f;

// Every model vertex lies within this many model units of the tank's
// origin (the muzzle's top corners are furthest), so any tilt and turn keep
// the tank inside that sphere; the margin covers rounding at the view's edges.
const float MODEL_RADIUS = 4.5f;
const float CULL_MARGIN = 1.0f;

// Texture coordinates are in 32nds of the tank picture.
struct TankVertex {
    float x, y, z, s, t;
};

struct TankFace {
    float nx, ny, nz;
    TankVertex v[4];
};

const TankFace BODY_FACES[] = {
    // right track: outer, inner, front, rear, top
    {0, 0, 1, {{2, 0, 2, 15, 20}, {2, 1.5f, 2, 15, 26}, {-2, 2, 2, 31, 31}, {-2, 0, 2, 31, 20}}},
    {0, 0, -1, {{-2, 0, 1, 15, 20}, {-2, 2, 1, 15, 26}, {2, 1.5f, 1, 31, 31}, {2, 0, 1, 31, 20}}},
    {1, 0, 0, {{2, 0, 1, 14, 19}, {2, 1.5f, 1, 14, 25}, {2, 1.5f, 2, 8, 25}, {2, 0, 2, 8, 19}}},
    {-1, 0, 0, {{-2, 0, 2, 14, 19}, {-2, 2, 2, 14, 25}, {-2, 2, 1, 8, 25}, {-2, 0, 1, 8, 19}}},
    {0, 1, 0, {{2, 1.5f, 2, 14, 31}, {2, 1.5f, 1, 8, 31}, {-2, 2, 1, 8, 16}, {-2, 2, 2, 14, 16}}},
    // left track: outer, inner, front, rear, top
    {0, 0, -1, {{-2, 0, -2, 31, 20}, {-2, 2, -2, 31, 31}, {2, 1.5f, -2, 15, 26}, {2, 0, -2, 15, 20}}},
    {0, 0, 1, {{2, 0, -1, 15, 20}, {2, 1.5f, -1, 15, 26}, {-2, 2, -1, 31, 31}, {-2, 0, -1, 31, 20}}},
    {1, 0, 0, {{2, 0, -2, 14, 19}, {2, 1.5f, -2, 14, 25}, {2, 1.5f, -1, 8, 25}, {2, 0, -1, 8, 19}}},
    {-1, 0, 0, {{-2, 0, -1, 14, 19}, {-2, 2, -1, 14, 25}, {-2, 2, -2, 8, 25}, {-2, 0, -2, 8, 19}}},
    {0, 1, 0, {{2, 1.5f, -1, 14, 31}, {2, 1.5f, -2, 8, 31}, {-2, 2, -2, 8, 16}, {-2, 2, -1, 14, 16}}},
    // hull: front, rear, top, left, right
    {1, 0, 0, {{1.8f, 0.7f, -1, 15, 1}, {1.8f, 2.5f, -1, 15, 15}, {1.8f, 2.5f, 1, 1, 15}, {1.8f, 0.7f, 1, 1, 1}}},
    {-1, 0, 0, {{-1.8f, 0.7f, 1, 15, 1}, {-1.8f, 2.5f, 1, 15, 15}, {-1.8f, 2.5f, -1, 1, 15}, {-1.8f, 0.7f, -1, 1, 1}}},
    {0, 1, 0, {{1.8f, 2.5f, 1, 31, 19}, {1.8f, 2.5f, -1, 16, 19}, {-1.8f, 2.5f, -1, 16, 1}, {-1.8f, 2.5f, 1, 31, 1}}},
    {0, 0, -1, {{-1.8f, 0.7f, -1, 15, 1}, {-1.8f, 2.5f, -1, 15, 15}, {1.8f, 2.5f, -1, 1, 15}, {1.8f, 0.7f, -1, 1, 1}}},
    {0, 0, 1, {{1.8f, 0.7f, 1, 15, 1}, {1.8f, 2.5f, 1, 15, 15}, {-1.8f, 2.5f, 1, 1, 15}, {-1.8f, 0.7f, 1, 1, 1}}},
};

const TankFace TURRET_FACES[] = {
    // turret block: front, rear, top, left, right
    {1, 0, 0, {{1, 2.5f, -1, 15, 1}, {1, 3.5f, -1, 15, 15}, {1, 3.5f, 1, 1, 15}, {1, 2.5f, 1, 1, 1}}},
    {-1, 0, 0, {{-1, 2.5f, 1, 15, 1}, {-1, 3.2f, 1, 15, 15}, {-1, 3.2f, -1, 1, 15}, {-1, 2.5f, -1, 1, 1}}},
    {0, 1, 0, {{1, 3.5f, 1, 31, 19}, {1, 3.5f, -1, 16, 19}, {-1, 3.2f, -1, 16, 1}, {-1, 3.2f, 1, 31, 1}}},
    {0, 0, -1, {{-1, 2.5f, -1, 15, 1}, {-1, 3.2f, -1, 15, 15}, {1, 3.5f, -1, 1, 15}, {1, 2.5f, -1, 1, 1}}},
    {0, 0, 1, {{1, 2.5f, 1, 15, 1}, {1, 3.5f, 1, 15, 15}, {-1, 3.2f, 1, 1, 15}, {-1, 2.5f, 1, 1, 1}}},
    // barrel: top, left, muzzle end, right
    {0, 1, 0, {{2.5f, 3.7f, 0.4f, 3, 31}, {2.5f, 3.7f, -0.4f, 1, 31}, {1, 3.5f, -0.4f, 1, 19}, {1, 3.5f, 0.4f, 3, 19}}},
    {0, 0, -1, {{1, 2.7f, -0.4f, 5, 31}, {1, 3.5f, -0.4f, 4, 31},
               {2.5f, 3.7f, -0.4f, 4, 19}, {2.5f, 2.9f, -0.4f, 5, 19}}},
    {1, 0, 0, {{2.5f, 2.9f, 0.4f, 3, 16}, {2.5f, 2.9f, -0.4f, 3, 18},
               {2.5f, 3.7f, -0.4f, 1, 18}, {2.5f, 3.7f, 0.4f, 1, 16}}},
    {0, 0, 1, {{2.5f, 2.9f, 0.4f, 5, 19}, {2.5f, 3.7f, 0.4f, 4, 19}, {1, 3.5f, 0.4f, 4, 31}, {1, 2.7f, 0.4f, 5, 31}}},
};

static int drawnTanks;

static void drawTankFaces(const TankFace* faces, int count) {
    const float texel = 1.0f / 32.0f;
    glBegin(GL_QUADS);
    for (int f = 0; f < count; f++) {
        glNormal3f(faces[f].nx, faces[f].ny, faces[f].nz);
        for (const TankVertex& v : faces[f].v) {
            glTexCoord2f(v.s * texel, v.t * texel);
            glVertex3f(v.x, v.y, v.z);
        }
    }
    glEnd();
}

static unsigned int compileTankModel(void (*drawModel)()) {
    const unsigned int name = glGenLists(1);
    glNewList(name, GL_COMPILE);
    drawModel();
    glEndList();
    return name;
}

// The picture is uploaded as three bytes a pixel, tightly packed, so it
// must hold at least that many.
static int uploadTankTexture(TankList* list) {
    fprintf(stderr, "Loading Tank texture...\n");
    list->image = tgaLoad(TANK_TEXTURE_FILE);
    const TgaImage* image = list->image;
    if (!image || image->status != TGA_LOADED || image->depth < 24 || image->width <= 0 || image->height <= 0 ||
        !image->data) {
        fprintf(stderr, "   ...couldn't load TGA\n");
        return 0;
    }
    fprintf(stderr, "   ...done\n");
    glBindTexture(GL_TEXTURE_2D, list->texture);
    fprintf(stderr, "Initialising texture...\n");
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image->width, image->height, 0, GL_RGB, GL_UNSIGNED_BYTE, image->data);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    fprintf(stderr, "   ...done\n");
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
    return 1;
}

// The shell leaves the muzzle (not turned with the tank) aimed at where the
// cube is now; its angle turns the drawn streak along the flight.
static void fireShell(Tank* tank, Cube* cube, ShotList* shots) {
    Shot shell = {};
    shell.position = vectorInit(tank->position.x + MUZZLE_OFFSET_X, tank->position.y + MUZZLE_OFFSET_Y,
                                tank->position.z);
    shell.velocity = vectorInit(cube->position.x - tank->position.x, SHELL_LAUNCH_UP,
                                cube->position.z - tank->position.z);
    shell.angle = (int)(360.0f - findDirection(vectorInit(0.0f, 0.0f, 0.0f), shell.velocity));
    addShot(shots, shell);
}

// The same direction as `target`, whole turns away, within 180 degrees of
// `heading`: headings are never wrapped, and easing the long way round from
// one edge's target to the other's at a corner swings a tank back out.
static float nearestTurn(float target, float heading) {
    return target + 360.0f * std::round((heading - target) / 360.0f);
}

// Near an edge the tank is turned back inside; the z rule wins at a corner.
// Heading 90 drives along -z and 270 along +z.
static void turnFromEdges(Tank* tank, int sizex, int resolution) {
    const int extent = sizex * resolution;
    const int hi = (int)(extent * 0.5 - EDGE_MARGIN);
    const int lo = (int)(extent * -0.5 + EDGE_MARGIN);
    float target;
    if (tank->position.z > hi) {
        target = 90.0f;
    } else if (tank->position.z < lo) {
        target = 270.0f;
    } else if (tank->position.x > hi) {
        target = 180.0f;
    } else if (tank->position.x < lo) {
        target = 0.0f;
    } else {
        return;
    }
    // Also when the wander leg drew the raw edge value itself.
    tank->targetHeading = nearestTurn(target, tank->heading);
}

static void setTankMaterial(TankList* list) {
    const GLfloat white[] = {1.0f, 1.0f, 1.0f, 1.0f};
    glColor3f(1.0f, 1.0f, 1.0f);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, white);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 20.0f);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);

    glBindTexture(GL_TEXTURE_2D, list->texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
}

// Tilts the model so its up axis follows the ground normal n; level
// ground (a zero axis) gets no rotation.
static void tiltToGround(Vector n) {
    const Vector up = vectorInit(0.0f, 1.0f, 0.0f);
    const Vector axis = vectorCrossProduct(up, n);
    if (axis.x == 0.0f && axis.z == 0.0f) return;
    double cosine = vectorDotProduct(up, n);
    if (cosine > 1.0) cosine = 1.0;
    if (cosine < -1.0) cosine = -1.0;
    const float degrees = radToDec((float)acos(cosine));
    glRotatef(degrees, axis.x, 0.0f, axis.z);
}

int makeTankList(TankList* list, int count) {
    if (!list) return 0;
    Tank tank;
    initTank(&tank);
    tank.id = 0;
    tank.wanderDistance = TANK_START_WANDER;

    list->bodyList = compileTankModel(drawTank);
    list->turretList = compileTankModel(drawTurret);
    glGenTextures(1, &list->texture);
    if (!uploadTankTexture(list)) return 0;

    list->head = nullptr;
    // A tank whose node cannot be had is left out; the battle goes on.
    for (int i = 0; i < count; i++) {
        tank.id = i;
        addTank(list, tank);
    }
    return 1;
}

void initTank(Tank* tank) {
    tank->position = vectorInit(0.0f, TANK_START_HEIGHT, 0.0f);
    tank->speed = TANK_START_SPEED;
    tank->targetSpeed = CRUISING_SPEED;
    tank->acceleration = 0.0f;
    tank->heading = 0.0f;
    tank->targetHeading = 0.0f;
    tank->turnRate = 0.0f;
    tank->scale = TANK_SCALE;
    tank->lastShotTime = 0.0f;
}

int addTank(TankList* list, Tank tank) {
    if (!list) return 0;
    TankNode* node = (TankNode*)malloc(sizeof(TankNode));
    if (!node) return 0;
    static_cast<Tank&>(*node) = tank;
    node->next = list->head;
    list->head = node;
    return 1;
}

// x in -0.6 W .. 0.4 W and z in -0.6 D .. 0.4 D, off-centre toward the
// negative corner; rand() is drawn for x, z, then the target heading.
void randomTankPlacement(TankList* list, int sizex, int sizez, int resolution) {
    if (!list) return;
    const int w = sizex * resolution;
    const int d = sizez * resolution;
    if (w <= 0 || d <= 0) return;
    for (TankNode* tank = list->head; tank; tank = tank->next) {
        tank->position.x = (float)(rand() % w - 0.6 * w);
        tank->position.z = (float)(rand() % d - 0.6 * d);
        tank->targetHeading = (float)(rand() % 360);
    }
}

int removeTank(TankList* list, Tank tank) {
    if (!list) return 0;
    TankNode** link = &list->head;
    while (*link && (*link)->id != tank.id) link = &(*link)->next;
    if (!*link) return 0;
    TankNode* found = *link;
    *link = found->next;
    free(found);
    return 1;
}

// Also safe on a zero-filled record whose construction never ran.
int destroyTankList(TankList* list) {
    if (!list) return 1;
    TankNode* tank = list->head;
    while (tank) {
        TankNode* next = tank->next;
        free(tank);
        tank = next;
    }
    if (list->image) tgaDestroy(list->image);
    free(list);
    return 1;
}

void updateTank(TankList* list, Cube* cube, float dt, Terrain* terrain, ShotList* shots, float time) {
    if (!list) return;
    const int resolution = (int)terrain->scale;
    TankNode* tank = list->head;
    while (tank) {
        updateTankAI(tank, cube, shots, time);
        updateTankPosition(tank, dt, terrain->width, resolution);
        TankNode* next = tank->next;
        const Tank copy = *tank;
        if (checkTankCollision(copy, cube, terrain)) removeTank(list, copy);
        tank = next;
    }
}

void updateTankAI(Tank* tank, Cube* cube, ShotList* shots, float time) {
    const float distance = pithag(tank->position.x - cube->position.x, tank->position.z - cube->position.z);
    if (distance < ENGAGE_RADIUS && gameOver == 0) {
        tank->targetSpeed = 0.0f;
        // 180 - direction turns the body's +x toward the cube.
        tank->targetHeading = 180.0f - findDirection(cube->position, tank->position);
        tank->wanderDistance = -1;
        if (time - tank->lastShotTime > FIRE_INTERVAL) {
            fireShell(tank, cube, shots);
            tank->lastShotTime = time;
        }
    } else if (tank->wanderDistance <= 0) {
        tank->targetSpeed = CRUISING_SPEED;
        tank->wanderDistance = rand() % WANDER_LEG_SPREAD + WANDER_LEG_MIN;
        tank->targetHeading = (float)(rand() % 360 - 180);
    }
}

// The rates hold dt and are applied with dt again, so a step closes
// 10 dt^2 of the heading gap and 15 dt^2 of the speed gap; headings are not
// wrapped.
void updateTankPosition(Tank* tank, float dt, int sizex, int resolution) {
    if (tank->heading != tank->targetHeading) {
        tank->turnRate = TURN_GAIN * dt * (tank->targetHeading - tank->heading);
        tank->heading += tank->turnRate * dt;
    }
    if (tank->speed != tank->targetSpeed) {
        tank->acceleration = SPEED_GAIN * dt * (tank->targetSpeed - tank->speed);
        tank->speed += tank->acceleration * dt;
    }
    turnFromEdges(tank, sizex, resolution);

    // Forward is (cos h, -sin h) in x and z.
    const double radians = decToRad(tank->heading + 90.0f);
    tank->position.x += (float)sin(radians) * dt * tank->speed;
    tank->position.z += (float)cos(radians) * dt * tank->speed;
    tank->wanderDistance = (int)(tank->wanderDistance - tank->speed * dt);
}

// The same box as for people: S/2 either side across the ground, S up and down.
int checkTankCollision(Tank tank, Cube* cube, Terrain* terrain) {
    const int dx = (int)(cube->position.x - tank.position.x);
    const int dy = (int)(cube->position.y - tank.position.y);
    const int dz = (int)(cube->position.z - tank.position.z);
    const float size = cube->size;
    const bool caught = -size / 2 < dx && dx < size / 2 && -size < dy && dy < size && -size / 2 < dz && dz < size / 2;
    if (!caught) return 0;
    cube->targetSize += CRUSH_GROWTH;
    deformTerrain(terrain, tank.position.x, tank.position.y, tank.position.z, CRUSH_CRATER_AMOUNT,
                  CRUSH_CRATER_MODE);
    applyForce(cube, vectorInit(0.0f, cube->mass * CRUSH_KICK_PER_MASS, 0.0f), tank.position);
    cube->points += CRUSH_POINTS;
    return 1;
}

void drawTank() {
    drawTankFaces(BODY_FACES, sizeof BODY_FACES / sizeof BODY_FACES[0]);
}

void drawTurret() {
    drawTankFaces(TURRET_FACES, sizeof TURRET_FACES / sizeof TURRET_FACES[0]);
}

// The normal and texture coordinate a turret leaves current, when no tank
// was drawn to leave them.
static void leaveTurretAttributes() {
    const TankFace& last = TURRET_FACES[sizeof TURRET_FACES / sizeof TURRET_FACES[0] - 1];
    const float texel = 1.0f / 32.0f;
    glNormal3f(last.nx, last.ny, last.nz);
    glTexCoord2f(last.v[3].s * texel, last.v[3].t * texel);
}

static bool tankHidden(const TankNode* tank, const Frustum* view) {
    return sphereOutsideFrustum(view, tank->position, MODEL_RADIUS * tank->scale + CULL_MARGIN) == 1;
}

void drawTanks(TankList* list, Cube* cube, Terrain* terrain) {
    drawTanksInView(list, cube, terrain, nullptr);
}

// Sets the tank on the ground (writing its height back for the next
// update, hidden or not), turns the body to its heading + 5 and the turret
// toward the cube.
void drawTanksInView(TankList* list, Cube* cube, Terrain* terrain, const Frustum* view) {
    drawnTanks = 0;
    if (!list) return;
    setTankMaterial(list);
    for (TankNode* tank = list->head; tank; tank = tank->next) {
        tank->position.y = getHeightAt(terrain, tank->position.x, tank->position.z);
        if (view && tankHidden(tank, view)) continue;
        const int i = worldToTerrainX(terrain, tank->position.x);
        const int j = worldToTerrainZ(terrain, tank->position.z);
        const float* n = &terrain->normals[i][3 * j];

        glPushMatrix();
        glTranslatef(tank->position.x, tank->position.y, tank->position.z);
        glScalef(tank->scale, tank->scale, tank->scale);
        tiltToGround(vectorInit(n[0], n[1], n[2]));
        glRotatef(tank->heading + 5.0f, 0.0f, 1.0f, 0.0f);
        glCallList(list->bodyList);
        glRotatef(180.0f - findDirection(cube->position, tank->position) - tank->heading, 0.0f, 1.0f, 0.0f);
        glCallList(list->turretList);
        glPopMatrix();
        drawnTanks++;
    }
    if (list->head && drawnTanks == 0) leaveTurretAttributes();
}

int getDrawnTankCount() {
    return drawnTanks;
}
