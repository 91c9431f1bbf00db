// The crowd with a real OpenGL context (run under Xvfb): building the list,
// its lines and placement, the person textures, and the drawn figures.
#include <gtest/gtest.h>

#include <GL/gl.h>
#ifndef _WIN32
#include <dlfcn.h>
#endif

#include <cstdint>
#include <cstdlib>
#include <string>

#include "gl_context.h"
#include "main.h"
#include "people.h"
#include "scratch_dir.h"

#ifndef _WIN32
// Display-list names run out on cue (through the loader, so not on Windows).
static bool listNamesRunOut = false;
extern "C" GLuint glGenLists(GLsizei range) {
    static const auto real = (GLuint(*)(GLsizei))dlsym(RTLD_NEXT, "glGenLists");
    return listNamesRunOut ? 0 : real(range);
}
#endif

namespace {

const int WIDTH = 320, HEIGHT = 240;

// An uncompressed TGA of one colour (r, g, b); the first pixel magenta when keyed.
void writePicture(const std::string& name, int w, int h, int depth, uint8_t r, uint8_t g, uint8_t b,
                  bool keyed = false) {
    std::string bytes(18, '\0');
    bytes[2] = depth == 8 ? 3 : 2;
    bytes[12] = (char)w;
    bytes[14] = (char)h;
    bytes[16] = (char)depth;
    for (int p = 0; p < w * h; p++) {
        const bool key = keyed && p == 0;
        if (depth == 8) {
            bytes += (char)r;
            continue;
        }
        bytes += (char)(key ? 255 : b);
        bytes += (char)(key ? 0 : g);
        bytes += (char)(key ? 255 : r);
        if (depth == 32) bytes += (char)255;
    }
    writeFile(name, bytes);
}

std::string headLines(int steprate) {
    return "Initialising People List...\n   ...bucketCount = 250\n   ...steprate = " + std::to_string(steprate) +
           "\n";
}

class CrowdGl : public ::testing::Test {
protected:
    PeopleList* list = nullptr;

    void SetUp() override {
        ASSERT_TRUE(openGlContext(WIDTH, HEIGHT));
        list = (PeopleList*)calloc(1, sizeof(PeopleList));
        ASSERT_NE(nullptr, list);
        TRANSPARENCY = 0;
        VIEW_DISTANCE = 5000;
    }
    void TearDown() override {
        destroyPersonList(list);
        TRANSPARENCY = 0;
        VIEW_DISTANCE = 5000;
    }

    PersonNode* find(int id) {
        for (int i = 0; i < BUCKET_COUNT; i++)
            for (int j = 0; j < BUCKET_COUNT; j++)
                for (PersonNode* n = *list->buckets[i][j]; n; n = n->next)
                    if (n->id == id) return n;
        return nullptr;
    }

    // The pictures are shared and never freed by the list; the test frees them.
    void freePictures(int id) {
        PersonNode* n = find(id);
        ASSERT_NE(nullptr, n);
        tgaDestroy(n->frontImage);
        tgaDestroy(n->backImage);
    }

