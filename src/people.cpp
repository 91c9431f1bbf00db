// The crowd: people filed in a 250 x 250 bucket grid over the ground plane.
// Builds the crowd at start-up, walks, flees and crushes the people around
// the cube each frame (scoring on the cube, staining the terrain), re-files
// those who changed bucket, and draws them from one compiled figure.
#include "people.h"

#include <GL/gl.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "main.h"

// The grid's row and column 0 lie this many buckets left of the origin.
const double GRID_OFFSET = 125.0;

const int PLACEMENT_SPEED_RANGE = 90;  // start velocities -45 ... 44
const int PLACEMENT_SPEED_OFFSET = 45;

const float FLIGHT_RADIUS = 500.0f;
const double EDGE_MARGIN = 2000.0;
const float TOP_SPEED = 45.0f;
const int TOP_SPEED_UNITS = 45;  // TOP_SPEED in whole units
const int WANDER_ROLL = 100;
const int WANDER_KEEP = 95;  // rolls 1 ... 95 keep the velocity
const int WANDER_STEP_RANGE = 20;  // steps -9 ... 10
const int WANDER_STEP_OFFSET = 9;
const float PICTURE_TURN = 270.0f;
const float PERSON_GRAVITY = 200.0f;

const int CRUSH_POINTS = 10;
const float CRUSH_GROWTH = 1.0f;
const float STAIN_R = 0.6f, STAIN_G = 0.0f, STAIN_B = 0.0f;
const float STAIN_WEIGHT = 0.7f;

const float FEET_LIFT = 1.0f;

// Either figure, turned any way, stays within this reach of its feet across
// the ground and this height above them; the margin covers rounding where
// the view's edges graze it.
const float FIGURE_REACH = 10.0f;
const float FIGURE_HEIGHT = 20.0f;
const float CULL_MARGIN = 1.0f;

const char* const ALLOCATION_FAILED = "...FAILED ALLOCATION OF MEMORY!";

// Stick figure: six quads (arms, body, head, legs) as x, y pairs.
const int STICK_QUADS = 6;
const float STICK_FIGURE[STICK_QUADS][4][2] = {
    {{-2, 10}, {-2, 14}, {-4, 14}, {-4, 10}},
    {{6, 10}, {6, 14}, {4, 14}, {4, 10}},
    {{4, 6}, {4, 12}, {-2, 12}, {-2, 6}},
    {{2, 12}, {2, 14}, {0, 14}, {0, 12}},
    {{0, 0}, {0, 6}, {-2, 6}, {-2, 0}},
    {{4, 0}, {4, 6}, {2, 6}, {2, 0}},
};

// Textured figure: front and back pictures 20 x 20, wound oppositely so
// that culling shows one from each side. Each vertex is x, y, s, t.
const float FRONT_QUAD[4][4] = {{-10, 0, 1, 0}, {-10, 20, 1, 1}, {10, 20, 0, 1}, {10, 0, 0, 0}};
const float BACK_QUAD[4][4] = {{10, 0, 1, 0}, {10, 20, 1, 1}, {-10, 20, 0, 1}, {-10, 0, 0, 0}};

// Buckets visited around the cube: rows x0 <= i < x1, columns z0 <= j < z1.
struct BucketWindow {
    int x0, x1, z0, z1;
};

// How much of a bucket's chain the view holds.
enum BucketSight { BUCKET_HIDDEN, BUCKET_PARTLY, BUCKET_WHOLLY };

static int drawnPeople;

// Walkers' headings by whole-unit velocity (x, z), each worked out once by
// findDirection itself: nearly every walker's velocity is whole units, and
// the arc cosine was a third of the crowd's update.
static float wholeVelocityDirections[2 * TOP_SPEED_UNITS + 1][2 * TOP_SPEED_UNITS + 1];
static bool wholeVelocityDirectionsReady;

