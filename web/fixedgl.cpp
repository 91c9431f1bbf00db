// Fixed-function OpenGL over shaders: the game's state calls land in one
// record here, its primitives become triangles, and one shader pair lights,
// textures and fogs them per vertex and fragment as the fixed pipeline does.
// Small primitives are carried to eye space here and sent in one batch per
// state; large display lists (the terrain blocks) stay in their own buffers.
// Natively the shader API comes from Mesa's extension prototypes.
#ifndef __EMSCRIPTEN__
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#endif

#include "fixedgl.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "glmatrix.h"

const int MATRIX_STACK_DEPTH = 32;
// Lists with more vertices than this stay on the GPU; smaller ones join the batch.
const int STATIC_LIST_VERTICES = 512;

enum Attribute { POSITION, NORMAL, COLOUR, TEXCOORD, ATTRIBUTES };

struct Vertex {
    float position[3];
    float normal[3];
    float colour[4];
    float texcoord[2];
};

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

// A large list's vertices and triangles stay in GPU buffers (16-bit indices).
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

// What the layer knows of a texture: whether it has an image, whether that
// has alpha, and its sampling (wrap S, wrap T, minification, magnification).
struct Texture {
    bool complete;
    bool alpha;
    GLint sampling[4];
};

const Texture NEW_TEXTURE = {false, false, {GL_REPEAT, GL_REPEAT, GL_NEAREST_MIPMAP_LINEAR, GL_LINEAR}};

struct Program {
    GLuint id;
    GLint modelView, projection, normalMatrix, lighting, colourMaterial, normalize;
    GLint lightAmbient, lightDiffuse, lightSpecular, lightPosition, sceneAmbient;
    GLint matAmbient, matDiffuse, matSpecular, matEmission, shininess;
    GLint texturing, replace, textureAlpha, mask, sampler, fog, fogStart, fogEnd, fogColour;
};

// ---------------------------------------------------------------- file state

int fglFault;

static float stacks[2][MATRIX_STACK_DEPTH][16];
static int depths[2];
static int matrixMode;  // 0 model-view, 1 projection
static float current[ATTRIBUTES][4] = {{0, 0, 0, 1}, {0, 0, 1, 0}, {1, 1, 1, 1}, {0, 0, 0, 1}};
// The attributes a list's primitive sets while it is compiled.
static float compiling[ATTRIBUTES][4];
static bool lighting, light0, colourMaterial, fog, normalize, texturing;
static float lightAmbient[4] = {0, 0, 0, 1}, lightDiffuse[4] = {1, 1, 1, 1}, lightSpecular[4] = {1, 1, 1, 1};
static float lightPosition[4] = {0, 0, 1, 0};
static Material material = {{0.2f, 0.2f, 0.2f, 1}, {0.8f, 0.8f, 0.8f, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, 0};
static float fogStart = 0, fogEnd = 1, fogColour[4] = {0, 0, 0, 0};
static bool replaceMode;
static GLuint boundTexture;
static std::vector<Texture> textures;
static int unpackAlignment = 4;
static std::vector<int> clientAlignments;
static int viewport[4];

static std::vector<List*> lists;
static List* recording;
static GLuint recordingName;
static bool started;
static Program program;
static GLuint streamBuffer;

// The primitive between begin and end, and what it set (for recording).
static GLenum primitive;
static bool inPrimitive;
static std::vector<Vertex> primitiveVertices;
static int explicitFrom[3];

// Eye-space triangles waiting for the next state change.
static std::vector<Vertex> batch;
static std::vector<Vertex> scratch;
static bool uniformsStale = true;

static const char* VERTEX_SHADER = R"(
attribute vec3 aPosition;
attribute vec3 aNormal;
attribute vec4 aColour;
attribute vec2 aTexcoord;
uniform mat4 uModelView;
uniform mat4 uProjection;
uniform mat3 uNormalMatrix;
uniform float uLighting, uColourMaterial, uNormalize;
uniform vec4 uLightAmbient, uLightDiffuse, uLightSpecular, uLightPosition, uSceneAmbient;
uniform vec4 uMatAmbient, uMatDiffuse, uMatSpecular, uMatEmission;
uniform float uShininess;
varying vec4 vColour;
varying vec2 vTexcoord;
varying float vFogDepth;
void main() {
    vec4 eye = uModelView * vec4(aPosition, 1.0);
    gl_Position = uProjection * eye;
    vTexcoord = aTexcoord;
    vFogDepth = abs(eye.z);
    vColour = aColour;
    if (uLighting > 0.5) {
        vec4 ambient = uColourMaterial > 0.5 ? aColour : uMatAmbient;
        vec4 diffuse = uColourMaterial > 0.5 ? aColour : uMatDiffuse;
        vec3 n = uNormalMatrix * aNormal;
        if (uNormalize > 0.5) n = normalize(n);
        vec3 l = uLightPosition.w == 0.0 ? normalize(uLightPosition.xyz) : normalize(uLightPosition.xyz - eye.xyz);
        float nl = max(dot(n, l), 0.0);
        vec3 c = uMatEmission.rgb + ambient.rgb * uSceneAmbient.rgb + ambient.rgb * uLightAmbient.rgb
               + nl * diffuse.rgb * uLightDiffuse.rgb;
        if (nl > 0.0) {
            float nh = max(dot(n, normalize(l + vec3(0.0, 0.0, 1.0))), 0.0);
            float power = uShininess > 0.0 ? pow(nh, uShininess) : 1.0;
            c += power * uMatSpecular.rgb * uLightSpecular.rgb;
        }
        vColour = vec4(clamp(c, 0.0, 1.0), diffuse.a);
    }
}
)";

