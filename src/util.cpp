// Maths library: vectors, 3x3/4x4 matrices, quaternions, angles and headings
// in the ground plane. In: floats, vectors and quaternions by value, matrices
// as caller-owned arrays. Out: values or the caller's arrays; no state.
#include "util.h"

#include <cmath>

// Double constant: sqrt, pow, trig and the angle conversions are formed in
// double precision and rounded to float on return.
static const double PI = 3.141592653589793;

float mod(float x) {
    return x > 0 ? x : -x;
}

float decToRad(float degrees) {
    return (float)(degrees / 180.0f * PI);
}

float radToDec(float radians) {
    return (float)(radians / PI * 180.0);
}

float pithag(float a, float b) {
    return (float)sqrt(a * a + b * b);
}

Vector vectorInit(float x, float y, float z) {
    Vector v = {x, y, z};
    return v;
}

Vector vectorAdd(Vector a, Vector b) {
    return vectorInit(a.x + b.x, a.y + b.y, a.z + b.z);
}

Vector vectorSubtract(Vector a, Vector b) {
    return vectorInit(a.x - b.x, a.y - b.y, a.z - b.z);
}

Vector vectorMultiply(Vector v, float s) {
    return vectorInit(v.x * s, v.y * s, v.z * s);
}

float vectorDotProduct(Vector a, Vector b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vector vectorCrossProduct(Vector a, Vector b) {
    return vectorInit(a.y * b.z - b.y * a.z, a.z * b.x - b.z * a.x, a.x * b.y - b.x * a.y);
}

Vector normalizeVector(Vector v) {
    float length = (float)sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    // A zero vector divides by 1 and comes back unchanged.
    if (length == 0) length = 1;
    return vectorInit(v.x / length, v.y / length, v.z / length);
}

Vector normal(Vector p1, Vector p2, Vector p3) {
    return normalizeVector(vectorCrossProduct(vectorSubtract(p1, p2), vectorSubtract(p2, p3)));
}

// Heading 0 along +x, 90 along +z; always within 0 ... 360.
float findDirection(Vector from, Vector to) {
    float dx = to.x - from.x;
    float dz = to.z - from.z;
    if (dx == 0 && dz == 0) return 0;
    float angle = radToDec((float)acos(dx / pithag(dx, dz)));
    if (dz < 0) angle = 360 - angle;
    return angle;
}

// Plane through p1 with normal n = (p2 - p1) x (p3 - p1):
// y = p1.y - ((x - p1.x) n.x + (z - p1.z) n.z) / n.y.
void findYvalue(Vector p1, Vector p2, Vector p3, Vector* point) {
    Vector u = vectorSubtract(p2, p1);
    Vector v = vectorSubtract(p3, p1);
    float nx = u.y * v.z - u.z * v.y;
    float ny = u.z * v.x - u.x * v.z;
    float nz = u.x * v.y - u.y * v.x;
    point->y = p1.y - ((point->x - p1.x) * nx + (point->z - p1.z) * nz) / ny;
}

void matrixTranspose(const float in[9], float out[9]) {
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++) out[3 * i + j] = in[3 * j + i];
}

// out * w == (x, y, z) x w.
void createStarMatrix(float out[9], float x, float y, float z) {
    out[0] = 0;
    out[1] = -z;
    out[2] = y;
    out[3] = z;
    out[4] = 0;
    out[5] = -x;
    out[6] = -y;
    out[7] = x;
    out[8] = 0;
}

void createOpenGLTransform(const float rotation[9], Vector* p, float out[16]) {
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++) out[4 * j + i] = rotation[3 * i + j];
    out[3] = 0;
    out[7] = 0;
    out[11] = 0;
    out[12] = p->x;
    out[13] = p->y;
    out[14] = p->z;
    out[15] = 1;
}

