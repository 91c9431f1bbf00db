// Column-major 4x4 matrices as OpenGL keeps them, and the few operations the
// fixed-function layer needs: the GL and GLU matrix calls, and points and
// normals carried through them.
#ifndef CUBEGAME_WEB_GLMATRIX_H
#define CUBEGAME_WEB_GLMATRIX_H

void mat4Identity(float m[16]);
// m = m * b, as glMultMatrixf does.
void mat4Multiply(float m[16], const float b[16]);
void mat4Translate(float m[16], float x, float y, float z);
void mat4Scale(float m[16], float x, float y, float z);
void mat4Rotate(float m[16], float degrees, float x, float y, float z);
void mat4Perspective(float m[16], double fovy, double aspect, double zNear, double zFar);
void mat4LookAt(float m[16], double eyeX, double eyeY, double eyeZ, double centerX, double centerY, double centerZ,
                  double upX, double upY, double upZ);
// out = m * (x, y, z, w).
void mat4Transform(const float m[16], const float in[4], float out[4]);
// The inverse transpose of m's upper 3x3, column-major, for normals.
void mat4Normal(const float m[16], float out[9]);

#endif
