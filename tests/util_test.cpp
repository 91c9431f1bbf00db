// Maths library: zero-length cases, heading quadrants, matrix layouts and
// the quaternion conversions.
#include <gtest/gtest.h>

#include <cmath>

#include "util.h"

namespace {

const float EPS = 1e-5f;
const float PI_F = 3.14159265f;

void expectVector(Vector expected, Vector actual) {
    EXPECT_NEAR(expected.x, actual.x, EPS);
    EXPECT_NEAR(expected.y, actual.y, EPS);
    EXPECT_NEAR(expected.z, actual.z, EPS);
}

void expectIdentity(const float m[16]) {
    for (int i = 0; i < 16; i++) EXPECT_EQ(i % 5 == 0 ? 1.0f : 0.0f, m[i]) << "index " << i;
}

TEST(UtilScalars, AbsoluteValueAndAngles) {
    EXPECT_EQ(3.0f, mod(-3.0f));
    EXPECT_EQ(2.5f, mod(2.5f));
    EXPECT_NEAR(PI_F / 2, decToRad(90), EPS);
    EXPECT_NEAR(270.0f, radToDec(decToRad(270)), 1e-4f);
    EXPECT_EQ(5.0f, pithag(-3, 4));
}

TEST(UtilVectors, NormalizeKeepsZeroAndScalesToUnit) {
    expectVector(vectorInit(0, 0, 0), normalizeVector(vectorInit(0, 0, 0)));
    expectVector(vectorInit(0, 0.6f, 0.8f), normalizeVector(vectorInit(0, 3, 4)));
}

TEST(UtilVectors, NormalOfGroundTrianglePointsUp) {
    // The terrain's triangle order: (i, j), (i, j+1), (i+1, j+1).
    expectVector(vectorInit(0, 1, 0), normal(vectorInit(0, 0, 0), vectorInit(0, 0, 25), vectorInit(25, 0, 25)));
}

TEST(UtilHeadings, FindDirectionCoversEachQuadrant) {
    Vector origin = vectorInit(0, 0, 0);
    EXPECT_NEAR(0.0f, findDirection(origin, vectorInit(1, 5, 0)), 1e-4f);
    EXPECT_NEAR(90.0f, findDirection(origin, vectorInit(0, 0, 1)), 1e-4f);
    EXPECT_NEAR(180.0f, findDirection(origin, vectorInit(-1, 0, 0)), 1e-4f);
    EXPECT_NEAR(270.0f, findDirection(origin, vectorInit(0, 0, -1)), 1e-4f);
    EXPECT_NEAR(315.0f, findDirection(origin, vectorInit(1, 0, -1)), 1e-4f);
    EXPECT_NEAR(135.0f, findDirection(vectorInit(10, 0, 10), vectorInit(9, 0, 11)), 1e-4f);
    Vector p = vectorInit(4, 2, -7);
    EXPECT_EQ(0.0f, findDirection(p, p));
    EXPECT_EQ(0.0f, findDirection(p, vectorInit(4, 90, -7)));
}

TEST(UtilHeadings, FindYvalueLiesOnThePlane) {
    Vector point = vectorInit(123, -5, -456);
    findYvalue(vectorInit(0, 7, 0), vectorInit(0, 7, 25), vectorInit(25, 7, 25), &point);
    EXPECT_FLOAT_EQ(7.0f, point.y);
    EXPECT_EQ(123.0f, point.x);
    EXPECT_EQ(-456.0f, point.z);

    // The sloping plane y = x + 2z through three of its points.
    Vector q = vectorInit(3, 0, 4);
    findYvalue(vectorInit(0, 0, 0), vectorInit(1, 1, 0), vectorInit(0, 2, 1), &q);
    EXPECT_NEAR(11.0f, q.y, EPS);
}

TEST(UtilMatrices, StarMatrixAppliesTheCrossProduct) {
    Vector v = vectorInit(1.5f, -2, 3);
    Vector w = vectorInit(-4, 0.5f, 2);
    float star[9];
    createStarMatrix(star, v.x, v.y, v.z);
    Vector applied = vectorInit(star[0] * w.x + star[1] * w.y + star[2] * w.z,
                                star[3] * w.x + star[4] * w.y + star[5] * w.z,
                                star[6] * w.x + star[7] * w.y + star[8] * w.z);
    expectVector(vectorCrossProduct(v, w), applied);
    expectVector(vectorInit(0, 0, 1), vectorCrossProduct(vectorInit(1, 0, 0), vectorInit(0, 1, 0)));

    float transposed[9];
    matrixTranspose(star, transposed);
    for (int i = 0; i < 9; i++) EXPECT_EQ(-star[i], transposed[i]);
}

TEST(UtilMatrices, RotateIgnoresAxisLengthAndZeroAxisGivesIdentity) {
    float m[16], longer[16];
    matrixRotate(m, 1.0f, 0, 0, 0);
    expectIdentity(m);

    matrixRotate(m, 0.7f, 0, 0, 1);
    matrixRotate(longer, 0.7f, 0, 0, 2);
    for (int i = 0; i < 16; i++) EXPECT_EQ(m[i], longer[i]);

    // Right-handed about +y: +x turns toward -z.
    matrixRotate(m, PI_F / 2, 0, 1, 0);
    expectVector(vectorInit(0, 0, -1), matrixVectorMultiply(m, vectorInit(1, 0, 0)));
}

TEST(UtilMatrices, MultiplyAndOpenGLTransformWriteColumnMajor) {
    float identity[16], b[16], out[16];
    matrixIdentity(identity);
    for (int i = 0; i < 16; i++) b[i] = (float)(i + 1);
    matrixMultiply(identity, b, out);
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 4; j++) EXPECT_EQ(b[4 * i + j], out[4 * j + i]);

