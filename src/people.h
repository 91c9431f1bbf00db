// The crowd: people filed in a fixed 250 x 250 bucket grid over the ground
// plane, their wandering, fleeing and crushing, and their drawing.
#ifndef CUBEGAME_PEOPLE_H
#define CUBEGAME_PEOPLE_H

#include "cube.h"
#include "image.h"
#include "terrain.h"
#include "util.h"

const int BUCKET_COUNT = 250;

struct Person {
    int id;
    Vector position;
    Vector velocity;
    float angle;
    TgaImage* frontImage;
    unsigned int frontTexture;
    TgaImage* backImage;
    unsigned int backTexture;
};

struct PersonNode : Person {
    int bucketX;
    int bucketZ;
    PersonNode* next;
};

struct PeopleList {
    int count;
    // Each entry points to its own head cell, which holds the bucket's first node.
    PersonNode** buckets[BUCKET_COUNT][BUCKET_COUNT];
    int bucketCount;
    int steprate;
    unsigned int displayList;
    // The stick figure's quads alone, to draw with its state set once for
    // the crowd; 0 when the figure compiled is not the stick figure.
    unsigned int quadsList;
};

int makeList(PeopleList* list, int count, int sizex, int sizez, int resolution);
void initPerson(Person* person);
int addPerson(PeopleList* list, Person person);
int removePerson(PeopleList* list, Person person, int bucketX, int bucketZ);
int displayPersonList(PeopleList* list);
int destroyPersonList(PeopleList* list);

void updatePerson(PeopleList* list, Cube* cube, float dt, Terrain* terrain);
void updateAI(Person* person, Cube* cube, int sizex, int resolution);
void updatePersonPosition(Person* person, Terrain* terrain, float dt);
int needUpdate(Person person, int bucketX, int bucketZ, int steprate);
// The row (or column) of the grid a person at this x (or z) is filed in:
// coord / steprate + 125, clamped to the grid.
int getPersonBucket(const PeopleList* list, float coord);
int checkPersonCollision(Person person, Cube* cube);
void applyPersonGravity(Person* person, float dt);

void drawPerson(Person* person);
void drawHorde(PeopleList* list, Cube* cube, Terrain* terrain);
// drawHorde, leaving out the people wholly outside the view when given one;
// with `stateOnce`, a stick figure's state is set once for them all rather
// than in each figure (the same pixels).
void drawHordeInView(PeopleList* list, Cube* cube, Terrain* terrain, const Frustum* view, bool stateOnce);
// People the last drawHorde drew.
int getDrawnPeopleCount();

#endif
