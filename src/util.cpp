// util: placeholder bodies, replaced as the module is written.
#include "util.h"

float mod(float x) { return {}; }
float decToRad(float degrees) { return {}; }
float radToDec(float radians) { return {}; }
float pithag(float a, float b) { return {}; }
Vector vectorInit(float x, float y, float z) { return {}; }
Vector vectorAdd(Vector a, Vector b) { return {}; }
Vector vectorSubtract(Vector a, Vector b) { return {}; }
Vector vectorMultiply(Vector v, float s) { return {}; }
float vectorDotProduct(Vector a, Vector b) { return {}; }
Vector vectorCrossProduct(Vector a, Vector b) { return {}; }
Vector normalizeVector(Vector v) { return {}; }
Vector normal(Vector p1, Vector p2, Vector p3) { return {}; }
float findDirection(Vector from, Vector to) { return {}; }
void findYvalue(Vector p1, Vector p2, Vector p3, Vector* point) { }
void matrixTranspose(const float in[9], float out[9]) { }
void createStarMatrix(float out[9], float x, float y, float z) { }
void createOpenGLTransform(const float rotation[9], Vector* p, float out[16]) { }
void matrixIdentity(float out[16]) { }
void matrixZero(float out[16]) { }
void matrixTranslate(float out[16], float x, float y, float z) { }
void matrixRotate(float out[16], float angle, float x, float y, float z) { }
void matrixMultiply(const float a[16], const float b[16], float out[16]) { }
Vector matrixVectorMultiply(const float m[16], Vector v) { return {}; }
Quaternion quaternionInit(float w, float x, float y, float z) { return {}; }
Quaternion quaternionMultiplyFloat(Quaternion q, float s) { return {}; }
Quaternion quaternionMultiplyQuaternion(Quaternion a, Quaternion b) { return {}; }
Quaternion normalize(Quaternion q) { return {}; }
void quaternionGetAngleAxis(Quaternion q, float* angle, Vector* axis) { }
void quaternionToMatrix(Quaternion q, float out[16]) { }
