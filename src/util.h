// Small maths library: vectors, 3x3/4x4 matrices, quaternions, angles and
// ground-plane headings. Pure functions; vectors and quaternions by value,
// matrices as caller-owned float arrays (row-major unless stated).
#ifndef CUBEGAME_UTIL_H
#define CUBEGAME_UTIL_H

struct Vector {
    float x, y, z;
};

// Scalar part first; identity is (1, 0, 0, 0).
struct Quaternion {
    float w, x, y, z;
};

typedef float Matrix3[9];
typedef float Matrix4[16];

// A view volume as six planes (a, b, c, d): a point is inside a plane when
// a x + b y + c z + d >= 0; (a, b, c) has unit length, so d is a distance.
struct Frustum {
    float planes[6][4];
};

// What one frame's camera shows: its matrices as OpenGL holds them
// (column-major), the window rectangle (x, y, width, height) they map onto,
// and the volume they bound.
struct View {
    float projection[16];
    float modelview[16];
    int viewport[4];
    Frustum frustum;
};

float mod(float x);
float decToRad(float degrees);
float radToDec(float radians);
float pithag(float a, float b);

Vector vectorInit(float x, float y, float z);
Vector vectorAdd(Vector a, Vector b);
Vector vectorSubtract(Vector a, Vector b);
Vector vectorMultiply(Vector v, float s);
float vectorDotProduct(Vector a, Vector b);
Vector vectorCrossProduct(Vector a, Vector b);
Vector normalizeVector(Vector v);
Vector normal(Vector p1, Vector p2, Vector p3);
float findDirection(Vector from, Vector to);
void findYvalue(Vector p1, Vector p2, Vector p3, Vector* point);

void matrixTranspose(const float in[9], float out[9]);
void createStarMatrix(float out[9], float x, float y, float z);
// Writes OpenGL's column-major order.
void createOpenGLTransform(const float rotation[9], Vector* p, float out[16]);
void matrixIdentity(float out[16]);
void matrixZero(float out[16]);
void matrixTranslate(float out[16], float x, float y, float z);
void matrixRotate(float out[16], float angle, float x, float y, float z);
// out = a * b for a and b in row-major order, written in column-major order
// (OpenGL's); out must differ from a and b.
void matrixMultiply(const float a[16], const float b[16], float out[16]);
Vector matrixVectorMultiply(const float m[16], Vector v);

// The volume that clip = projection * modelview maps into the unit cube
// (both matrices column-major, as OpenGL returns them).
void frustumFromMatrices(const float projection[16], const float modelview[16], Frustum* out);
// 1 when the box lo..hi lies wholly outside one plane, further than margin.
int boxOutsideFrustum(const Frustum* frustum, Vector lo, Vector hi, float margin);
// 1 when the box lo..hi lies inside every plane, by at least margin.
int boxInsideFrustum(const Frustum* frustum, Vector lo, Vector hi, float margin);
int sphereOutsideFrustum(const Frustum* frustum, Vector centre, float radius);
// Copies the matrices and viewport into the view and works out its volume.
void viewFromMatrices(const float projection[16], const float modelview[16], const int viewport[4], View* out);
// The window position of p in *x, *y; 0 when p lies behind the near plane
// or within a unit of the eye, where the projection cannot place it.
int projectToWindow(const View* view, Vector p, double* x, double* y);

Quaternion quaternionInit(float w, float x, float y, float z);
Quaternion quaternionMultiplyFloat(Quaternion q, float s);
Quaternion quaternionMultiplyQuaternion(Quaternion a, Quaternion b);
Quaternion normalize(Quaternion q);
void quaternionGetAngleAxis(Quaternion q, float* angle, Vector* axis);
void quaternionToMatrix(Quaternion q, float out[16]);

#endif