// Truncates toward zero. NaN and values beyond int's range give INT_MIN, as
// the processor's own conversion does, so nothing downstream is undefined.
// Not saturating like the shell's read-out: a NaN distance must read as far
// away, never as a crush, and a bucket index as the first bucket.
static int truncateOrIntMin(double value) {
    if (!(value > INT_MIN - 1.0 && value < INT_MAX + 1.0)) return INT_MIN;
    return (int)value;
}

static void fillWholeVelocityDirections() {
    for (int x = -TOP_SPEED_UNITS; x <= TOP_SPEED_UNITS; x++)
        for (int z = -TOP_SPEED_UNITS; z <= TOP_SPEED_UNITS; z++)
            wholeVelocityDirections[x + TOP_SPEED_UNITS][z + TOP_SPEED_UNITS] =
                findDirection(vectorInit(0.0f, 0.0f, 0.0f), vectorInit((float)x, 0.0f, (float)z));
    wholeVelocityDirectionsReady = true;
}

static bool wholeSpeed(float v) {
    return v >= -TOP_SPEED && v <= TOP_SPEED && v == (float)(int)v;
}

// The same value as findDirection from the origin to the velocity. A -0
// component reads the +0 entry, which is equal: acos(-0) is acos(0).
static float walkingDirection(Vector velocity) {
    if (!wholeSpeed(velocity.x) || !wholeSpeed(velocity.z))
        return findDirection(vectorInit(0.0f, 0.0f, 0.0f), velocity);
    if (!wholeVelocityDirectionsReady) fillWholeVelocityDirections();
    return wholeVelocityDirections[(int)velocity.x + TOP_SPEED_UNITS][(int)velocity.z + TOP_SPEED_UNITS];
}

// Unclamped bucket index of one coordinate: coord / steprate + 125. A zero
// steprate yields INT_MIN, which clamps to the first bucket and empties windows.
static int bucketIndex(float coord, int steprate) {
    if (steprate == 0) return INT_MIN;
    return truncateOrIntMin((double)(coord / (float)steprate) + GRID_OFFSET);
}

static int clampBucket(int index) {
    if (index < 0) return 0;
    if (index > BUCKET_COUNT - 1) return BUCKET_COUNT - 1;
    return index;
}

static BucketWindow windowAround(const PeopleList* list, const Cube* cube) {
    const float reach = (float)VIEW_DISTANCE;
    BucketWindow w;
    w.x0 = bucketIndex(cube->position.x - reach, list->steprate);
    w.x1 = bucketIndex(cube->position.x + reach, list->steprate);
    w.z0 = bucketIndex(cube->position.z - reach, list->steprate);
    w.z1 = bucketIndex(cube->position.z + reach, list->steprate);
    if (w.x0 < 0) w.x0 = 0;
    if (w.z0 < 0) w.z0 = 0;
    if (w.x1 > BUCKET_COUNT) w.x1 = BUCKET_COUNT;
    if (w.z1 > BUCKET_COUNT) w.z1 = BUCKET_COUNT;
    return w;
}

// Loads one colour-keyed person picture into its texture. Only a 24-bit
// picture can be keyed and uploaded as RGBA without reading past its pixels.
static int loadPersonTexture(const char* file, const char* headline, const char* uploadLine,
                             TgaImage** image, unsigned int* texture) {
    glGenTextures(1, texture);
    fprintf(stderr, "%s", headline);
    TgaImage* loaded = tgaLoad(file);
    const bool keyable = loaded && loaded->status == TGA_LOADED && loaded->depth == 24 &&
                         loaded->width > 0 && loaded->height > 0 && loaded->data;
    if (keyable) tgaRGBTransparency(loaded);
    if (!keyable || loaded->depth != 32) {
        fprintf(stderr, "   ...couldn't load TGA\n");
        tgaDestroy(loaded);
        return 0;
    }
    *image = loaded;
    fprintf(stderr, "   ...done\n");
    glBindTexture(GL_TEXTURE_2D, *texture);
    fprintf(stderr, "%s", uploadLine);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, loaded->width, loaded->height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 loaded->data);
    fprintf(stderr, "   ...done\n");
    return 1;
}