static const char* FRAGMENT_SHADER = R"(
uniform float uTexturing, uReplace, uTextureAlpha, uMask, uFog;
uniform sampler2D uSampler;
uniform float uFogStart, uFogEnd;
uniform vec4 uFogColour;
varying vec4 vColour;
varying vec2 vTexcoord;
varying float vFogDepth;
void main() {
    vec4 c = vColour;
    if (uMask > 0.5) {
        if (texture2D(uSampler, vTexcoord).a < 0.5) discard;
    } else if (uTexturing > 0.5) {
        vec4 t = texture2D(uSampler, vTexcoord);
        if (uTextureAlpha < 0.5) t.a = 1.0;
        c = uReplace > 0.5 ? vec4(t.rgb, uTextureAlpha > 0.5 ? t.a : c.a) : c * t;
    }
    if (uFog > 0.5) {
        float f = clamp((uFogEnd - vFogDepth) / (uFogEnd - uFogStart), 0.0, 1.0);
        c.rgb = mix(uFogColour.rgb, c.rgb, f);
    }
    gl_FragColor = c;
}
)";

// ---------------------------------------------------------------- helpers

static float (*attributes())[4] {
    return recording ? compiling : current;
}

static float* top() {
    return stacks[matrixMode][depths[matrixMode]];
}

static GLuint compile(GLenum kind, const char* body) {
#ifdef __EMSCRIPTEN__
    const char* header = "precision highp float;\n";
#else
    const char* header = "#version 120\n";
#endif
    const char* sources[2] = {header, body};
    GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 2, sources, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024];
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        fprintf(stderr, "fixed-function shader: %s\n", log);
    }
    return shader;
}

static void start() {
    if (started) return;
    started = true;
    for (int m = 0; m < 2; ++m) mat4Identity(stacks[m][0]);
    program.id = glCreateProgram();
    glAttachShader(program.id, compile(GL_VERTEX_SHADER, VERTEX_SHADER));
    glAttachShader(program.id, compile(GL_FRAGMENT_SHADER, FRAGMENT_SHADER));
    glBindAttribLocation(program.id, POSITION, "aPosition");
    glBindAttribLocation(program.id, NORMAL, "aNormal");
    glBindAttribLocation(program.id, COLOUR, "aColour");
    glBindAttribLocation(program.id, TEXCOORD, "aTexcoord");
    glLinkProgram(program.id);
    glUseProgram(program.id);
    GLuint p = program.id;
    program.modelView = glGetUniformLocation(p, "uModelView");
    program.projection = glGetUniformLocation(p, "uProjection");
    program.normalMatrix = glGetUniformLocation(p, "uNormalMatrix");
    program.lighting = glGetUniformLocation(p, "uLighting");
    program.colourMaterial = glGetUniformLocation(p, "uColourMaterial");
    program.normalize = glGetUniformLocation(p, "uNormalize");
    program.lightAmbient = glGetUniformLocation(p, "uLightAmbient");
    program.lightDiffuse = glGetUniformLocation(p, "uLightDiffuse");
    program.lightSpecular = glGetUniformLocation(p, "uLightSpecular");
    program.lightPosition = glGetUniformLocation(p, "uLightPosition");
    program.sceneAmbient = glGetUniformLocation(p, "uSceneAmbient");
    program.matAmbient = glGetUniformLocation(p, "uMatAmbient");
    program.matDiffuse = glGetUniformLocation(p, "uMatDiffuse");
    program.matSpecular = glGetUniformLocation(p, "uMatSpecular");
    program.matEmission = glGetUniformLocation(p, "uMatEmission");
    program.shininess = glGetUniformLocation(p, "uShininess");
    program.texturing = glGetUniformLocation(p, "uTexturing");
    program.replace = glGetUniformLocation(p, "uReplace");
    program.textureAlpha = glGetUniformLocation(p, "uTextureAlpha");
    program.mask = glGetUniformLocation(p, "uMask");
    program.sampler = glGetUniformLocation(p, "uSampler");
    program.fog = glGetUniformLocation(p, "uFog");
    program.fogStart = glGetUniformLocation(p, "uFogStart");
    program.fogEnd = glGetUniformLocation(p, "uFogEnd");
    program.fogColour = glGetUniformLocation(p, "uFogColour");
    glUniform1i(program.sampler, 0);
    glGenBuffers(1, &streamBuffer);
    for (int a = 0; a < ATTRIBUTES; ++a) glEnableVertexAttribArray(a);
    glGetIntegerv(GL_VIEWPORT, viewport);
}

// Uniforms are sent only when their values change: each one sent costs the
// browser a command and the renderer a fresh upload before the next draw.
const int CACHED_UNIFORMS = 64;
static float uniformValues[CACHED_UNIFORMS][16];
static bool uniformKnown[CACHED_UNIFORMS];

