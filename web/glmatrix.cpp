// Matrix operations of the fixed-function layer, with the formulas of the
// OpenGL and GLU manual pages, so the web build places things where Mesa does.
#include "glmatrix.h"

#include <cmath>
#include <cstring>

void mat4Identity(float m[16]) {
    memset(m, 0, 16 * sizeof(float));
    m[0] = m[5] = m[10] = m[15] = 1.0f;
}

void mat4Multiply(float m[16], const float b[16]) {
    float r[16];
    for (int c = 0; c < 4; ++c)
        for (int row = 0; row < 4; ++row)
            r[c * 4 + row] = m[row] * b[c * 4] + m[4 + row] * b[c * 4 + 1] + m[8 + row] * b[c * 4 + 2] +
                             m[12 + row] * b[c * 4 + 3];
    memcpy(m, r, sizeof r);
}

void mat4Translate(float m[16], float x, float y, float z) {
    for (int row = 0; row < 4; ++row) m[12 + row] += m[row] * x + m[4 + row] * y + m[8 + row] * z;
}

void mat4Scale(float m[16], float x, float y, float z) {
    for (int row = 0; row < 4; ++row) {
        m[row] *= x;
        m[4 + row] *= y;
        m[8 + row] *= z;
    }
}

void mat4Rotate(float m[16], float degrees, float x, float y, float z) {
    float length = sqrtf(x * x + y * y + z * z);
    if (length == 0.0f) return;
    x /= length;
    y /= length;
    z /= length;
    float a = degrees * (float)M_PI / 180.0f;
    float c = cosf(a), s = sinf(a), t = 1.0f - c;
    const float r[16] = {x * x * t + c,     y * x * t + z * s, x * z * t - y * s, 0,
                         x * y * t - z * s, y * y * t + c,     y * z * t + x * s, 0,
                         x * z * t + y * s, y * z * t - x * s, z * z * t + c,     0,
                         0,                 0,                 0,                 1};
    mat4Multiply(m, r);
}

void mat4Perspective(float m[16], double fovy, double aspect, double zNear, double zFar) {
    double f = 1.0 / tan(fovy * M_PI / 360.0);
    double depth = zNear - zFar;
    if (depth == 0.0 || aspect == 0.0) return;
    float r[16] = {0};
    r[0] = (float)(f / aspect);
    r[5] = (float)f;
    r[10] = (float)((zFar + zNear) / depth);
    r[11] = -1.0f;
    r[14] = (float)(2.0 * zFar * zNear / depth);
    mat4Multiply(m, r);
}

static void normalise(double v[3]) {
    double length = sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length == 0.0) return;
    for (int i = 0; i < 3; ++i) v[i] /= length;
}

static void cross(const double a[3], const double b[3], double out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

void mat4LookAt(float m[16], double eyeX, double eyeY, double eyeZ, double centerX, double centerY, double centerZ,
                  double upX, double upY, double upZ) {
    double forward[3] = {centerX - eyeX, centerY - eyeY, centerZ - eyeZ};
    double up[3] = {upX, upY, upZ};
    double side[3], newUp[3];
    normalise(forward);
    cross(forward, up, side);
    normalise(side);
    cross(side, forward, newUp);
    float r[16] = {(float)side[0], (float)newUp[0], (float)-forward[0], 0,
                   (float)side[1], (float)newUp[1], (float)-forward[1], 0,
                   (float)side[2], (float)newUp[2], (float)-forward[2], 0,
                   0,              0,               0,                  1};
    mat4Multiply(m, r);
    mat4Translate(m, (float)-eyeX, (float)-eyeY, (float)-eyeZ);
}

void mat4Transform(const float m[16], const float in[4], float out[4]) {
    for (int row = 0; row < 4; ++row)
        out[row] = m[row] * in[0] + m[4 + row] * in[1] + m[8 + row] * in[2] + m[12 + row] * in[3];
}

void mat4Normal(const float m[16], float out[9]) {
    // Cofactors of the upper 3x3 over its determinant: the inverse transpose.
    float a = m[0], b = m[4], c = m[8], d = m[1], e = m[5], f = m[9], g = m[2], h = m[6], i = m[10];
    float cof[9] = {e * i - f * h, -(d * i - f * g), d * h - e * g,
                    -(b * i - c * h), a * i - c * g, -(a * h - b * g),
                    b * f - c * e, -(a * f - c * d), a * e - b * d};
    float det = a * cof[0] + b * cof[1] + c * cof[2];
    float k = det != 0.0f ? 1.0f / det : 0.0f;
    // cof[row*3+col] is the cofactor of element (row, col); the inverse
    // transpose is cofactor/det laid out with rows as rows: column-major out.
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) out[col * 3 + row] = cof[row * 3 + col] * k;
}