static int loadPersonTextures(Person* templ) {
    if (!loadPersonTexture("TexPerson.tga", "Loading Person texture...\n", "Initialising texture...\n",
                           &templ->frontImage, &templ->frontTexture))
        return 0;
    if (!loadPersonTexture("TexPersonBack.tga", "Loading Person Back texture...\n",
                           "Initialising back texture...\n", &templ->backImage, &templ->backTexture)) {
        // Nobody will share the front picture now.
        tgaDestroy(templ->frontImage);
        templ->frontImage = nullptr;
        return 0;
    }
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
    return 1;
}

static int allocateBuckets(PeopleList* list) {
    for (int i = 0; i < list->bucketCount; i++) {
        for (int j = 0; j < list->bucketCount; j++) {
            PersonNode** head = (PersonNode**)malloc(sizeof(PersonNode*));
            if (!head) {
                fprintf(stderr, "ERROR FAILED ALLOCATION AT %d:%d\n", i, j);
                return 0;
            }
            *head = nullptr;
            list->buckets[i][j] = head;
        }
    }
    return 1;
}

// Four rand() calls a person, in this order: x, z, velocity x, velocity z.
static void placePerson(Person* templ, int width, int depth) {
    const int x = truncateOrIntMin(rand() % width - width / 2.0);
    const int z = truncateOrIntMin(rand() % depth - depth / 2.0);
    templ->position = vectorInit((float)x, 0.0f, (float)z);
    templ->velocity.x = (float)(rand() % PLACEMENT_SPEED_RANGE - PLACEMENT_SPEED_OFFSET);
    templ->velocity.z = (float)(rand() % PLACEMENT_SPEED_RANGE - PLACEMENT_SPEED_OFFSET);
    templ->velocity.y = 0.0f;
    templ->angle = findDirection(vectorInit(0.0f, 0.0f, 0.0f), templ->velocity);
}

static void freeChain(PersonNode* node) {
    while (node) {
        PersonNode* next = node->next;
        free(node);
        node = next;
    }
}

static void pushNode(PersonNode** head, PersonNode* node) {
    node->next = *head;
    *head = node;
}

static PersonNode* copyNode(const PersonNode* person, int bucketX, int bucketZ) {
    PersonNode* node = (PersonNode*)malloc(sizeof(PersonNode));
    if (!node) return nullptr;
    *node = *person;
    node->bucketX = bucketX;
    node->bucketZ = bucketZ;
    node->next = nullptr;
    return node;
}

// Queues a crushed person for removal and stains the ground under it.
static void queueCrushed(PersonNode** removals, PersonNode* person, int i, int j, Terrain* terrain) {
    PersonNode* removal = copyNode(person, i, j);
    if (!removal) {
        fprintf(stderr, "%s", ALLOCATION_FAILED);
        return;
    }
    colourTerrain(terrain, person->position.x, person->position.y, person->position.z, STAIN_R, STAIN_G,
                  STAIN_B, STAIN_WEIGHT);
    pushNode(removals, removal);
}

// Queues a person who left bucket [i][j] to be taken out and filed anew.
static void queueMoved(PersonNode** removals, PersonNode** additions, PersonNode* person, int i, int j) {
    PersonNode* removal = copyNode(person, i, j);
    PersonNode* addition = copyNode(person, i, j);
    if (!removal || !addition) {
        fprintf(stderr, "%s", ALLOCATION_FAILED);
        free(removal);
        free(addition);
        return;
    }
    pushNode(removals, removal);
    pushNode(additions, addition);
}