static bool unchanged(GLint location, const float* value, int count) {
    if (location < 0 || location >= CACHED_UNIFORMS) return false;
    if (uniformKnown[location] && memcmp(uniformValues[location], value, count * sizeof(float)) == 0) return true;
    memcpy(uniformValues[location], value, count * sizeof(float));
    uniformKnown[location] = true;
    return false;
}

static void uniform1(GLint location, float value) {
    if (!unchanged(location, &value, 1)) glUniform1f(location, value);
}

static void uniform4(GLint location, const float* value) {
    if (!unchanged(location, value, 4)) glUniform4fv(location, 1, value);
}

static void uniformMatrix4(GLint location, const float* value) {
    if (!unchanged(location, value, 16)) glUniformMatrix4fv(location, 1, GL_FALSE, value);
}

static void uniformMatrix3(GLint location, const float* value) {
    if (!unchanged(location, value, 9)) glUniformMatrix3fv(location, 1, GL_FALSE, value);
}

static Texture* boundTextureRecord() {
    return boundTexture < textures.size() ? &textures[boundTexture] : nullptr;
}

// Texturing applies only with a complete texture bound; name 0 has no image.
static bool texturingActive() {
    Texture* t = boundTextureRecord();
    return texturing && boundTexture != 0 && t && t->complete;
}

static void setMatrices(const float* modelView) {
    float normal[9];
    mat4Normal(modelView, normal);
    uniformMatrix4(program.modelView, modelView);
    uniformMatrix3(program.normalMatrix, normal);
}

// Also takes the layer's program back: the native tests draw with Mesa's
// fixed pipeline in the same context between the layer's draws.
static void sendUniforms() {
    glUseProgram(program.id);
    if (!uniformsStale) return;
    uniformsStale = false;
    static const float sceneAmbient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    bool lit = lighting && light0;
    uniformMatrix4(program.projection, stacks[1][depths[1]]);
    uniform1(program.lighting, lighting ? 1.0f : 0.0f);
    uniform1(program.colourMaterial, colourMaterial && fglFault != FGL_FAULT_COLOUR_UNLIT ? 1.0f : 0.0f);
    uniform1(program.normalize, normalize ? 1.0f : 0.0f);
    static const float dark[4] = {0, 0, 0, 1};
    uniform4(program.lightAmbient, lit ? lightAmbient : dark);
    uniform4(program.lightDiffuse, lit ? lightDiffuse : dark);
    uniform4(program.lightSpecular, lit ? lightSpecular : dark);
    uniform4(program.lightPosition, lightPosition);
    uniform4(program.sceneAmbient, sceneAmbient);
    uniform4(program.matAmbient, material.ambient);
    uniform4(program.matDiffuse, material.diffuse);
    uniform4(program.matSpecular, material.specular);
    uniform4(program.matEmission, material.emission);
    uniform1(program.shininess, material.shininess);
    Texture* t = boundTextureRecord();
    uniform1(program.texturing, texturingActive() ? 1.0f : 0.0f);
    uniform1(program.replace, replaceMode ? 1.0f : 0.0f);
    uniform1(program.textureAlpha, t && t->alpha ? 1.0f : 0.0f);
    uniform1(program.mask, 0.0f);
    uniform1(program.fog, fog ? 1.0f : 0.0f);
    uniform1(program.fogStart, fogStart);
    uniform1(program.fogEnd, fogEnd);
    uniform4(program.fogColour, fogColour);
}

static void pointAttributes(GLuint buffer) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    const GLsizei stride = sizeof(Vertex);
    glVertexAttribPointer(POSITION, 3, GL_FLOAT, GL_FALSE, stride, (void*)offsetof(Vertex, position));
    glVertexAttribPointer(NORMAL, 3, GL_FLOAT, GL_FALSE, stride, (void*)offsetof(Vertex, normal));
    glVertexAttribPointer(COLOUR, 4, GL_FLOAT, GL_FALSE, stride, (void*)offsetof(Vertex, colour));
    glVertexAttribPointer(TEXCOORD, 2, GL_FLOAT, GL_FALSE, stride, (void*)offsetof(Vertex, texcoord));
}

static void drawBatch() {
    if (batch.empty()) return;
    static float identity[16];
    mat4Identity(identity);
    sendUniforms();
    setMatrices(identity);
    pointAttributes(streamBuffer);
    glBufferData(GL_ARRAY_BUFFER, batch.size() * sizeof(Vertex), batch.data(), GL_STREAM_DRAW);
    glDrawArrays(GL_TRIANGLES, 0, (GLsizei)batch.size());
    batch.clear();
}

// Every change of state the shader reads sends the batch drawn under the old one.
static void changeState() {
    drawBatch();
    uniformsStale = true;
}

// Triangles of one primitive, as indices into its vertices, winding kept.
static void triangulate(GLenum mode, int count, std::vector<int>& out) {
    out.clear();
    switch (mode) {
        case GL_TRIANGLES:
            for (int i = 0; i + 2 < count; i += 3) out.insert(out.end(), {i, i + 1, i + 2});
            break;
        case GL_TRIANGLE_STRIP:
            for (int i = 0; i + 2 < count; ++i)
                if (i % 2 == 0)
                    out.insert(out.end(), {i, i + 1, i + 2});
                else
                    out.insert(out.end(), {i + 1, i, i + 2});
            break;
        case GL_TRIANGLE_FAN:
        case GL_POLYGON:
            for (int i = 1; i + 1 < count; ++i) out.insert(out.end(), {0, i, i + 1});
            break;
        case GL_QUADS:
            for (int i = 0; i + 3 < count; i += 4) out.insert(out.end(), {i, i + 1, i + 2, i, i + 2, i + 3});
            break;
        case GL_QUAD_STRIP:
            for (int i = 0; i + 3 < count; i += 2) out.insert(out.end(), {i, i + 1, i + 3, i, i + 3, i + 2});
            break;
        default:
            break;
    }
}

