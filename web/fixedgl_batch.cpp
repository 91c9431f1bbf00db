// Immediate mode and the batch: begin/end primitives become triangles, which
// are carried to eye space and queued, so that one draw sends everything
// between two changes of state; while a list records, they go to the list.
#include "fixedgl_state.h"

#include <algorithm>
#include <cstring>

#include "glmatrix.h"

// The stream buffer holds this many vertices, about two frames' batches, and
// grows for a batch that is larger.
const size_t STREAM_VERTICES = 32768;

bool fglStreamInPlace = true;

// ---------------------------------------------------------------- helpers

static float (*attributes())[4] {
    return layer.recording ? layer.compiling : layer.current;
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

// While a list records, attributes set outside a primitive are commands of
// the list, and those inside it are noted with the first vertex that takes
// them; the current values stay as they were, for the list is only compiled.
static void setAttribute(Attribute kind, Op op, const float* value, int size) {
    start();
    if (layer.recording && !layer.inPrimitive) return record(op, 0, 0, value, 4);
    int& from = layer.explicitFrom[kind - NORMAL];
    if (layer.recording && from < 0) from = (int)layer.primitiveVertices.size();
    memcpy(attributes()[kind], value, size * sizeof(float));
}

// ---------------------------------------------------------------- operations

// Each batch is written after the last in the one stream buffer, from its
// start again once it is full. Making a buffer for every batch costs the
// browser an allocation each time, and a software renderer its pages.
int streamVertices(const Vertex* v, int count) {
    size_t bytes = count * sizeof(Vertex);
    if (!fglStreamInPlace) {
        glBufferData(GL_ARRAY_BUFFER, bytes, v, GL_STREAM_DRAW);
        layer.streamCapacity = 0;  // that replaced the stream buffer's storage
        return 0;
    }
    if (layer.streamUsed + count > layer.streamCapacity) {
        if ((size_t)count > layer.streamCapacity) {
            layer.streamCapacity = std::max(STREAM_VERTICES, (size_t)count);
            glBufferData(GL_ARRAY_BUFFER, layer.streamCapacity * sizeof(Vertex), nullptr, GL_DYNAMIC_DRAW);
        }
        layer.streamUsed = 0;
    }
    int first = (int)layer.streamUsed;
    glBufferSubData(GL_ARRAY_BUFFER, first * sizeof(Vertex), bytes, v);
    layer.streamUsed += count;
    return first;
}

void drawBatch() {
    std::vector<Vertex>& batch = layer.batch;
    if (batch.empty()) return;
    float identity[16];
    mat4Identity(identity);
    sendUniforms();
    setMatrices(identity);
    pointAttributes(layer.streamBuffer);
    int first = streamVertices(batch.data(), (int)batch.size());
    glDrawArrays(GL_TRIANGLES, first, (GLsizei)batch.size());
    batch.clear();
}

void changeState() {
    drawBatch();
    layer.uniforms.stale = true;
}

void batchTriangles(const Vertex* v, int count) {
    const float* modelView = stackTop(0);
    float normal[9];
    mat4Normal(modelView, normal);
    std::vector<Vertex>& batch = layer.batch;
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

void fglBegin(GLenum mode) {
    start();
    layer.primitive = mode;
    layer.inPrimitive = true;
    layer.primitiveVertices.clear();
    layer.explicitFrom[0] = layer.explicitFrom[1] = layer.explicitFrom[2] = -1;
}

void fglEnd() {
    layer.inPrimitive = false;
    std::vector<int> triangles;
    triangulate(layer.primitive, (int)layer.primitiveVertices.size(), triangles);
    if (triangles.empty()) return;
    if (layer.recording) return recordDraw(triangles);
    std::vector<Vertex>& scratch = layer.scratch;
    scratch.resize(triangles.size());
    for (size_t i = 0; i < triangles.size(); ++i) scratch[i] = layer.primitiveVertices[triangles[i]];
    batchTriangles(scratch.data(), (int)scratch.size());
}

void fglVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    if (!layer.inPrimitive) return;
    Vertex v;
    v.position[0] = x;
    v.position[1] = y;
    v.position[2] = z;
    float(*from)[4] = attributes();
    memcpy(v.normal, from[NORMAL], sizeof v.normal);
    memcpy(v.colour, from[COLOUR], sizeof v.colour);
    memcpy(v.texcoord, from[TEXCOORD], sizeof v.texcoord);
    layer.primitiveVertices.push_back(v);
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