static void updateBucket(PeopleList* list, int i, int j, Cube* cube, float dt, Terrain* terrain,
                         PersonNode** removals, PersonNode** additions) {
    for (PersonNode* node = *list->buckets[i][j]; node; node = node->next) {
        updateAI(node, cube, terrain->width, truncateOrIntMin(terrain->scale));
        updatePersonPosition(node, terrain, dt);
        if (checkPersonCollision(*node, cube))
            queueCrushed(removals, node, i, j, terrain);
        else if (needUpdate(*node, i, j, list->steprate))
            queueMoved(removals, additions, node, i, j);
    }
}

static void applyRemovals(PeopleList* list, PersonNode** removals) {
    PersonNode* node = *removals;
    while (node) {
        PersonNode* next = node->next;
        removePerson(list, *node, node->bucketX, node->bucketZ);
        free(node);
        node = next;
    }
    free(removals);
}

static void applyAdditions(PeopleList* list, PersonNode** additions) {
    PersonNode* node = *additions;
    while (node) {
        PersonNode* next = node->next;
        addPerson(list, *node);
        free(node);
        node = next;
    }
    free(additions);
}

static void stickFigureQuads() {
    glBegin(GL_QUADS);
    for (int q = 0; q < STICK_QUADS; q++)
        for (int v = 0; v < 4; v++) glVertex3f(STICK_FIGURE[q][v][0], STICK_FIGURE[q][v][1], 0.0f);
    glEnd();
}

static void setStickFigureState() {
    glColor3f(0.0f, 0.0f, 0.0f);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
}

static void restoreStickFigureState() {
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
}

static void drawStickFigure() {
    setStickFigureState();
    stickFigureQuads();
    restoreStickFigureState();
}

// A list of its own for each, so that a name that cannot be had leaves only
// its own compile undone. Under name 0 the list would be refused and its
// commands drawn at once, so nothing is issued then.
static unsigned int compileFigure(Person* templ) {
    const unsigned int name = glGenLists(1);
    if (name == 0) return 0;
    glNewList(name, GL_COMPILE);
    drawPerson(templ);
    glEndList();
    return name;
}

// The quads go through a list like the figure, since a list may split them
// into triangles otherwise than the driver splits quads given one by one,
// and the depths follow the split.
static unsigned int compileStickQuads() {
    const unsigned int name = glGenLists(1);
    if (name == 0) return 0;
    glNewList(name, GL_COMPILE);
    stickFigureQuads();
    glEndList();
    return name;
}

static void drawPicture(unsigned int texture, const float quad[4][4]) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glBegin(GL_QUADS);
    for (int v = 0; v < 4; v++) {
        glTexCoord2f(quad[v][2], quad[v][3]);
        glVertex3f(quad[v][0], quad[v][1], 0.0f);
    }
    glEnd();
}

// The pictures are RGB textures, so the fragment alpha is the colour's 0 and
// the blending adds them over the background; keyed texels are black.
static void drawTexturedFigure(const Person* person) {
    glColor4f(0.0f, 0.0f, 0.0f, 0.0f);
    glDisable(GL_FOG);
    drawPicture(person->frontTexture, FRONT_QUAD);
    drawPicture(person->backTexture, BACK_QUAD);
    glBindTexture(GL_TEXTURE_2D, 0);
    glEnable(GL_FOG);
}

// The box of every figure in the chain, from the people themselves, so it
// holds wherever they stand (edge buckets keep those beyond the grid).
static BucketSight seeBucket(const PersonNode* first, const Frustum* view) {
    Vector lo = first->position;
    Vector hi = first->position;
    for (const PersonNode* node = first->next; node; node = node->next) {
        const Vector p = node->position;
        if (p.x < lo.x) lo.x = p.x;
        if (p.x > hi.x) hi.x = p.x;
        if (p.y < lo.y) lo.y = p.y;
        if (p.y > hi.y) hi.y = p.y;
        if (p.z < lo.z) lo.z = p.z;
        if (p.z > hi.z) hi.z = p.z;
    }
    lo = vectorInit(lo.x - FIGURE_REACH, lo.y + FEET_LIFT, lo.z - FIGURE_REACH);
    hi = vectorInit(hi.x + FIGURE_REACH, hi.y + FEET_LIFT + FIGURE_HEIGHT, hi.z + FIGURE_REACH);
    if (boxOutsideFrustum(view, lo, hi, CULL_MARGIN)) return BUCKET_HIDDEN;
    if (boxInsideFrustum(view, lo, hi, CULL_MARGIN)) return BUCKET_WHOLLY;
    return BUCKET_PARTLY;
}