    int build(int count, int sizex, int sizez, int resolution, std::string* lines) {
        testing::internal::CaptureStderr();
        const int result = makeList(list, count, sizex, sizez, resolution);
        *lines = testing::internal::GetCapturedStderr();
        return result;
    }
};

// Looks straight down -z at x -50 ... 50, y -10 ... 40: 3.2 x 4.8 pixels a unit.
void viewFigures(float clear) {
    glViewport(0, 0, WIDTH, HEIGHT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-50, 50, -10, 40, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_FOG);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glEnable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glClearColor(clear, clear, clear, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// Colour at world (x, y) of the view above.
std::string pixelAt(float x, float y) {
    glFinish();
    uint8_t px[3] = {};
    glReadPixels((int)((x + 50) * 3.2f), (int)((y + 10) * 4.8f), 1, 1, GL_RGB, GL_UNSIGNED_BYTE, px);
    return std::to_string(px[0]) + "," + std::to_string(px[1]) + "," + std::to_string(px[2]);
}

Person personAt(int id, float x, float angle) {
    Person p = {};
    p.id = id;
    p.position = vectorInit(x, 0.0f, 0.0f);
    p.angle = angle;
    return p;
}

TEST_F(CrowdGl, EmptyCrowdHasEveryBucketAndTheFigure) {
    std::string lines;
    ASSERT_EQ(1, build(0, 256, 256, 25, &lines));
    EXPECT_EQ(headLines(25) + "\nInitialising people sizex:256 sizez:256 resolution:25 \n", lines);
    EXPECT_EQ(0, list->count);
    EXPECT_EQ(250, list->bucketCount);
    EXPECT_EQ(25, list->steprate);
    EXPECT_TRUE(glIsList(list->displayList));
    for (int i = 0; i < BUCKET_COUNT; i++)
        for (int j = 0; j < BUCKET_COUNT; j++) {
            ASSERT_NE(nullptr, list->buckets[i][j]);
            ASSERT_EQ(nullptr, *list->buckets[i][j]);
        }
}

TEST_F(CrowdGl, PlacementReplaysFourRandCallsAPerson) {
    // 257 * 25 = 6425 is no multiple of 250: the grid covers 6250 and the
    // uncovered strips are filed into the edge rows and columns.
    const int count = 300, width = 257 * 25, depth = 300 * 25;
    srand(4321);
    std::string lines;
    ASSERT_EQ(1, build(count, 257, 300, 25, &lines));
    EXPECT_EQ(headLines(25) + "\nInitialising people sizex:257 sizez:300 resolution:25 \n", lines);
    EXPECT_EQ(count, list->count);

    srand(4321);
    int edgeFiled = 0;
    for (int id = 0; id < count; id++) {
        const float x = (float)(int)(rand() % width - width / 2.0);
        const float z = (float)(int)(rand() % depth - depth / 2.0);
        const float vx = (float)(rand() % 90 - 45);
        const float vz = (float)(rand() % 90 - 45);
        PersonNode* n = find(id);
        ASSERT_NE(nullptr, n) << "id " << id;
        EXPECT_EQ(x, n->position.x);
        EXPECT_EQ(0.0f, n->position.y);
        EXPECT_EQ(z, n->position.z);
        EXPECT_EQ(vx, n->velocity.x);
        EXPECT_EQ(0.0f, n->velocity.y);
        EXPECT_EQ(vz, n->velocity.z);
        EXPECT_EQ(findDirection(vectorInit(0, 0, 0), vectorInit(vx, 0, vz)), n->angle);
        EXPECT_EQ(0u, n->frontTexture);
        if (z > 3125.0f || z < -3150.0f) {
            const int column = z > 0 ? 249 : 0;
            bool filed = false;
            for (int i = 0; i < BUCKET_COUNT; i++)
                for (PersonNode* m = *list->buckets[i][column]; m; m = m->next) filed |= m == n;
            EXPECT_TRUE(filed) << "id " << id << " z " << z;
            edgeFiled++;
        }
    }
    EXPECT_GT(edgeFiled, 0);
}

TEST_F(CrowdGl, WithoutTransparencyNoPictureIsRead) {
    ScratchDir dir;
    writeFile(dir.file("TexPerson.tga"), "not an image");
    writeFile(dir.file("TexPersonBack.tga"), "not an image");
    std::string lines;
    ASSERT_EQ(1, build(2, 256, 256, 25, &lines));
    EXPECT_EQ(std::string::npos, lines.find("texture"));
    EXPECT_EQ(nullptr, find(1)->frontImage);
    EXPECT_EQ(0u, find(1)->backTexture);
}

TEST_F(CrowdGl, TransparencyLoadsBothKeyedPictures) {
    ScratchDir dir;
    writePicture(dir.file("TexPerson.tga"), 4, 4, 24, 200, 10, 20, true);
    writePicture(dir.file("TexPersonBack.tga"), 8, 2, 24, 30, 40, 50);
    TRANSPARENCY = 1;
    std::string lines;
    ASSERT_EQ(1, build(3, 256, 256, 25, &lines));
    EXPECT_EQ(headLines(25) +
                  "Loading Person texture...\n   ...done\nInitialising texture...\n   ...done\n"
                  "Loading Person Back texture...\n   ...done\nInitialising back texture...\n   ...done\n"
                  "\nInitialising people sizex:256 sizez:256 resolution:25 \n",
              lines);
    EXPECT_EQ(3, list->count);

    PersonNode* n = find(2);
    ASSERT_NE(nullptr, n);
    EXPECT_EQ(find(0)->frontImage, n->frontImage);
    ASSERT_NE(nullptr, n->frontImage);
    ASSERT_NE(nullptr, n->backImage);
    EXPECT_EQ(32, n->frontImage->depth);
    const uint8_t* texel = n->frontImage->data;
    EXPECT_EQ(0, texel[0] + texel[1] + texel[2] + texel[3]);  // the key became transparent black
    EXPECT_EQ(200, texel[4]);
    EXPECT_EQ(255, texel[7]);

    EXPECT_TRUE(glIsTexture(n->frontTexture));
    EXPECT_TRUE(glIsTexture(n->backTexture));
    EXPECT_NE(n->frontTexture, n->backTexture);
    GLint w = 0, h = 0, format = 0;
    glBindTexture(GL_TEXTURE_2D, n->backTexture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(8, w);
    EXPECT_EQ(2, h);
    EXPECT_EQ(GL_RGB, format);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    freePictures(0);
}

TEST_F(CrowdGl, MissingFrontPictureFailsTheBuild) {
    ScratchDir dir;
    TRANSPARENCY = 1;
    std::string lines;
    EXPECT_EQ(0, build(5, 256, 256, 25, &lines));
    EXPECT_EQ(headLines(25) + "Loading Person texture...\n   ...couldn't load TGA\n", lines);
    EXPECT_EQ(0, list->count);
    EXPECT_EQ(0u, list->displayList);
}

TEST_F(CrowdGl, MissingBackPictureFailsAfterTheFront) {
    ScratchDir dir;
    writePicture(dir.file("TexPerson.tga"), 4, 4, 24, 1, 2, 3);
    TRANSPARENCY = 1;
    std::string lines;
    EXPECT_EQ(0, build(5, 256, 256, 25, &lines));
    EXPECT_EQ(headLines(25) +
                  "Loading Person texture...\n   ...done\nInitialising texture...\n   ...done\n"
                  "Loading Person Back texture...\n   ...couldn't load TGA\n",
              lines);
    EXPECT_EQ(0, list->count);
}

TEST_F(CrowdGl, PicturesThatCannotBeKeyedAreRefused) {
    ScratchDir dir;
    TRANSPARENCY = 1;
    const int depths[] = {8, 32};
    for (int depth : depths) {
        writePicture(dir.file("TexPerson.tga"), 4, 4, depth, 9, 9, 9);
        writePicture(dir.file("TexPersonBack.tga"), 4, 4, 24, 9, 9, 9);
        std::string lines;
        EXPECT_EQ(0, build(1, 256, 256, 25, &lines)) << depth << "-bit";
        EXPECT_NE(std::string::npos, lines.find("Loading Person texture...\n   ...couldn't load TGA\n"));
        destroyPersonList(list);
        list = (PeopleList*)calloc(1, sizeof(PeopleList));
        ASSERT_NE(nullptr, list);
    }
    writeFile(dir.file("TexPerson.tga"), std::string("\0\0\x02", 3));  // cut off in the header
    std::string lines;
    EXPECT_EQ(0, build(1, 256, 256, 25, &lines));
}

TEST_F(CrowdGl, LandscapeWithoutExtentCannotHoldPeople) {
    std::string lines;
    EXPECT_EQ(0, build(3, 0, 0, 25, &lines));
    EXPECT_EQ(0, list->count);
}

TEST_F(CrowdGl, HordeDrawsBlackStickFiguresInsideTheWindowOnly) {
    std::string lines;
    ASSERT_EQ(1, build(0, 256, 256, 25, &lines));
    TRANSPARENCY = 1;  // read when compiling only: the figure stays the stick figure
    VIEW_DISTANCE = 25;  // cube at the origin: rows and columns 124 ... 125
    Cube cube = {};
    addPerson(list, personAt(0, 0.0f, 0.0f));
    addPerson(list, personAt(1, 30.0f, 0.0f));  // row 126, the window's far edge

    viewFigures(1.0f);
    drawHorde(list, &cube, &ter);
    EXPECT_EQ(GL_NO_ERROR, glGetError());
    EXPECT_EQ("0,0,0", pixelAt(1.0f, 10.0f));     // body
    EXPECT_EQ("0,0,0", pixelAt(5.0f, 13.0f));     // raised arm on +x
    EXPECT_EQ("255,255,255", pixelAt(-5.0f, 13.0f));
    EXPECT_EQ("0,0,0", pixelAt(-1.0f, 1.5f));     // leg, lifted one unit
    EXPECT_EQ("255,255,255", pixelAt(-1.0f, 0.5f));
    EXPECT_EQ("255,255,255", pixelAt(31.0f, 10.0f));  // not drawn
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_EQ(1.0f, m[0]);
    EXPECT_EQ(0.0f, m[12]);

    find(0)->angle = 180.0f;  // turned about y: the arm swaps sides
    viewFigures(1.0f);
    drawHorde(list, &cube, &ter);
    EXPECT_EQ("255,255,255", pixelAt(5.0f, 13.0f));
    EXPECT_EQ("0,0,0", pixelAt(-5.0f, 13.0f));
}

TEST_F(CrowdGl, TexturedFigureShowsTheBackFromPlusZAndTheFrontFromMinusZ) {
    ScratchDir dir;
    writePicture(dir.file("TexPerson.tga"), 2, 2, 24, 255, 0, 0);
    writePicture(dir.file("TexPersonBack.tga"), 2, 2, 24, 0, 255, 0);
    TRANSPARENCY = 1;
    std::string lines;
    ASSERT_EQ(1, build(1, 256, 256, 25, &lines));
    PersonNode* placed = find(0);
    ASSERT_NE(nullptr, placed);
    // The window of the default draw distance spans the whole grid, so the
    // person can simply be stood at the origin, facing angle 0.
    placed->position = vectorInit(0.0f, 0.0f, 0.0f);
    placed->angle = 0.0f;
    Cube cube = {};

    viewFigures(0.0f);  // the pictures are added to a black background
    drawHorde(list, &cube, &ter);
    EXPECT_EQ("0,255,0", pixelAt(0.0f, 11.0f));
    EXPECT_TRUE(glIsEnabled(GL_FOG));

    find(0)->angle = 180.0f;
    viewFigures(0.0f);
    drawHorde(list, &cube, &ter);
    EXPECT_EQ("255,0,0", pixelAt(0.0f, 11.0f));
    EXPECT_EQ("0,0,0", pixelAt(0.0f, 25.0f));  // above the 20-unit picture

    TRANSPARENCY = 0;  // the figure is what was compiled, whatever the switch says now
    viewFigures(0.0f);
    Frustum everywhere = {};
    for (auto& plane : everywhere.planes) plane[3] = 1e9f;
    drawHordeInView(list, &cube, &ter, &everywhere, true);
    EXPECT_EQ("255,0,0", pixelAt(0.0f, 11.0f));
    freePictures(0);
}

#ifndef _WIN32
TEST_F(CrowdGl, ListNamesRunningOutCompileNothingAndSpareOtherLists) {
    glNewList(1, GL_COMPILE);  // another part's list, such as a terrain block's
    glColor3f(0.25f, 0.5f, 0.75f);
    glEndList();
    glColor3f(0.1f, 0.2f, 0.3f);
    glGetError();
    listNamesRunOut = true;
    std::string lines;
    EXPECT_EQ(1, build(1, 256, 256, 25, &lines));  // the people are there; nothing draws them
    listNamesRunOut = false;
    EXPECT_EQ(0u, list->displayList + list->quadsList);
    EXPECT_EQ(GL_NO_ERROR, glGetError()) << "a list was opened under name 0";
    GLfloat before[4], after[4];
    glGetFloatv(GL_CURRENT_COLOR, before);
    glCallList(1);
    glGetFloatv(GL_CURRENT_COLOR, after);
    EXPECT_FLOAT_EQ(0.1f, before[0]) << "the figure was drawn instead of compiled";
    EXPECT_FLOAT_EQ(0.25f, after[0]) << "list 1 was compiled over";
    glDeleteLists(1, 1);
}
#endif

}  // namespace