// Adds triangles in object space to the batch, in eye space.
static void batchTriangles(const Vertex* v, int count) {
    const float* modelView = stacks[0][depths[0]];
    float normal[9];
    mat4Normal(modelView, normal);
    size_t at = batch.size();
    batch.resize(at + count);
    for (int i = 0; i < count; ++i) {
        Vertex out = v[i];
        const float p[4] = {v[i].position[0], v[i].position[1], v[i].position[2], 1.0f};
        float e[4];
        mat4Transform(modelView, p, e);
        // The fixed pipeline divides by w only for clipping; w stays 1 here.
        out.position[0] = e[0];
        out.position[1] = e[1];
        out.position[2] = e[2];
        const float* n = v[i].normal;
        for (int r = 0; r < 3; ++r) out.normal[r] = normal[r] * n[0] + normal[3 + r] * n[1] + normal[6 + r] * n[2];
        batch[at + i] = out;
    }
}

static void fillInherited(Vertex& v, int index, const int from[3]) {
    if (index < from[0]) memcpy(v.normal, current[NORMAL], sizeof v.normal);
    if (index < from[1]) memcpy(v.colour, current[COLOUR], sizeof v.colour);
    if (index < from[2]) memcpy(v.texcoord, current[TEXCOORD], sizeof v.texcoord);
}

static void replayDraw(List* list, const Command& c) {
    const Vertex* v = &list->vertices[c.first];
    const int* from = c.explicitFrom;
    bool inherits = from[0] > 0 || from[1] > 0 || from[2] > 0;
    bool wholly = (from[0] == 0 || from[0] >= c.count) && (from[1] == 0 || from[1] >= c.count) &&
                  (from[2] == 0 || from[2] >= c.count);
    const Attribute kinds[3] = {NORMAL, COLOUR, TEXCOORD};
    if (list->buffer && (!inherits || wholly)) {
        drawBatch();
        sendUniforms();
        setMatrices(stacks[0][depths[0]]);
        pointAttributes(list->buffer);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, list->indexBuffer);
        // An attribute no vertex of the draw set comes from the current value.
        for (int k = 0; k < 3; ++k)
            if (from[k] >= c.count) {
                glDisableVertexAttribArray(kinds[k]);
                glVertexAttrib4fv(kinds[k], current[kinds[k]]);
            }
        glDrawElements(GL_TRIANGLES, c.indexCount, GL_UNSIGNED_SHORT,
                       (void*)(c.firstIndex * sizeof(unsigned short)));
        for (int k = 0; k < 3; ++k)
            if (from[k] >= c.count) glEnableVertexAttribArray(kinds[k]);
    } else {
        scratch.resize(c.indexCount);
        for (int i = 0; i < c.indexCount; ++i) {
            int index = list->indices[c.firstIndex + i];
            scratch[i] = list->vertices[index];
            if (inherits) fillInherited(scratch[i], index - c.first, from);
        }
        batchTriangles(scratch.data(), c.indexCount);
    }
    // What the primitive set last stays current after it, as in GL.
    const Vertex& last = v[c.count - 1];
    const float* values[3] = {last.normal, last.colour, last.texcoord};
    const int sizes[3] = {3, 4, 2};
    for (int k = 0; k < 3; ++k)
        if (from[k] < c.count) memcpy(current[kinds[k]], values[k], sizes[k] * sizeof(float));
}

static void record(Op op, GLenum a = 0, GLenum b = 0, const float* f = nullptr, int n = 0) {
    Command c = {};
    c.op = op;
    c.a = a;
    c.b = b;
    if (f) memcpy(c.f, f, n * sizeof(float));
    recording->commands.push_back(c);
}

static void setMaterial(GLenum face, GLenum pname, const float* params) {
    if (face == GL_BACK) return;  // one-sided lighting: only the front counts
    float* field = pname == GL_AMBIENT    ? material.ambient
                   : pname == GL_DIFFUSE  ? material.diffuse
                   : pname == GL_SPECULAR ? material.specular
                   : pname == GL_EMISSION ? material.emission
                   : pname == GL_SHININESS ? &material.shininess
                                           : nullptr;
    int count = pname == GL_SHININESS ? 1 : 4;
    if (!field || memcmp(field, params, count * sizeof(float)) == 0) return;
    changeState();
    memcpy(field, params, count * sizeof(float));
}

static bool* capability(GLenum cap) {
    switch (cap) {
        case GL_LIGHTING: return &lighting;
        case GL_LIGHT0: return &light0;
        case GL_COLOR_MATERIAL: return &colourMaterial;
        case GL_FOG: return &fog;
        case GL_NORMALIZE: return &normalize;
        case GL_TEXTURE_2D: return &texturing;
        default: return nullptr;
    }
}

