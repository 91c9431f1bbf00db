// The state WebGL keeps itself: each call sends the drawing still queued
// under the old state, then goes on to WebGL as it is; the last call of each
// kind is kept, to send again to a restored context.
#include "fixedgl_state.h"

// ---------------------------------------------------------------- operations

// One entry point: its name, WebGL's call, its parameters and their order in that call.
#define FLUSH_THEN_FORWARD(name, forwardTo, parameters, arguments) \
    void name parameters {                                          \
        start();                                                    \
        drawBatch();                                                \
        forwardTo arguments;                                        \
        layer.forwarded[#name] = [=] { forwardTo arguments; };      \
    }

void forwardCapability(GLenum cap, bool on) {
    std::function<void()> call = [=] { on ? glEnable(cap) : glDisable(cap); };
    call();
    layer.forwarded["capability " + std::to_string(cap)] = call;
}

// A clear is a drawing, not state: nothing to keep.
void fglClear(GLbitfield mask) {
    start();
    drawBatch();
    glClear(mask);
}

FLUSH_THEN_FORWARD(fglClearColor, glClearColor, (GLfloat r, GLfloat g, GLfloat b, GLfloat a), (r, g, b, a))
FLUSH_THEN_FORWARD(fglDepthMask, glDepthMask, (GLboolean flag), (flag))
FLUSH_THEN_FORWARD(fglColorMask, glColorMask, (GLboolean r, GLboolean g, GLboolean b, GLboolean a), (r, g, b, a))
FLUSH_THEN_FORWARD(fglDepthFunc, glDepthFunc, (GLenum func), (func))
// WebGL has only the float form.
FLUSH_THEN_FORWARD(fglDepthRange, glDepthRangef, (double zNear, double zFar), ((float)zNear, (float)zFar))
FLUSH_THEN_FORWARD(fglStencilFunc, glStencilFunc, (GLenum func, GLint ref, GLuint mask), (func, ref, mask))
FLUSH_THEN_FORWARD(fglStencilOp, glStencilOp, (GLenum fail, GLenum zfail, GLenum zpass), (fail, zfail, zpass))
FLUSH_THEN_FORWARD(fglCullFace, glCullFace, (GLenum mode), (mode))
FLUSH_THEN_FORWARD(fglFrontFace, glFrontFace, (GLenum mode), (mode))
FLUSH_THEN_FORWARD(fglPolygonOffset, glPolygonOffset, (GLfloat factor, GLfloat units), (factor, units))
FLUSH_THEN_FORWARD(fglScissor, glScissor, (GLint x, GLint y, GLsizei width, GLsizei height), (x, y, width, height))
FLUSH_THEN_FORWARD(fglBlendFunc, glBlendFunc, (GLenum sfactor, GLenum dfactor), (sfactor, dfactor))

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