    // Row-major a * b: the translation column of a survives into column 3.
    float a[16];
    matrixTranslate(a, 5, 0, 0);
    expectVector(vectorInit(6, 0, 1), matrixVectorMultiply(a, vectorInit(1, 0, 1)));
    matrixRotate(b, PI_F / 2, 0, 0, 1);
    matrixMultiply(a, b, out);
    EXPECT_NEAR(5.0f, out[12], EPS);
    EXPECT_NEAR(-1.0f, out[4], EPS);

    float r[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    Vector p = vectorInit(10, 20, 30);
    createOpenGLTransform(r, &p, out);
    const float expected[16] = {1, 4, 7, 0, 2, 5, 8, 0, 3, 6, 9, 0, 10, 20, 30, 1};
    for (int i = 0; i < 16; i++) EXPECT_EQ(expected[i], out[i]) << "index " << i;
}

TEST(UtilQuaternions, NormalizeZeroGivesIdentity) {
    Quaternion q = normalize(quaternionInit(0, 0, 0, 0));
    EXPECT_EQ(1.0f, q.w);
    EXPECT_EQ(0.0f, q.x + q.y + q.z);
    Quaternion n = normalize(quaternionInit(0, 0, 3, 4));
    EXPECT_NEAR(0.8f, n.z, EPS);
}

TEST(UtilQuaternions, HamiltonProductOfBasisElements) {
    Quaternion i = quaternionInit(0, 1, 0, 0);
    Quaternion j = quaternionInit(0, 0, 1, 0);
    EXPECT_EQ(1.0f, quaternionMultiplyQuaternion(i, j).z);
    EXPECT_EQ(-1.0f, quaternionMultiplyQuaternion(j, i).z);
    EXPECT_EQ(-1.0f, quaternionMultiplyQuaternion(i, i).w);
}

TEST(UtilQuaternions, AngleAxisOfIdentityAndQuarterTurn) {
    float angle = -1;
    Vector axis = vectorInit(0, 0, 0);
    quaternionGetAngleAxis(quaternionInit(1, 0, 0, 0), &angle, &axis);
    EXPECT_EQ(0.0f, angle);
    expectVector(vectorInit(1, 0, 0), axis);

    float h = (float)std::sqrt(0.5);
    quaternionGetAngleAxis(quaternionInit(h, 0, h, 0), &angle, &axis);
    EXPECT_NEAR(PI_F / 2, angle, EPS);
    expectVector(vectorInit(0, 1, 0), axis);
}

TEST(UtilQuaternions, AngleAxisSurvivesWJustBeyondOne) {
    // Normalising can leave w a rounding step past +-1 beside a tiny vector
    // part; an unclamped acos returns NaN there.
    float angle = -1;
    Vector axis = vectorInit(0, 0, 0);
    quaternionGetAngleAxis(quaternionInit(std::nextafter(1.0f, 2.0f), 1e-4f, 0, 0), &angle, &axis);
    EXPECT_EQ(0.0f, angle);
    expectVector(vectorInit(1, 0, 0), axis);

    quaternionGetAngleAxis(quaternionInit(std::nextafter(-1.0f, -2.0f), 0, 0, 1e-4f), &angle, &axis);
    EXPECT_NEAR(2 * PI_F, angle, EPS);
}

TEST(UtilQuaternions, ToMatrixOfIdentityAndQuarterTurn) {
    float m[16];
    quaternionToMatrix(quaternionInit(1, 0, 0, 0), m);
    expectIdentity(m);
    Vector p = vectorInit(3, -4, 5);
    expectVector(p, matrixVectorMultiply(m, p));

    // A quarter turn about +z agrees with matrixRotate.
    float h = (float)std::sqrt(0.5);
    float rotation[16];
    quaternionToMatrix(quaternionInit(h, 0, 0, h), m);
    matrixRotate(rotation, PI_F / 2, 0, 0, 1);
    for (int i = 0; i < 16; i++) EXPECT_NEAR(rotation[i], m[i], EPS) << "index " << i;
}

// glFrustum(-1, 1, -1, 1, 1, 100) seen from (0, 0, 10) looking along -z,
// column-major as OpenGL holds them.
const float PROJECTION[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -101.0f / 99, -1, 0, 0, -200.0f / 99, 0};
const float MODELVIEW[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -10, 1};

TEST(UtilFrustum, PlanesBoundWhatTheMatricesShowAndPointsLandOnTheWindow) {
    const int viewport[4] = {10, 20, 200, 100};
    View view;
    viewFromMatrices(PROJECTION, MODELVIEW, viewport, &view);
    const Frustum* f = &view.frustum;
    EXPECT_EQ(0, sphereOutsideFrustum(f, vectorInit(0, 0, 0), 0.5f));
    EXPECT_EQ(1, sphereOutsideFrustum(f, vectorInit(0, 0, 10.5f), 0.1f));  // behind the near plane
    EXPECT_EQ(1, sphereOutsideFrustum(f, vectorInit(0, 0, -95), 1));       // 5 past the far plane
    EXPECT_EQ(0, sphereOutsideFrustum(f, vectorInit(0, 0, -95), 10));
    // 11 in front the view is 22 wide: a box from x = 13 lies 2 / sqrt 2 beyond its side.
    EXPECT_EQ(1, boxOutsideFrustum(f, vectorInit(13, -1, -1), vectorInit(14, 1, 1), 1.0f));
    EXPECT_EQ(0, boxOutsideFrustum(f, vectorInit(13, -1, -1), vectorInit(14, 1, 1), 2.0f));
    EXPECT_EQ(1, boxInsideFrustum(f, vectorInit(-1, -1, -1), vectorInit(1, 1, 1), 1.0f));
    EXPECT_EQ(0, boxInsideFrustum(f, vectorInit(-1, -1, -1), vectorInit(1, 1, 1), 7.0f));
    double x, y;
    ASSERT_EQ(1, projectToWindow(&view, vectorInit(5, -10, 0), &x, &y));
    EXPECT_NEAR(160.0, x, 1e-6);
    EXPECT_NEAR(20.0, y, 1e-6);
    EXPECT_EQ(0, projectToWindow(&view, vectorInit(0, 0, 12), &x, &y));  // behind the eye
}

}  // namespace