void matrixIdentity(float out[16]) {
    for (int i = 0; i < 16; i++) out[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

void matrixZero(float out[16]) {
    for (int i = 0; i < 16; i++) out[i] = 0;
}

void matrixTranslate(float out[16], float x, float y, float z) {
    matrixIdentity(out);
    out[3] = x;
    out[7] = y;
    out[11] = z;
}

// Rotation by `angle` radians about the axis (x, y, z), which need not be
// unit length; a zero axis gives the identity.
void matrixRotate(float out[16], float angle, float x, float y, float z) {
    if (x == 0 && y == 0 && z == 0) {
        matrixIdentity(out);
        return;
    }
    Vector u = normalizeVector(vectorInit(x, y, z));
    float co = (float)cos(angle);
    float si = (float)sin(angle);
    float t = 1 - co;

    out[0] = u.x * u.x * t + co;
    out[1] = u.x * u.y * t - u.z * si;
    out[2] = u.x * u.z * t + u.y * si;
    out[3] = 0;
    out[4] = u.x * u.y * t + u.z * si;
    out[5] = u.y * u.y * t + co;
    out[6] = u.y * u.z * t - u.x * si;
    out[7] = 0;
    out[8] = u.x * u.z * t - u.y * si;
    out[9] = u.y * u.z * t + u.x * si;
    out[10] = u.z * u.z * t + co;
    out[11] = 0;
    out[12] = 0;
    out[13] = 0;
    out[14] = 0;
    out[15] = 1;
}

// a and b row-major; the product lands in column-major order.
void matrixMultiply(const float a[16], const float b[16], float out[16]) {
    matrixZero(out);
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 4; j++)
            for (int k = 0; k < 4; k++) out[4 * j + i] += a[4 * i + k] * b[4 * k + j];
}

// The point (v, 1) through the upper three rows; the bottom row is unused.
Vector matrixVectorMultiply(const float m[16], Vector v) {
    return vectorInit(m[0] * v.x + m[1] * v.y + m[2] * v.z + m[3],
                      m[4] * v.x + m[5] * v.y + m[6] * v.z + m[7],
                      m[8] * v.x + m[9] * v.y + m[10] * v.z + m[11]);
}

// Rows of the combined matrix give the planes (row 3 plus or minus rows 0,
// 1, 2: left, right, bottom, top, near, far), formed in double precision.
void frustumFromMatrices(const float projection[16], const float modelview[16], Frustum* out) {
    double clip[16];
    for (int col = 0; col < 4; col++)
        for (int row = 0; row < 4; row++) {
            double sum = 0.0;
            for (int k = 0; k < 4; k++) sum += (double)projection[4 * k + row] * modelview[4 * col + k];
            clip[4 * col + row] = sum;
        }
    for (int p = 0; p < 6; p++) {
        const int row = p / 2;
        const double sign = p % 2 == 0 ? 1.0 : -1.0;
        double plane[4];
        for (int col = 0; col < 4; col++) plane[col] = clip[4 * col + 3] + sign * clip[4 * col + row];
        double length = sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
        if (length == 0.0) length = 1.0;
        for (int k = 0; k < 4; k++) out->planes[p][k] = (float)(plane[k] / length);
    }
}

// Signed distance of the box corner furthest along (inward) or against
// (outward) the plane's normal.
static float boxReach(const float plane[4], Vector lo, Vector hi, bool furthestIn) {
    const float x = (plane[0] >= 0.0f) == furthestIn ? hi.x : lo.x;
    const float y = (plane[1] >= 0.0f) == furthestIn ? hi.y : lo.y;
    const float z = (plane[2] >= 0.0f) == furthestIn ? hi.z : lo.z;
    return plane[0] * x + plane[1] * y + plane[2] * z + plane[3];
}

int boxOutsideFrustum(const Frustum* frustum, Vector lo, Vector hi, float margin) {
    for (int p = 0; p < 6; p++)
        if (boxReach(frustum->planes[p], lo, hi, true) < -margin) return 1;
    return 0;
}

int boxInsideFrustum(const Frustum* frustum, Vector lo, Vector hi, float margin) {
    for (int p = 0; p < 6; p++)
        if (boxReach(frustum->planes[p], lo, hi, false) < margin) return 0;
    return 1;
}

int sphereOutsideFrustum(const Frustum* frustum, Vector centre, float radius) {
    for (int p = 0; p < 6; p++) {
        const float* plane = frustum->planes[p];
        if (plane[0] * centre.x + plane[1] * centre.y + plane[2] * centre.z + plane[3] < -radius) return 1;
    }
    return 0;
}

void viewFromMatrices(const float projection[16], const float modelview[16], const int viewport[4], View* out) {
    for (int k = 0; k < 16; k++) {
        out->projection[k] = projection[k];
        out->modelview[k] = modelview[k];
    }
    for (int k = 0; k < 4; k++) out->viewport[k] = viewport[k];
    frustumFromMatrices(projection, modelview, &out->frustum);
}

// In double precision: the far ends of the shadow's volumes lie ten million
// units away.
int projectToWindow(const View* view, Vector p, double* x, double* y) {
    double eye[4], clip[4];
    for (int r = 0; r < 4; r++)
        eye[r] = (double)view->modelview[r] * p.x + (double)view->modelview[4 + r] * p.y +
                 (double)view->modelview[8 + r] * p.z + view->modelview[12 + r];
    for (int r = 0; r < 4; r++)
        clip[r] = view->projection[r] * eye[0] + view->projection[4 + r] * eye[1] + view->projection[8 + r] * eye[2] +
                  view->projection[12 + r] * eye[3];
    if (!(clip[2] + clip[3] > 0.0 && clip[3] >= 1.0)) return 0;
    const int* v = view->viewport;
    *x = v[0] + (clip[0] / clip[3] + 1.0) * 0.5 * v[2];
    *y = v[1] + (clip[1] / clip[3] + 1.0) * 0.5 * v[3];
    return 1;
}

Quaternion quaternionInit(float w, float x, float y, float z) {
    Quaternion q = {w, x, y, z};
    return q;
}

Quaternion quaternionMultiplyFloat(Quaternion q, float s) {
    return quaternionInit(q.w * s, q.x * s, q.y * s, q.z * s);
}

// Hamilton product a (x) b.
Quaternion quaternionMultiplyQuaternion(Quaternion a, Quaternion b) {
    return quaternionInit(a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z,
                          a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
                          a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
                          a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w);
}

Quaternion normalize(Quaternion q) {
    float length = (float)sqrt(q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z);
    if (length == 0) return quaternionInit(1, 0, 0, 0);
    return quaternionInit(q.w / length, q.x / length, q.y / length, q.z / length);
}

// Angle in radians and unit axis; without a vector part, 0 about (1, 0, 0).
void quaternionGetAngleAxis(Quaternion q, float* angle, Vector* axis) {
    float s = q.x * q.x + q.y * q.y + q.z * q.z;
    if (s > 0) {
        // A normalised quaternion can carry w a rounding step beyond +-1,
        // where acos would give NaN.
        float w = q.w > 1 ? 1.0f : (q.w < -1 ? -1.0f : q.w);
        *angle = (float)(2 * acos(w));
        float length = (float)pow(s, 0.5);
        *axis = vectorInit(q.x / length, q.y / length, q.z / length);
    } else {
        *angle = 0;
        *axis = vectorInit(1, 0, 0);
    }
}

// Row-major rotation matrix of a unit quaternion.
void quaternionToMatrix(Quaternion q, float out[16]) {
    float w = q.w, x = q.x, y = q.y, z = q.z;
    out[0] = 1 - 2 * (y * y + z * z);
    out[1] = 2 * (x * y - w * z);
    out[2] = 2 * (x * z + w * y);
    out[3] = 0;
    out[4] = 2 * (x * y + w * z);
    out[5] = 1 - 2 * (x * x + z * z);
    out[6] = 2 * (y * z - w * x);
    out[7] = 0;
    out[8] = 2 * (x * z - w * y);
    out[9] = 2 * (y * z + w * x);
    out[10] = 1 - 2 * (x * x + y * y);
    out[11] = 0;
    out[12] = 0;
    out[13] = 0;
    out[14] = 0;
    out[15] = 1;
}
