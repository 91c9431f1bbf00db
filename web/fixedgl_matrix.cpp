// The matrix stacks: model-view and projection, the GL and GLU calls that
// change them (formulas in glmatrix.cpp), and reading them back.
#include "fixedgl_state.h"

#include <cstring>

#include "glmatrix.h"

// ---------------------------------------------------------------- helpers

static float* top() {
    return stackTop(layer.matrixMode);
}

// Projection changes reach the shader; the batch is already in eye space.
static void matrixChanged() {
    if (layer.matrixMode == 1) changeState();
}

// ---------------------------------------------------------------- operations

float* stackTop(int mode) {
    return layer.stacks[mode][layer.depths[mode]];
}

void fglMatrixMode(GLenum mode) {
    start();
    layer.matrixMode = mode == GL_PROJECTION ? 1 : 0;
}

void fglLoadIdentity() {
    start();
    matrixChanged();
    mat4Identity(top());
}

void fglPushMatrix() {
    start();
    if (layer.recording) return record(OP_PUSH);
    int mode = layer.matrixMode;
    int& d = layer.depths[mode];
    if (d + 1 >= MATRIX_STACK_DEPTH) return;
    memcpy(layer.stacks[mode][d + 1], layer.stacks[mode][d], 16 * sizeof(float));
    ++d;
}

void fglPopMatrix() {
    start();
    if (layer.recording) return record(OP_POP);
    matrixChanged();
    int& d = layer.depths[layer.matrixMode];
    if (d > 0) --d;
}

void fglMultMatrixf(const GLfloat* m) {
    start();
    matrixChanged();
    mat4Multiply(top(), m);
}

void fglTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    start();
    const float f[3] = {x, y, z};
    if (layer.recording) return record(OP_TRANSLATE, 0, 0, f, 3);
    matrixChanged();
    mat4Translate(top(), x, y, z);
}

void fglRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    start();
    const float f[4] = {angle, x, y, z};
    if (layer.recording) return record(OP_ROTATE, 0, 0, f, 4);
    matrixChanged();
    mat4Rotate(top(), angle, x, y, z);
}

void fglScalef(GLfloat x, GLfloat y, GLfloat z) {
    start();
    const float f[3] = {x, y, z};
    if (layer.recording) return record(OP_SCALE, 0, 0, f, 3);
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
#ifdef FIXEDGL_FAULTS
    if (fglFault == FGL_FAULT_LOOKAT_IGNORED) return;
#endif
    matrixChanged();
    mat4LookAt(top(), eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ);
}

void fglGetFloatv(GLenum pname, GLfloat* params) {
    start();
    if (pname == GL_MODELVIEW_MATRIX) memcpy(params, stackTop(0), 16 * sizeof(float));
    else if (pname == GL_PROJECTION_MATRIX) memcpy(params, stackTop(1), 16 * sizeof(float));
    else glGetFloatv(pname, params);
}