// False for the capabilities WebGL keeps itself.
static bool setCapability(GLenum cap, bool on) {
    if (cap == GL_ALPHA_TEST) return true;  // the game keeps the function that passes everything
    bool* flag = capability(cap);
    if (flag) *flag = on;
    return flag != nullptr;
}

static void runCommand(List* list, const Command& c);

static void callList(GLuint name) {
    if (name == 0 || name >= lists.size() || !lists[name]) return;
    List* list = lists[name];
    for (const Command& c : list->commands) runCommand(list, c);
}

static void runCommand(List* list, const Command& c) {
    switch (c.op) {
        case OP_ENABLE: fglEnable(c.a); break;
        case OP_DISABLE: fglDisable(c.a); break;
        case OP_COLOUR: fglColor4f(c.f[0], c.f[1], c.f[2], c.f[3]); break;
        case OP_NORMAL: fglNormal3f(c.f[0], c.f[1], c.f[2]); break;
        case OP_TEXCOORD: fglTexCoord2f(c.f[0], c.f[1]); break;
        case OP_MATERIAL: setMaterial(c.a, c.b, c.f); break;
        case OP_BIND: fglBindTexture(GL_TEXTURE_2D, c.a); break;
        case OP_TEXENV: fglTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, (GLint)c.a); break;
        case OP_TEXPARAM: fglTexParameteri(GL_TEXTURE_2D, c.a, (GLint)c.b); break;
        case OP_PUSH: fglPushMatrix(); break;
        case OP_POP: fglPopMatrix(); break;
        case OP_TRANSLATE: fglTranslatef(c.f[0], c.f[1], c.f[2]); break;
        case OP_ROTATE: fglRotatef(c.f[0], c.f[1], c.f[2], c.f[3]); break;
        case OP_SCALE: fglScalef(c.f[0], c.f[1], c.f[2]); break;
        case OP_DRAW: replayDraw(list, c); break;
        case OP_CALL: callList(c.a); break;
    }
}

// ---------------------------------------------------------------- enables, matrices, light

void fglEnable(GLenum cap) {
    start();
    if (recording) return record(OP_ENABLE, cap);
    if (bool* flag = capability(cap))
        if (*flag) return;
    changeState();
    if (!setCapability(cap, true)) glEnable(cap);
}

void fglDisable(GLenum cap) {
    start();
    if (recording) return record(OP_DISABLE, cap);
    if (bool* flag = capability(cap))
        if (!*flag) return;
    changeState();
    if (!setCapability(cap, false)) glDisable(cap);
}

void fglMatrixMode(GLenum mode) {
    start();
    matrixMode = mode == GL_PROJECTION ? 1 : 0;
}

// Projection changes reach the shader; the batch is already in eye space.
static void matrixChanged() {
    if (matrixMode == 1) changeState();
}

void fglLoadIdentity() {
    start();
    matrixChanged();
    mat4Identity(top());
}

void fglPushMatrix() {
    start();
    if (recording) return record(OP_PUSH);
    int& d = depths[matrixMode];
    if (d + 1 >= MATRIX_STACK_DEPTH) return;
    memcpy(stacks[matrixMode][d + 1], stacks[matrixMode][d], 16 * sizeof(float));
    ++d;
}

void fglPopMatrix() {
    start();
    if (recording) return record(OP_POP);
    matrixChanged();
    if (depths[matrixMode] > 0) --depths[matrixMode];
}

void fglMultMatrixf(const GLfloat* m) {
    start();
    matrixChanged();
    mat4Multiply(top(), m);
}

void fglTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    start();
    const float f[3] = {x, y, z};
    if (recording) return record(OP_TRANSLATE, 0, 0, f, 3);
    matrixChanged();
    mat4Translate(top(), x, y, z);
}

void fglRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    start();
    const float f[4] = {angle, x, y, z};
    if (recording) return record(OP_ROTATE, 0, 0, f, 4);
    matrixChanged();
    mat4Rotate(top(), angle, x, y, z);
}

void fglScalef(GLfloat x, GLfloat y, GLfloat z) {
    start();
    const float f[3] = {x, y, z};
    if (recording) return record(OP_SCALE, 0, 0, f, 3);
    matrixChanged();
    mat4Scale(top(), x, y, z);
}

void fglPerspective(double fovy, double aspect, double zNear, double zFar) {
    start();
    matrixChanged();
    mat4Perspective(top(), fovy, aspect, zNear, zFar);
}

void fglLookAt(double eyeX, double eyeY, double eyeZ, double centerX, double centerY, double centerZ, double upX,
               double upY, double upZ) {
    start();
    if (fglFault == FGL_FAULT_LOOKAT_IGNORED) return;
    matrixChanged();
    mat4LookAt(top(), eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ);
}

void fglGetFloatv(GLenum pname, GLfloat* params) {
    start();
    if (pname == GL_MODELVIEW_MATRIX) memcpy(params, stacks[0][depths[0]], 16 * sizeof(float));
    else if (pname == GL_PROJECTION_MATRIX) memcpy(params, stacks[1][depths[1]], 16 * sizeof(float));
    else glGetFloatv(pname, params);
}

