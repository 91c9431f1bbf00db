// The fixed-function layer's insides, shared by its pieces (web/fixedgl*.cpp):
// its records, the one state record they all work on, and the helpers each
// piece lends the others. The game sees only fixedgl.h.
#ifndef CUBEGAME_WEB_FIXEDGL_STATE_H
#define CUBEGAME_WEB_FIXEDGL_STATE_H

// Natively the shader API comes from Mesa's extension prototypes; they must
// be asked for before GL's header is first read.
#ifndef __EMSCRIPTEN__
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#endif

#include "fixedgl.h"

#include <cstddef>
#include <vector>

const int MATRIX_STACK_DEPTH = 32;
// Uniform locations below this have their last value kept (all of ours do).
const int CACHED_UNIFORMS = 64;

// The vertex attributes, numbered as the program's attribute locations.
enum Attribute { POSITION, NORMAL, COLOUR, TEXCOORD, ATTRIBUTES };

struct Vertex {
    float position[3];
    float normal[3];
    float colour[4];
    float texcoord[2];
};

// What a display list records; every other call runs at once.
enum Op {
    OP_ENABLE, OP_DISABLE, OP_COLOUR, OP_NORMAL, OP_TEXCOORD, OP_MATERIAL, OP_BIND, OP_TEXENV, OP_TEXPARAM,
    OP_PUSH, OP_POP, OP_TRANSLATE, OP_ROTATE, OP_SCALE, OP_DRAW, OP_CALL
};

// One recorded call. A draw names its vertices in the list, its triangles
// as indices into them and, per attribute, the first of its vertices that
// set it (those before take the current value when the list is called).
struct Command {
    Op op;
    GLenum a, b;
    float f[4];
    int first, count;
    int firstIndex, indexCount;
    int explicitFrom[3];
};

// A large list's vertices and triangles also go to GPU buffers (16-bit
// indices); buffer and indexBuffer are 0 for a list drawn through the batch.
struct List {
    std::vector<Command> commands;
    std::vector<Vertex> vertices;
    std::vector<unsigned int> indices;
    GLuint buffer, indexBuffer;
};

struct Material {
    float ambient[4], diffuse[4], specular[4], emission[4];
    float shininess;
};

// What the layer knows of a texture: whether the layer made the name,
// whether it has an image, whether that has alpha, its sampling (in the
// order of SAMPLING_NAMES), and the image as sent, for a restored context.
struct Texture {
    bool named;
    bool complete;
    bool alpha;
    GLint sampling[4];
    std::vector<unsigned char> image;
    GLsizei width, height;
};

const GLenum SAMPLING_NAMES[4] = {GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T, GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER};

// The program and where its uniforms live.
struct Program {
    GLuint id;
    GLint modelView, projection, normalMatrix, lighting, colourMaterial, normalize;
    GLint lightAmbient, lightDiffuse, lightSpecular, lightPosition, sceneAmbient;
    GLint matAmbient, matDiffuse, matSpecular, matEmission, shininess;
    GLint texturing, replace, textureAlpha, mask, sampler, fog, fogStart, fogEnd, fogColour;
};

// The values last sent per uniform location, so only changes are sent.
struct UniformCache {
    float values[CACHED_UNIFORMS][16];
    bool known[CACHED_UNIFORMS];
    // Some state the shader reads changed since the uniforms were last sent.
    bool stale = true;
};

// The state WebGL keeps itself, as the game last set it; WebGL's own
// starting values until then (the scissor box: the viewport's).
struct WebGlState {
    GLfloat clearColour[4] = {0, 0, 0, 0};
    GLboolean depthMask = GL_TRUE;
    GLboolean colourMask[4] = {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE};
    GLenum depthFunc = GL_LESS;
    float depthRange[2] = {0, 1};
    GLenum stencilFunc = GL_ALWAYS;
    GLint stencilRef = 0;
    GLuint stencilMask = ~0u;
    GLenum stencilOps[3] = {GL_KEEP, GL_KEEP, GL_KEEP};
    GLenum cullFace = GL_BACK, frontFace = GL_CCW;
    GLfloat polygonOffset[2] = {0, 0};
    GLint scissor[4];
    GLenum blend[2] = {GL_ONE, GL_ZERO};
    // The capabilities switched on (depth and stencil tests, culling, ...).
    std::vector<GLenum> enabled;
};

