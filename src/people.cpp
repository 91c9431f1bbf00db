// people: placeholder bodies, replaced as the module is written.
#include "people.h"

int makeList(PeopleList* list, int count, int sizex, int sizez, int resolution) { return {}; }
void initPerson(Person* person) { }
int addPerson(PeopleList* list, Person person) { return {}; }
int removePerson(PeopleList* list, Person person, int bucketX, int bucketZ) { return {}; }
int displayPersonList(PeopleList* list) { return {}; }
int destroyPersonList(PeopleList* list) { return {}; }
void updatePerson(PeopleList* list, Cube* cube, float dt, Terrain* terrain) { }
void updateAI(Person* person, Cube* cube, int sizex, int resolution) { }
void updatePersonPosition(Person* person, Terrain* terrain, float dt) { }
int needUpdate(Person person, int bucketX, int bucketZ, int steprate) { return {}; }
int checkPersonCollision(Person person, Cube* cube) { return {}; }
void applyPersonGravity(Person* person, float dt) { }
void drawPerson(Person* person) { }
void drawHorde(PeopleList* list, Cube* cube, Terrain* terrain) { }