void fglGetIntegerv(GLenum pname, GLint* params) {
    start();
    if (pname == GL_VIEWPORT) memcpy(params, viewport, sizeof viewport);
    else if (pname == GL_UNPACK_ALIGNMENT) *params = unpackAlignment;
    else if (pname == GL_POLYGON_MODE) params[0] = params[1] = GL_FILL;  // lines are never drawn
    else glGetIntegerv(pname, params);
}

void fglLightfv(GLenum light, GLenum pname, const GLfloat* params) {
    start();
    if (light != GL_LIGHT0) return;
    changeState();
    switch (pname) {
        case GL_AMBIENT: memcpy(lightAmbient, params, 4 * sizeof(float)); break;
        case GL_DIFFUSE: memcpy(lightDiffuse, params, 4 * sizeof(float)); break;
        case GL_SPECULAR: memcpy(lightSpecular, params, 4 * sizeof(float)); break;
        // Kept in eye space, as given under the model-view of the moment.
        case GL_POSITION: mat4Transform(stacks[0][depths[0]], params, lightPosition); break;
        default: break;
    }
}

void fglMaterialfv(GLenum face, GLenum pname, const GLfloat* params) {
    start();
    if (recording) return record(OP_MATERIAL, face, pname, params, pname == GL_SHININESS ? 1 : 4);
    setMaterial(face, pname, params);
}

void fglMaterialf(GLenum face, GLenum pname, GLfloat param) {
    const GLfloat params[4] = {param, 0, 0, 0};
    fglMaterialfv(face, pname, params);
}

void fglFogf(GLenum pname, GLfloat param) {
    start();
    changeState();
    if (pname == GL_FOG_START) fogStart = param;
    if (pname == GL_FOG_END) fogEnd = param;
}

// Only linear fog is drawn: the game asks for nothing else.
void fglFogi(GLenum, GLint) {
}

void fglFogfv(GLenum pname, const GLfloat* params) {
    start();
    changeState();
    if (pname == GL_FOG_COLOR) memcpy(fogColour, params, sizeof fogColour);
    else fglFogf(pname, params[0]);
}

// Always smooth, and always filled: the game never draws flat or in lines.
void fglShadeModel(GLenum) {
}

void fglPolygonMode(GLenum, GLenum) {
}

// ---------------------------------------------------------------- immediate mode

void fglBegin(GLenum mode) {
    start();
    primitive = mode;
    inPrimitive = true;
    primitiveVertices.clear();
    explicitFrom[0] = explicitFrom[1] = explicitFrom[2] = -1;
}

void fglEnd() {
    inPrimitive = false;
    std::vector<int> triangles;
    triangulate(primitive, (int)primitiveVertices.size(), triangles);
    if (triangles.empty()) return;
    if (!recording) {
        scratch.resize(triangles.size());
        for (size_t i = 0; i < triangles.size(); ++i) scratch[i] = primitiveVertices[triangles[i]];
        return batchTriangles(scratch.data(), (int)scratch.size());
    }

    Command c = {};
    c.op = OP_DRAW;
    c.first = (int)recording->vertices.size();
    c.count = (int)primitiveVertices.size();
    c.firstIndex = (int)recording->indices.size();
    c.indexCount = (int)triangles.size();
    for (int k = 0; k < 3; ++k) c.explicitFrom[k] = explicitFrom[k] < 0 ? c.count : explicitFrom[k];
    recording->vertices.insert(recording->vertices.end(), primitiveVertices.begin(), primitiveVertices.end());
    for (int index : triangles) recording->indices.push_back((unsigned int)(c.first + index));
    // Primitives that follow each other and set every attribute themselves
    // (a terrain block's strips) become one draw: each draw costs the
    // browser far more than its triangles.
    std::vector<Command>& commands = recording->commands;
    bool own = c.explicitFrom[0] == 0 && c.explicitFrom[1] == 0 && c.explicitFrom[2] == 0;
    if (own && !commands.empty()) {
        Command& last = commands.back();
        bool lastOwn = last.explicitFrom[0] == 0 && last.explicitFrom[1] == 0 && last.explicitFrom[2] == 0;
        if (last.op == OP_DRAW && lastOwn) {
            last.count += c.count;
            last.indexCount += c.indexCount;
            return;
        }
    }
    commands.push_back(c);
}

void fglVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    if (!inPrimitive) return;
    Vertex v;
    v.position[0] = x;
    v.position[1] = y;
    v.position[2] = z;
    float(*from)[4] = attributes();
    memcpy(v.normal, from[NORMAL], sizeof v.normal);
    memcpy(v.colour, from[COLOUR], sizeof v.colour);
    memcpy(v.texcoord, from[TEXCOORD], sizeof v.texcoord);
    primitiveVertices.push_back(v);
}

// While a list records, attributes set outside a primitive are commands of
// the list, and those inside it are noted with the first vertex that takes
// them; the current values stay as they were, for the list is only compiled.
static void setAttribute(Attribute kind, Op op, const float* value, int size) {
    start();
    if (recording && !inPrimitive) return record(op, 0, 0, value, 4);
    if (recording && explicitFrom[kind - NORMAL] < 0) explicitFrom[kind - NORMAL] = (int)primitiveVertices.size();
    memcpy(attributes()[kind], value, size * sizeof(float));
}

void fglNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    const float v[4] = {x, y, z, 0};
    setAttribute(NORMAL, OP_NORMAL, v, 3);
}