static bool figureHidden(const PersonNode* node, const Frustum* view) {
    const Vector p = node->position;
    const Vector lo = vectorInit(p.x - FIGURE_REACH, p.y + FEET_LIFT, p.z - FIGURE_REACH);
    const Vector hi = vectorInit(p.x + FIGURE_REACH, p.y + FEET_LIFT + FIGURE_HEIGHT, p.z + FIGURE_REACH);
    return boxOutsideFrustum(view, lo, hi, CULL_MARGIN) == 1;
}

static void drawFigure(unsigned int figure, const PersonNode* node) {
    glPushMatrix();
    glTranslatef(node->position.x, node->position.y + FEET_LIFT, node->position.z);
    glRotatef(node->angle, 0.0f, 1.0f, 0.0f);
    glCallList(figure);
    glPopMatrix();
    drawnPeople++;
}

// The figures of one bucket that the view may hold.
static void drawVisibleFigures(unsigned int figure, const PersonNode* first, const Frustum* view) {
    const BucketSight sight = seeBucket(first, view);
    if (sight == BUCKET_HIDDEN) return;
    for (const PersonNode* node = first; node; node = node->next)
        if (sight == BUCKET_WHOLLY || !figureHidden(node, view)) drawFigure(figure, node);
}

int makeList(PeopleList* list, int count, int sizex, int sizez, int resolution) {
    if (!list) return 0;
    list->count = 0;
    list->bucketCount = BUCKET_COUNT;
    list->steprate = sizex * resolution / BUCKET_COUNT;
    fprintf(stderr, "Initialising People List...\n   ...bucketCount = %d\n   ...steprate = %d\n", list->bucketCount,
            list->steprate);
    if (!allocateBuckets(list)) return 0;

    Person templ = {};
    if (TRANSPARENCY == 1 && !loadPersonTextures(&templ)) return 0;

    list->displayList = compileFigure(&templ);
    list->quadsList = TRANSPARENCY == 1 ? 0 : compileStickQuads();

    fprintf(stderr, "\nInitialising people sizex:%d sizez:%d resolution:%d \n", sizex, sizez, resolution);
    const int width = sizex * resolution;
    const int depth = sizez * resolution;
    // A landscape without extent has nowhere to put anybody (and rand() % 0 is undefined).
    if (count > 0 && (width <= 0 || depth <= 0)) return 0;
    for (int i = 0; i < count; i++) {
        initPerson(&templ);
        templ.id = i;
        placePerson(&templ, width, depth);
        addPerson(list, templ);
    }
    return 1;
}

void initPerson(Person* person) {
    person->position = vectorInit(0.0f, 0.0f, 0.0f);
    person->velocity = vectorInit(0.0f, 0.0f, 0.0f);
    person->angle = 0.0f;
}

int addPerson(PeopleList* list, Person person) {
    PersonNode* node = (PersonNode*)malloc(sizeof(PersonNode));
    if (!node) {
        fprintf(stderr, "%s", ALLOCATION_FAILED);
        return 0;
    }
    static_cast<Person&>(*node) = person;
    node->bucketX = 0;
    node->bucketZ = 0;
    const int bx = getPersonBucket(list, person.position.x);
    const int bz = getPersonBucket(list, person.position.z);
    pushNode(list->buckets[bx][bz], node);
    list->count++;
    return 1;
}

