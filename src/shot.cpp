// Tank shells: the shot list (newest first), ballistics under gravity, hits
// on the cube (shrink and push it), craters where shells sink below the
// ground, and the glowing streak each shell is drawn as.
#include "shot.h"

#include <GL/gl.h>

#include <cstdlib>

const float SHOT_GRAVITY = 200.0f;
const float SHOT_HIT_SHRINK = 7.5f;
const float SHOT_PUSH_PER_MASS = 2750.0f;
const float SHOT_CRATER_AMOUNT = 8.0f;  // a crater 16 units across
const int SHOT_CRATER_MODE = 1;
const float SHOT_MODEL_SCALE = 3.0f;

static void setShotGlow(float r, float g, float b, float a) {
    const GLfloat glow[] = {r, g, b, a};
    glColor4f(r, g, b, a);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, glow);
}

int addShot(ShotList* list, Shot shot) {
    if (!list) return 0;
    shot.id = list->nextId++;
    // A shell whose node cannot be allocated is dropped; the game goes on.
    Shot* node = (Shot*)malloc(sizeof(Shot));
    if (!node) return 0;
    *node = shot;
    node->next = list->head;
    list->head = node;
    return 1;
}

int removeShot(ShotList* list, Shot* shot) {
    if (!list || !shot) return 0;
    const int id = shot->id;
    Shot** link = &list->head;
    while (*link && (*link)->id != id) link = &(*link)->next;
    if (!*link) return 0;
    Shot* found = *link;
    *link = found->next;
    free(found);
    return 1;
}

int destroyShotList(ShotList* list) {
    if (!list) return 1;
    Shot* node = list->head;
    while (node) {
        Shot* next = node->next;
        free(node);
        node = next;
    }
    free(list);
    return 1;
}

// The grid size arguments come with the frame timer's call and are not needed.
void updateShot(ShotList* list, Cube* cube, float dt, int /*width*/, int /*height*/, int /*scale*/) {
    if (!list) return;
    Shot* shot = list->head;
    while (shot) {
        applyShotGravity(shot, dt);
        updateShotPosition(shot, dt);
        Shot* next = shot->next;
        if (checkShotCollision(shot, cube)) removeShot(list, shot);
        shot = next;
    }
}

void applyShotGravity(Shot* shot, float dt) {
    shot->velocity.y -= SHOT_GRAVITY * dt;
}

// Semi-implicit Euler after gravity; shells cover ground at twice their
// stored horizontal velocity.
void updateShotPosition(Shot* shot, float dt) {
    shot->position.x += 2.0f * (shot->velocity.x * dt);
    shot->position.y += shot->velocity.y * dt;
    shot->position.z += 2.0f * (shot->velocity.z * dt);
}

// The cube is hit when the shell lies inside its world-aligned box, in whole
// units; the push acts along the shell's flight at the point of impact.
int checkShotCollision(Shot* shot, Cube* cube) {
    const int dx = (int)(cube->position.x - shot->position.x);
    const int dy = (int)(cube->position.y - shot->position.y);
    const int dz = (int)(cube->position.z - shot->position.z);
    const float half = cube->size / 2;
    const bool inside = -half < dx && dx < half && -half < dz && dz < half && -half < dy && dy < half;
    if (!inside) return 0;
    cube->targetSize -= SHOT_HIT_SHRINK;
    const Vector push = vectorMultiply(normalizeVector(shot->velocity), cube->mass * SHOT_PUSH_PER_MASS);
    applyForce(cube, push, shot->position);
    return 1;
}

// Shells are tested against the ground once per drawn frame: one that sank
// below it explodes into a crater and is gone.
void drawShots(ShotList* list, Terrain* terrain) {
    if (!list) return;
    glDisable(GL_CULL_FACE);
    Shot* shot = list->head;
    while (shot) {
        Shot* next = shot->next;
        const float ground = getHeightAt(terrain, shot->position.x, shot->position.z);
        if (shot->position.y - ground < 0) {
            deformTerrain(terrain, shot->position.x, shot->position.y, shot->position.z, SHOT_CRATER_AMOUNT,
                          SHOT_CRATER_MODE);
            removeShot(list, shot);
        } else {
            glPushMatrix();
            glTranslatef(shot->position.x, shot->position.y, shot->position.z);
            glRotatef((float)shot->angle, 0.0f, 1.0f, 0.0f);
            glScalef(SHOT_MODEL_SCALE, SHOT_MODEL_SCALE, SHOT_MODEL_SCALE);
            drawShot();
            glPopMatrix();
        }
        shot = next;
    }
    glEnable(GL_CULL_FACE);
}

// Two crossed flat triangles (each a quad with a doubled tail vertex), a
// bright orange head at x = +4 tapering to a dark red point at x = -12, lit
// only by their own emission.
void drawShot() {
    const GLfloat none[] = {0.0f, 0.0f, 0.0f, 0.0f};
    const GLfloat head[] = {1.0f, 0.8f, 0.4f, 1.0f};
    glColor4f(head[0], head[1], head[2], head[3]);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, none);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, head);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, none);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, none);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 0.0f);

    glPushMatrix();
    glBegin(GL_QUADS);
    glNormal3f(0.0f, 1.0f, 0.0f);
    glVertex3f(4.0f, 0.0f, 1.0f);
    glVertex3f(4.0f, 0.0f, -1.0f);
    setShotGlow(0.5f, 0.0f, 0.0f, 0.0f);
    glVertex3f(-12.0f, 0.0f, 0.0f);
    glVertex3f(-12.0f, 0.0f, 0.0f);

    setShotGlow(head[0], head[1], head[2], head[3]);
    glNormal3f(1.0f, 0.0f, 0.0f);
    glVertex3f(4.0f, -1.0f, 0.0f);
    glVertex3f(4.0f, 1.0f, 0.0f);
    setShotGlow(0.5f, 0.0f, 0.0f, 0.0f);
    glVertex3f(-12.0f, 0.0f, 0.0f);
    glVertex3f(-12.0f, 0.0f, 0.0f);
    glEnd();
    glPopMatrix();
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, none);
}