void fglNormal3fv(const GLfloat* v) {
    fglNormal3f(v[0], v[1], v[2]);
}

void fglColor3f(GLfloat r, GLfloat g, GLfloat b) {
    fglColor4f(r, g, b, 1.0f);
}

void fglColor3fv(const GLfloat* v) {
    fglColor4f(v[0], v[1], v[2], 1.0f);
}

void fglColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    const float v[4] = {r, g, b, a};
    setAttribute(COLOUR, OP_COLOUR, v, 4);
}

void fglTexCoord2f(GLfloat s, GLfloat t) {
    const float v[4] = {s, t, 0, 1};
    setAttribute(TEXCOORD, OP_TEXCOORD, v, 2);
}

void fglTexCoord2fv(const GLfloat* v) {
    fglTexCoord2f(v[0], v[1]);
}

// ---------------------------------------------------------------- textures and pixels

void fglGenTextures(GLsizei n, GLuint* names) {
    start();
    glGenTextures(n, names);
    for (GLsizei i = 0; i < n; ++i) {
        if (names[i] >= textures.size()) textures.resize(names[i] + 1);
        textures[names[i]] = NEW_TEXTURE;
    }
}

void fglBindTexture(GLenum target, GLuint name) {
    start();
    if (recording) return record(OP_BIND, name);
    if (name == boundTexture) return;
    changeState();
    boundTexture = name;
    glBindTexture(target, name);
}

// WebGL wants the internal format to match the source and no row padding,
// so the pixels are repacked into the format asked for.
void fglTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint,
                   GLenum format, GLenum type, const void* pixels) {
    start();
    changeState();
    int inChannels = format == GL_RGBA ? 4 : 3;
    int outChannels = internalFormat == GL_RGBA || internalFormat == 4 ? 4 : 3;
    int rowBytes = width * inChannels;
    int stride = (rowBytes + unpackAlignment - 1) / unpackAlignment * unpackAlignment;
    std::vector<unsigned char> packed((size_t)width * height * outChannels);
    const unsigned char* in = (const unsigned char*)pixels;
    for (int y = 0; in && y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < outChannels; ++c)
                packed[((size_t)y * width + x) * outChannels + c] =
                    c < inChannels ? in[(size_t)y * stride + x * inChannels + c] : 255;
    GLenum outFormat = outChannels == 4 ? GL_RGBA : GL_RGB;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(target, level, outFormat, width, height, 0, outFormat, type, in ? packed.data() : nullptr);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    if (Texture* t = boundTextureRecord()) {
        t->complete = true;
        t->alpha = outChannels == 4;
    }
}

void fglTexParameteri(GLenum target, GLenum pname, GLint param) {
    start();
    if (recording) return record(OP_TEXPARAM, pname, (GLenum)param);
    // WebGL has no border to clamp toward; the edge texels are the nearest.
    if (param == GL_CLAMP) param = GL_CLAMP_TO_EDGE;
    const GLenum names[4] = {GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T, GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER};
    Texture* t = boundTextureRecord();
    for (int k = 0; t && k < 4; ++k)
        if (pname == names[k]) {
            if (t->sampling[k] == param) return;
            t->sampling[k] = param;
        }
    drawBatch();
    glTexParameteri(target, pname, param);
}

void fglTexEnvi(GLenum, GLenum pname, GLint param) {
    start();
    if (pname != GL_TEXTURE_ENV_MODE) return;
    if (recording) return record(OP_TEXENV, (GLenum)param);
    if (replaceMode == (param == GL_REPLACE)) return;
    changeState();
    replaceMode = param == GL_REPLACE;
}

void fglTexEnvf(GLenum target, GLenum pname, GLfloat param) {
    fglTexEnvi(target, pname, (GLint)param);
}

void fglPixelStorei(GLenum pname, GLint param) {
    start();
    if (pname == GL_UNPACK_ALIGNMENT) unpackAlignment = param;
    else glPixelStorei(pname, param);
}

void fglPushClientAttrib(GLbitfield) {
    clientAlignments.push_back(unpackAlignment);
}

void fglPopClientAttrib() {
    if (clientAlignments.empty()) return;
    unpackAlignment = clientAlignments.back();
    clientAlignments.pop_back();
}

void fglReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, void* pixels) {
    start();
    drawBatch();
    glReadPixels(x, y, width, height, format, type, pixels);
}

// ---------------------------------------------------------------- display lists

GLuint fglGenLists(GLsizei range) {
    start();
    if (range <= 0) return 0;
    if (lists.empty()) lists.push_back(nullptr);  // name 0 is never a list
    GLuint first = (GLuint)lists.size();
    for (GLsizei i = 0; i < range; ++i) lists.push_back(nullptr);
    return first;
}

static void deleteList(GLuint name) {
    if (name == 0 || name >= lists.size() || !lists[name]) return;
    if (lists[name]->buffer) glDeleteBuffers(1, &lists[name]->buffer);
    if (lists[name]->indexBuffer) glDeleteBuffers(1, &lists[name]->indexBuffer);
    delete lists[name];
    lists[name] = nullptr;
}

void fglNewList(GLuint list, GLenum) {
    start();
    if (recording || list == 0 || list >= lists.size()) return;
    recording = new List();
    recording->buffer = recording->indexBuffer = 0;
    recordingName = list;
    memcpy(compiling, current, sizeof compiling);
}