int removePerson(PeopleList* list, Person person, int bucketX, int bucketZ) {
    const bool inGrid = bucketX >= 0 && bucketX < BUCKET_COUNT && bucketZ >= 0 && bucketZ < BUCKET_COUNT;
    if (inGrid && list->buckets[bucketX][bucketZ]) {
        for (PersonNode** link = list->buckets[bucketX][bucketZ]; *link; link = &(*link)->next) {
            if ((*link)->id != person.id) continue;
            PersonNode* found = *link;
            *link = found->next;
            free(found);
            list->count--;
            return 1;
        }
    }
    fprintf(stderr, "FAILED TO FIND PERSON!!!\n");
    return 0;
}

// A debugging walk over every chain; it prints nothing.
int displayPersonList(PeopleList* list) {
    for (int i = 0; i < list->bucketCount; i++)
        for (int j = 0; j < list->bucketCount; j++)
            if (list->buckets[i][j])
                for (PersonNode* node = *list->buckets[i][j]; node; node = node->next) {
                }
    return 1;
}

// Head cells after a failed allocation were never made and stay null.
int destroyPersonList(PeopleList* list) {
    if (!list) return 1;
    for (int i = 0; i < BUCKET_COUNT; i++) {
        for (int j = 0; j < BUCKET_COUNT; j++) {
            if (!list->buckets[i][j]) continue;
            freeChain(*list->buckets[i][j]);
            free(list->buckets[i][j]);
        }
    }
    free(list);
    return 1;
}

// Re-filing waits until after the pass, so no chain changes while it is walked.
void updatePerson(PeopleList* list, Cube* cube, float dt, Terrain* terrain) {
    const BucketWindow w = windowAround(list, cube);
    PersonNode** removals = (PersonNode**)malloc(sizeof(PersonNode*));
    PersonNode** additions = (PersonNode**)malloc(sizeof(PersonNode*));
    if (!removals || !additions) {
        printf("Failed to allocate memory to remove list\n");
        free(removals);
        free(additions);
        return;
    }
    *removals = nullptr;
    *additions = nullptr;
    for (int i = w.x0; i < w.x1; i++)
        for (int j = w.z0; j < w.z1; j++) updateBucket(list, i, j, cube, dt, terrain, removals, additions);
    applyRemovals(list, removals);
    applyAdditions(list, additions);
}

// Flee straight away from the cube when near it, unless close to the edge;
// otherwise wander. The flee offset is left unscaled: the clamp makes it full speed.
void updateAI(Person* person, Cube* cube, int sizex, int resolution) {
    const int extent = sizex * resolution;
    const int hi = truncateOrIntMin(extent * 0.5 - EDGE_MARGIN);
    const int lo = truncateOrIntMin(extent * -0.5 + EDGE_MARGIN);
    const float dx = person->position.x - cube->position.x;
    const float dz = person->position.z - cube->position.z;
    const bool inside = lo < person->position.x && person->position.x < hi && lo < person->position.z &&
                        person->position.z < hi;
    // Either offset alone at the radius already puts the distance there;
    // most of the crowd is settled by that, without the square root.
    const bool near = fabsf(dx) < FLIGHT_RADIUS && fabsf(dz) < FLIGHT_RADIUS && pithag(dx, dz) < FLIGHT_RADIUS;
    if (near && inside) {
        person->velocity.x = dx;
        person->velocity.z = dz;
        return;
    }
    if (rand() % WANDER_ROLL + 1 <= WANDER_KEEP) return;
    person->velocity.x += (float)(rand() % WANDER_STEP_RANGE - WANDER_STEP_OFFSET);
    person->velocity.z += (float)(rand() % WANDER_STEP_RANGE - WANDER_STEP_OFFSET);
}

static float clampSpeed(float v) {
    if (v > TOP_SPEED) return TOP_SPEED;
    if (v < -TOP_SPEED) return -TOP_SPEED;
    return v;
}

