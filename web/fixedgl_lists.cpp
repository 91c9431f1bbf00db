// Display lists: the calls of fixedgl_state.h's Op recorded as commands and
// replayed through the layer's own entry points. A list's primitives keep
// which attributes they set, so a call fills the rest from the current
// values; large lists (the terrain blocks) are drawn from their own buffers.
#include "fixedgl_state.h"

#include <cstring>

// Lists with more vertices than this stay on the GPU; smaller ones join the batch.
const int STATIC_LIST_VERTICES = 512;
// The most vertices 16-bit indices can name.
const size_t INDEXABLE_VERTICES = 65536;

// ---------------------------------------------------------------- helpers

static void fillInherited(Vertex& v, int index, const int from[3]) {
    const float(*current)[4] = layer.current;
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
        setMatrices(stackTop(0));
        pointAttributes(list->buffer);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, list->indexBuffer);
        // An attribute no vertex of the draw set comes from the current value.
        for (int k = 0; k < 3; ++k)
            if (from[k] >= c.count) {
                glDisableVertexAttribArray(kinds[k]);
                glVertexAttrib4fv(kinds[k], layer.current[kinds[k]]);
            }
        glDrawElements(GL_TRIANGLES, c.indexCount, GL_UNSIGNED_SHORT,
                       (void*)(c.firstIndex * sizeof(unsigned short)));
        for (int k = 0; k < 3; ++k)
            if (from[k] >= c.count) glEnableVertexAttribArray(kinds[k]);
    } else {
        std::vector<Vertex>& scratch = layer.scratch;
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
        if (from[k] < c.count) memcpy(layer.current[kinds[k]], values[k], sizes[k] * sizeof(float));
}

static void runCommand(List* list, const Command& c);

static void callList(GLuint name) {
    std::vector<List*>& lists = layer.lists;
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

static void deleteList(GLuint name) {
    std::vector<List*>& lists = layer.lists;
    if (name == 0 || name >= lists.size() || !lists[name]) return;
    if (lists[name]->buffer) glDeleteBuffers(1, &lists[name]->buffer);
    if (lists[name]->indexBuffer) glDeleteBuffers(1, &lists[name]->indexBuffer);
    delete lists[name];
    lists[name] = nullptr;
}

void uploadLargeList(List* list) {
    size_t count = list->vertices.size();
    if ((int)count <= STATIC_LIST_VERTICES || count > INDEXABLE_VERTICES) return;
    glGenBuffers(1, &list->buffer);
    glBindBuffer(GL_ARRAY_BUFFER, list->buffer);
    glBufferData(GL_ARRAY_BUFFER, count * sizeof(Vertex), list->vertices.data(), GL_STATIC_DRAW);
    glGenBuffers(1, &list->indexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, list->indexBuffer);
    std::vector<unsigned short> narrow(list->indices.begin(), list->indices.end());
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, narrow.size() * sizeof(unsigned short), narrow.data(), GL_STATIC_DRAW);
}

// ---------------------------------------------------------------- operations

void record(Op op, GLenum a, GLenum b, const float* f, int n) {
    Command c = {};
    c.op = op;
    c.a = a;
    c.b = b;
    if (f) memcpy(c.f, f, n * sizeof(float));
    layer.recording->commands.push_back(c);
}

void recordDraw(const std::vector<int>& triangles) {
    List* list = layer.recording;
    const std::vector<Vertex>& vertices = layer.primitiveVertices;
    Command c = {};
    c.op = OP_DRAW;
    c.first = (int)list->vertices.size();
    c.count = (int)vertices.size();
    c.firstIndex = (int)list->indices.size();
    c.indexCount = (int)triangles.size();
    for (int k = 0; k < 3; ++k) c.explicitFrom[k] = layer.explicitFrom[k] < 0 ? c.count : layer.explicitFrom[k];
    list->vertices.insert(list->vertices.end(), vertices.begin(), vertices.end());
    for (int index : triangles) list->indices.push_back((unsigned int)(c.first + index));
    // Primitives that follow each other and set every attribute themselves
    // (a terrain block's strips) become one draw: each draw costs the
    // browser far more than its triangles.
    std::vector<Command>& commands = list->commands;
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

GLuint fglGenLists(GLsizei range) {
    start();
    if (range <= 0) return 0;
    std::vector<List*>& lists = layer.lists;
    if (lists.empty()) lists.push_back(nullptr);  // name 0 is never a list
    GLuint first = (GLuint)lists.size();
    for (GLsizei i = 0; i < range; ++i) lists.push_back(nullptr);
    return first;
}

void fglNewList(GLuint list, GLenum) {
    start();
    if (layer.recording || list == 0 || list >= layer.lists.size()) return;
    layer.recording = new List();
    layer.recording->buffer = layer.recording->indexBuffer = 0;
    layer.recordingName = list;
    memcpy(layer.compiling, layer.current, sizeof layer.compiling);
}

void fglEndList() {
    if (!layer.recording) return;
    List* list = layer.recording;
    layer.recording = nullptr;
    uploadLargeList(list);
    deleteList(layer.recordingName);
    layer.lists[layer.recordingName] = list;
}

void fglCallList(GLuint list) {
    start();
    if (layer.recording) return record(OP_CALL, list);
    callList(list);
}

void fglDeleteLists(GLuint list, GLsizei range) {
    start();
    for (GLsizei i = 0; i < range; ++i) deleteList(list + i);
}