void fglEndList() {
    if (!recording) return;
    List* list = recording;
    recording = nullptr;
    size_t count = list->vertices.size();
    if ((int)count > STATIC_LIST_VERTICES && count <= 65536) {
        glGenBuffers(1, &list->buffer);
        glBindBuffer(GL_ARRAY_BUFFER, list->buffer);
        glBufferData(GL_ARRAY_BUFFER, count * sizeof(Vertex), list->vertices.data(), GL_STATIC_DRAW);
        glGenBuffers(1, &list->indexBuffer);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, list->indexBuffer);
        std::vector<unsigned short> narrow(list->indices.begin(), list->indices.end());
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, narrow.size() * sizeof(unsigned short), narrow.data(), GL_STATIC_DRAW);
    }
    deleteList(recordingName);
    lists[recordingName] = list;
}

void fglCallList(GLuint list) {
    start();
    if (recording) return record(OP_CALL, list);
    callList(list);
}

void fglDeleteLists(GLuint list, GLsizei range) {
    start();
    for (GLsizei i = 0; i < range; ++i) deleteList(list + i);
}

// ---------------------------------------------------------------- WebGL's own state

void fglViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    start();
    changeState();
    viewport[0] = x;
    viewport[1] = y;
    viewport[2] = width;
    viewport[3] = height;
    glViewport(x, y, width, height);
}

void fglClear(GLbitfield mask) {
    start();
    drawBatch();
    glClear(mask);
}

void fglClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    start();
    drawBatch();
    glClearColor(r, g, b, a);
}

void fglDepthMask(GLboolean flag) {
    start();
    drawBatch();
    glDepthMask(flag);
}

void fglColorMask(GLboolean r, GLboolean g, GLboolean b, GLboolean a) {
    start();
    drawBatch();
    glColorMask(r, g, b, a);
}

void fglDepthFunc(GLenum func) {
    start();
    drawBatch();
    glDepthFunc(func);
}

void fglDepthRange(double zNear, double zFar) {
    start();
    drawBatch();
    glDepthRangef((float)zNear, (float)zFar);
}

void fglStencilFunc(GLenum func, GLint ref, GLuint mask) {
    start();
    drawBatch();
    glStencilFunc(func, ref, mask);
}

void fglStencilOp(GLenum fail, GLenum zfail, GLenum zpass) {
    start();
    drawBatch();
    glStencilOp(fail, zfail, zpass);
}

void fglCullFace(GLenum mode) {
    start();
    drawBatch();
    glCullFace(mode);
}

void fglFrontFace(GLenum mode) {
    start();
    drawBatch();
    glFrontFace(mode);
}

void fglPolygonOffset(GLfloat factor, GLfloat units) {
    start();
    drawBatch();
    glPolygonOffset(factor, units);
}

void fglScissor(GLint x, GLint y, GLsizei width, GLsizei height) {
    start();
    drawBatch();
    glScissor(x, y, width, height);
}

void fglBlendFunc(GLenum sfactor, GLenum dfactor) {
    start();
    drawBatch();
    glBlendFunc(sfactor, dfactor);
}

void fglFlush() {
    start();
    drawBatch();
}

// ---------------------------------------------------------------- bitmap text support

void fglCurrentColor(GLfloat colour[4]) {
    memcpy(colour, current[COLOUR], 4 * sizeof(float));
}

void fglDrawMask(GLuint texture, float x, float y, float width, float height, float s0, float t0, float s1, float t1,
                 float z, const GLfloat colour[4]) {
    start();
    drawBatch();
    // Window pixels to clip space under an identity model-view.
    float toClip[16];
    mat4Identity(toClip);
    mat4Translate(toClip, -1.0f, -1.0f, 0.0f);
    mat4Scale(toClip, 2.0f / viewport[2], 2.0f / viewport[3], 1.0f);
    mat4Translate(toClip, (float)-viewport[0], (float)-viewport[1], 0.0f);
    float identity[16];
    mat4Identity(identity);
    float depth = 2.0f * z - 1.0f;
    Vertex corners[4];
    const float at[4][4] = {{x, y, s0, t0}, {x + width, y, s1, t0}, {x + width, y + height, s1, t1},
                            {x, y + height, s0, t1}};
    for (int i = 0; i < 4; ++i) {
        Vertex& v = corners[i];
        memset(&v, 0, sizeof v);
        v.position[0] = at[i][0];
        v.position[1] = at[i][1];
        v.position[2] = depth;
        memcpy(v.colour, colour, 4 * sizeof(float));
        v.texcoord[0] = at[i][2];
        v.texcoord[1] = at[i][3];
    }
    const Vertex quad[6] = {corners[0], corners[1], corners[2], corners[0], corners[2], corners[3]};
    uniformsStale = true;
    sendUniforms();
    uniformsStale = true;
    uniformMatrix4(program.projection, toClip);
    setMatrices(identity);
    uniform1(program.lighting, 0.0f);
    uniform1(program.mask, 1.0f);
    glBindTexture(GL_TEXTURE_2D, texture);
    pointAttributes(streamBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof quad, quad, GL_STREAM_DRAW);
    glDrawArrays(GL_TRIANGLES, 0, 6);
    glBindTexture(GL_TEXTURE_2D, boundTexture);
}