// The ground height is sampled between the two steps: at the new x, the old z.
void updatePersonPosition(Person* person, Terrain* terrain, float dt) {
    person->velocity.x = clampSpeed(person->velocity.x);
    person->velocity.z = clampSpeed(person->velocity.z);

    const float extent = (float)terrain->width * terrain->scale;
    const int hi = truncateOrIntMin(extent * 0.5 - EDGE_MARGIN);
    const int lo = truncateOrIntMin(extent * -0.5 + EDGE_MARGIN);
    if (person->position.x > hi) {
        person->velocity.x = -TOP_SPEED;
        person->velocity.z = 0.0f;
    } else if (person->position.x < lo) {
        person->velocity.x = TOP_SPEED;
        person->velocity.z = 0.0f;
    }
    // Checked second, so at a corner the person walks straight along z.
    if (person->position.z > hi) {
        person->velocity.z = -TOP_SPEED;
        person->velocity.x = 0.0f;
    } else if (person->position.z < lo) {
        person->velocity.z = TOP_SPEED;
        person->velocity.x = 0.0f;
    }

    person->angle = PICTURE_TURN - walkingDirection(person->velocity);
    person->position.x += person->velocity.x * dt;
    person->position.y = getHeightAt(terrain, person->position.x, person->position.z);
    person->position.z += person->velocity.z * dt;
}

int needUpdate(Person person, int bucketX, int bucketZ, int steprate) {
    const int bx = bucketIndex(person.position.x, steprate);
    const int bz = bucketIndex(person.position.z, steprate);
    return bx == bucketX && bz == bucketZ ? 0 : 1;
}

int getPersonBucket(const PeopleList* list, float coord) {
    return clampBucket(bucketIndex(coord, list->steprate));
}

// The box is as wide and deep as the cube and reaches a whole edge above and
// below its centre; distances are truncated to whole units first.
int checkPersonCollision(Person person, Cube* cube) {
    const int dx = truncateOrIntMin(cube->position.x - person.position.x);
    const int dy = truncateOrIntMin(cube->position.y - person.position.y);
    const int dz = truncateOrIntMin(cube->position.z - person.position.z);
    const float half = cube->size / 2;
    const float s = cube->size;
    if (!(-half < dx && dx < half && -s < dy && dy < s && -half < dz && dz < half)) return 0;
    cube->targetSize += CRUSH_GROWTH;
    cube->points += CRUSH_POINTS;
    return 1;
}

void applyPersonGravity(Person* person, float dt) {
    person->velocity.y -= dt * PERSON_GRAVITY;
}

void drawPerson(Person* person) {
    if (TRANSPARENCY == 1)
        drawTexturedFigure(person);
    else
        drawStickFigure();
}

void drawHorde(PeopleList* list, Cube* cube, Terrain* terrain) {
    drawHordeInView(list, cube, terrain, nullptr, false);
}

// With stateOnce, the compiled stick figure's state is set once for the
// whole crowd rather than in each figure: every change of it costs the
// driver more than the figure's quads. The quads and their order stay the
// same. A crowd whose figure could not be compiled draws nothing either way.
void drawHordeInView(PeopleList* list, Cube* cube, Terrain*, const Frustum* view, bool stateOnce) {
    drawnPeople = 0;
    if (list->steprate == 0) {
        fprintf(stderr, "drawHorde Error\n");
        return;
    }
    stateOnce = stateOnce && list->displayList != 0 && list->quadsList != 0;
    const unsigned int figure = stateOnce ? list->quadsList : list->displayList;
    if (stateOnce) setStickFigureState();
    const BucketWindow w = windowAround(list, cube);
    for (int i = w.x0; i < w.x1; i++) {
        for (int j = w.z0; j < w.z1; j++) {
            const PersonNode* first = *list->buckets[i][j];
            if (!first) continue;
            if (view) {
                drawVisibleFigures(figure, first, view);
                continue;
            }
            for (const PersonNode* node = first; node; node = node->next) drawFigure(figure, node);
        }
    }
    if (stateOnce) restoreStickFigureState();
}

int getDrawnPeopleCount() {
    return drawnPeople;
}
