// The state WebGL keeps itself: each call sends the drawing still queued
// under the old state, then goes on to WebGL as it is; the last call of each
// kind is kept, to send again to a restored context.
#include "fixedgl_state.h"

#include <algorithm>

// ---------------------------------------------------------------- operations

// One entry point: its name, WebGL's call, its parameters, their order in
// that call, and where the layer keeps them.
#define FLUSH_THEN_FORWARD(name, forwardTo, parameters, arguments, keep) \
    void name parameters {                                                \
        start();                                                          \
        drawBatch();                                                      \
        forwardTo arguments;                                              \
        WebGlState& kept = layer.webgl;                                   \
        keep;                                                             \
    }

// Copies n values, for the keeping parts of the table.
template <typename T, typename... Values>
static void keepAll(T* into, Values... values) {
    T all[] = {(T)values...};
    for (size_t i = 0; i < sizeof...(values); ++i) into[i] = all[i];
}

FLUSH_THEN_FORWARD(fglClearColor, glClearColor, (GLfloat r, GLfloat g, GLfloat b, GLfloat a), (r, g, b, a),
                   keepAll(kept.clearColour, r, g, b, a))
FLUSH_THEN_FORWARD(fglDepthMask, glDepthMask, (GLboolean flag), (flag), kept.depthMask = flag)
FLUSH_THEN_FORWARD(fglColorMask, glColorMask, (GLboolean r, GLboolean g, GLboolean b, GLboolean a), (r, g, b, a),
                   keepAll(kept.colourMask, r, g, b, a))
FLUSH_THEN_FORWARD(fglDepthFunc, glDepthFunc, (GLenum func), (func), kept.depthFunc = func)
// WebGL has only the float form.
FLUSH_THEN_FORWARD(fglDepthRange, glDepthRangef, (double zNear, double zFar), ((float)zNear, (float)zFar),
                   keepAll(kept.depthRange, zNear, zFar))
FLUSH_THEN_FORWARD(fglStencilFunc, glStencilFunc, (GLenum func, GLint ref, GLuint mask), (func, ref, mask),
                   (kept.stencilFunc = func, kept.stencilRef = ref, kept.stencilMask = mask))
FLUSH_THEN_FORWARD(fglStencilOp, glStencilOp, (GLenum fail, GLenum zfail, GLenum zpass), (fail, zfail, zpass),
                   keepAll(kept.stencilOps, fail, zfail, zpass))
FLUSH_THEN_FORWARD(fglCullFace, glCullFace, (GLenum mode), (mode), kept.cullFace = mode)
FLUSH_THEN_FORWARD(fglFrontFace, glFrontFace, (GLenum mode), (mode), kept.frontFace = mode)
FLUSH_THEN_FORWARD(fglPolygonOffset, glPolygonOffset, (GLfloat factor, GLfloat units), (factor, units),
                   keepAll(kept.polygonOffset, factor, units))
FLUSH_THEN_FORWARD(fglScissor, glScissor, (GLint x, GLint y, GLsizei width, GLsizei height), (x, y, width, height),
                   keepAll(kept.scissor, x, y, width, height))
FLUSH_THEN_FORWARD(fglBlendFunc, glBlendFunc, (GLenum sfactor, GLenum dfactor), (sfactor, dfactor),
                   keepAll(kept.blend, sfactor, dfactor))

// A clear is a drawing, not state: nothing to keep.
void fglClear(GLbitfield mask) {
    start();
    drawBatch();
    glClear(mask);
}

void forwardCapability(GLenum cap, bool on) {
    std::vector<GLenum>& enabled = layer.webgl.enabled;
    enabled.erase(std::remove(enabled.begin(), enabled.end(), cap), enabled.end());
    if (on) {
        glEnable(cap);
        enabled.push_back(cap);
    } else {
        glDisable(cap);
    }
}

void resendWebGlState() {
    const WebGlState& s = layer.webgl;
    glClearColor(s.clearColour[0], s.clearColour[1], s.clearColour[2], s.clearColour[3]);
    glDepthMask(s.depthMask);
    glColorMask(s.colourMask[0], s.colourMask[1], s.colourMask[2], s.colourMask[3]);
    glDepthFunc(s.depthFunc);
    glDepthRangef(s.depthRange[0], s.depthRange[1]);
    glStencilFunc(s.stencilFunc, s.stencilRef, s.stencilMask);
    glStencilOp(s.stencilOps[0], s.stencilOps[1], s.stencilOps[2]);
    glCullFace(s.cullFace);
    glFrontFace(s.frontFace);
    glPolygonOffset(s.polygonOffset[0], s.polygonOffset[1]);
    glScissor(s.scissor[0], s.scissor[1], s.scissor[2], s.scissor[3]);
    glBlendFunc(s.blend[0], s.blend[1]);
    for (GLenum cap : s.enabled) glEnable(cap);
    const int* v = layer.viewport;
    glViewport(v[0], v[1], v[2], v[3]);
}

// The viewport is also kept here, for the bitmap text's window coordinates
// and the viewport query.
void fglViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    start();
    changeState();
    layer.viewport[0] = x;
    layer.viewport[1] = y;
    layer.viewport[2] = width;
    layer.viewport[3] = height;
    glViewport(x, y, width, height);
}

void fglFlush() {
    start();
    drawBatch();
}