// Everything the layer keeps between calls. The GL context holds copies of
// some of it: the program, the stream buffer, the large lists' buffers, the
// textures' images and sampling, and the uniform cache's values; the rest
// lives only here.
struct FixedGlState {
    // Model-view (0) and projection (1) stacks, and which one calls change.
    float stacks[2][MATRIX_STACK_DEPTH][16];
    int depths[2];
    int matrixMode;

    // The current attributes, and those a list's primitive sets while it is
    // compiled (the current ones stay as they were).
    float current[ATTRIBUTES][4] = {{0, 0, 0, 1}, {0, 0, 1, 0}, {1, 1, 1, 1}, {0, 0, 0, 1}};
    float compiling[ATTRIBUTES][4];

    // The capabilities the layer keeps itself, the one light, the front
    // material and the linear fog.
    bool lighting, light0, colourMaterial, fog, normalize, texturing;
    float lightAmbient[4] = {0, 0, 0, 1}, lightDiffuse[4] = {1, 1, 1, 1}, lightSpecular[4] = {1, 1, 1, 1};
    float lightPosition[4] = {0, 0, 1, 0};  // in eye space
    Material material = {{0.2f, 0.2f, 0.2f, 1}, {0.8f, 0.8f, 0.8f, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, 0};
    float fogStart = 0, fogEnd = 1, fogColour[4] = {0, 0, 0, 0};

    // Textures by name, and the pixel store.
    bool replaceMode;
    GLuint boundTexture;
    std::vector<Texture> textures;
    int unpackAlignment = 4;
    std::vector<int> clientAlignments;
    int viewport[4];

    // Display lists by name (0 is never one), and the one being recorded.
    std::vector<List*> lists;
    List* recording;
    GLuint recordingName;

    // The primitive between begin and end, and what it set (for recording).
    GLenum primitive;
    bool inPrimitive;
    std::vector<Vertex> primitiveVertices;
    int explicitFrom[3];

    // Eye-space triangles waiting for the next state change, and room to
    // gather one primitive's or one draw's triangles in.
    std::vector<Vertex> batch;
    std::vector<Vertex> scratch;

    // Made in the GL context on the first call.
    bool started;
    Program program;
    GLuint streamBuffer;
    // Its size and how much of it this round of batches has written, in vertices.
    size_t streamCapacity, streamUsed;
    UniformCache uniforms;

    // The state WebGL keeps itself, as last set, to send again to a
    // restored context.
    WebGlState webgl;
};

extern FixedGlState layer;

// --- fixedgl_shader.cpp
// Makes the program and the stream buffer on the first call; every entry point calls it first.
void start();
// The program, the stream buffer and the attribute arrays, made in the context; no uniform sent yet.
void makeProgram();
// Takes the layer's program back and sends the uniforms that changed.
void sendUniforms();
void setMatrices(const float* modelView);
void pointAttributes(GLuint buffer);

// --- fixedgl_batch.cpp
void drawBatch();
// Puts vertices into the bound stream buffer; the first one's index there.
int streamVertices(const Vertex* v, int count);
// Every change of state the shader reads sends the batch drawn under the old one.
void changeState();
// Adds triangles in object space to the batch, in eye space.
void batchTriangles(const Vertex* v, int count);

// --- fixedgl_lists.cpp
void record(Op op, GLenum a = 0, GLenum b = 0, const float* f = nullptr, int n = 0);
// The primitive just ended, as a draw of the list being recorded.
void recordDraw(const std::vector<int>& triangles);
// A list large enough to stay on the GPU gets its buffers there.
void uploadLargeList(List* list);

// --- fixedgl_matrix.cpp
// The top of the model-view (0) or projection (1) stack.
float* stackTop(int mode);

// --- fixedgl_texture.cpp
Texture* boundTextureRecord();
// Texturing applies only with a complete texture bound; name 0 has no image.
bool texturingActive();

// --- fixedgl_forward.cpp
// Switches a capability WebGL keeps itself.
void forwardCapability(GLenum cap, bool on);
// Sends all of it again, to a restored context.
void resendWebGlState();

// --- fixedgl.cpp
void setMaterial(GLenum face, GLenum pname, const float* params);

#endif
