// The plain routines against values worked out by hand from each
// operation's definition (row vectors, row-major matrices).
#include <gtest/gtest.h>

#include <cmath>

#include "mathlib/PlainRoutines.h"
#include "mathlib/VectorMath.h"

using namespace mathlib::plain;

namespace {

constexpr float kEps = 1e-5f;
constexpr float kHalfPi = 1.57079633f;
constexpr float kPi = 3.14159265f;

MathMatrix M(std::initializer_list<float> values) {
  MathMatrix m{};
  int i = 0;
  for (float v : values) (&m.m[0][0])[i++] = v;
  return m;
}

void ExpectMatrix(const MathMatrix& actual, const MathMatrix& expected, float eps = kEps) {
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(actual.m[i][j], expected.m[i][j], eps) << "m" << i << j;
  }
}
void Expect4(const float* actual, std::initializer_list<float> expected, float eps = kEps) {
  int i = 0;
  for (float e : expected) {
    EXPECT_NEAR(actual[i], e, eps) << "component " << i;
    ++i;
  }
}
template <class T>
const float* P(const T& v) {
  return reinterpret_cast<const float*>(&v);
}

// Row 3 translates; the upper 3x3 is a general linear map.
const MathMatrix kAffine = M({1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 10, 0, 10, 20, 30, 1});
const MathMatrix kIdentity = M({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});

}  // namespace

TEST(PlainVectors, TransformsAreRowVectorTimesMatrix) {
  const MathVec2 v2{1, 2};
  const MathVec3 v3{1, 2, 3};
  const MathVec4 v4{1, 2, 3, 2};
  MathVec4 r;
  Vec2Transform(&r, &v2, &kAffine);  // (1,2,0,1)
  Expect4(P(r), {19, 32, 45, 1});
  Vec3Transform(&r, &v3, &kAffine);  // (1,2,3,1)
  Expect4(P(r), {40, 56, 75, 1});
  Vec4Transform(&r, &v4, &kAffine);  // (1,2,3,2)
  Expect4(P(r), {50, 76, 105, 2});

  MathVec2 n2;
  Vec2TransformNormal(&n2, &v2, &kAffine);  // no translation
  Expect4(P(n2), {9, 12});
  MathVec3 n3;
  Vec3TransformNormal(&n3, &v3, &kAffine);
  Expect4(P(n3), {30, 36, 45});
}

TEST(PlainVectors, CoordTransformsDivideByW) {
  MathMatrix m = kAffine;
  m.m[3][3] = 2;  // w = 2 for points
  m.m[0][3] = 1;  // and grows with x
  const MathVec2 v2{1, 2};
  MathVec2 r2;
  Vec2TransformCoord(&r2, &v2, &m);  // (19, 32, 45, 3) / 3
  Expect4(P(r2), {19.0f / 3, 32.0f / 3});
  const MathVec3 v3{1, 2, 3};
  MathVec3 r3;
  Vec3TransformCoord(&r3, &v3, &m);  // (40, 56, 75, 3) / 3
  Expect4(P(r3), {40.0f / 3, 56.0f / 3, 25});
}

TEST(PlainVectors, NormaliseKeepsZeroVectorsZero) {
  const MathVec2 a{3, 4};
  MathVec2 a1;
  Vec2Normalise(&a1, &a);
  Expect4(P(a1), {0.6f, 0.8f});
  const MathVec3 b{2, 3, 6};
  MathVec3 b1;
  Vec3Normalise(&b1, &b);
  Expect4(P(b1), {2.0f / 7, 3.0f / 7, 6.0f / 7});
  const MathVec4 c{1, 1, 1, 1};
  MathVec4 c1;
  Vec4Normalise(&c1, &c);
  Expect4(P(c1), {0.5f, 0.5f, 0.5f, 0.5f});
  const MathQuat q{0, 0, 2, 0};
  MathQuat q1;
  QuatNormalise(&q1, &q);
  Expect4(P(q1), {0, 0, 1, 0});

  const MathVec3 zero{0, 0, 0};
  MathVec3 z;
  Vec3Normalise(&z, &zero);
  Expect4(P(z), {0, 0, 0}, 0);
}

TEST(PlainVectors, FourDimensionalCross) {
  const MathVec4 e1{1, 0, 0, 0}, e2{0, 1, 0, 0}, e3{0, 0, 1, 0};
  MathVec4 r;
  Vec4Cross(&r, &e1, &e2, &e3);
  Expect4(P(r), {0, 0, 0, -1});
  // Perpendicular to all three inputs.
  const MathVec4 a{1, 2, 3, 4}, b{-2, 1, 0, 5}, c{3, -1, 2, 1};
  Vec4Cross(&r, &a, &b, &c);
  for (const MathVec4* v : {&a, &b, &c}) EXPECT_NEAR(r.x * v->x + r.y * v->y + r.z * v->z + r.w * v->w, 0, 1e-4f);
}

TEST(PlainVectors, Interpolations) {
  const MathVec2 p1{0, 0}, t1{1, 0}, p2{1, 1}, t2{0, 1};
  MathVec2 h;
  Vec2Hermite(&h, &p1, &t1, &p2, &t2, 0);
  Expect4(P(h), {0, 0});
  Vec2Hermite(&h, &p1, &t1, &p2, &t2, 1);
  Expect4(P(h), {1, 1});
  Vec2Hermite(&h, &p1, &t1, &p2, &t2, 0.5f);  // h = (0.5, 0.125, 0.5, -0.125)
  Expect4(P(h), {0.625f, 0.375f});

  // Catmull-Rom through evenly spaced points on a line is the line.
  const MathVec3 q0{0, 0, 0}, q1{1, 2, 3}, q2{2, 4, 6}, q3{3, 6, 9};
  MathVec3 cr;
  Vec3CatmullRom(&cr, &q0, &q1, &q2, &q3, 0.25f);
  Expect4(P(cr), {1.25f, 2.5f, 3.75f});
  // Off the line: s = 0.5 gives (-p0 + 9 p1 + 9 p2 - p3) / 16.
  const MathVec4 r0{0, 0, 0, 16}, r1{16, 0, 0, 0}, r2{0, 16, 0, 0}, r3{0, 0, 16, 0};
  MathVec4 c4;
  Vec4CatmullRom(&c4, &r0, &r1, &r2, &r3, 0.5f);
  Expect4(P(c4), {9, 9, -1, -1});
  Vec4Hermite(&c4, &r0, &r1, &r2, &r3, 1);
  Expect4(P(c4), {0, 16, 0, 0});
  MathVec2 c2;
  const MathVec2 s0{0, 0}, s1{1, 0}, s2{2, 0}, s3{3, 0};
  Vec2CatmullRom(&c2, &s0, &s1, &s2, &s3, 1);
  Expect4(P(c2), {2, 0});
  MathVec3 h3;
  Vec3Hermite(&h3, &q1, &q0, &q2, &q0, 0.5f);  // zero tangents: the midpoint
  Expect4(P(h3), {1.5f, 3, 4.5f});

  const MathVec2 b1{0, 0}, b2{4, 0}, b3{0, 8};
  MathVec2 b;
  Vec2Barycentric(&b, &b1, &b2, &b3, 0.25f, 0.5f);
  Expect4(P(b), {1, 4});
  const MathVec3 d1{1, 1, 1}, d2{2, 1, 1}, d3{1, 1, 3};
  MathVec3 d;
  Vec3Barycentric(&d, &d1, &d2, &d3, 1, 1);
  Expect4(P(d), {2, 1, 3});
  const MathVec4 f1{1, 2, 3, 4}, f2{5, 6, 7, 8}, f3{0, 0, 0, 0};
  MathVec4 f;
  Vec4Barycentric(&f, &f1, &f2, &f3, 0, 0);
  Expect4(P(f), {1, 2, 3, 4});
}

TEST(PlainMatrices, ProductsAndTranspose) {
  const MathMatrix a = M({1, 2, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 3, 0, 0, 1});
  const MathMatrix b = M({2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1});
  MathMatrix r;
  MatrixMultiply(&r, &a, &b);
  ExpectMatrix(r, M({2, 6, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 6, 0, 0, 1}));
  MatrixMultiplyTranspose(&r, &a, &b);
  ExpectMatrix(r, M({2, 0, 0, 6, 6, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1}));
  MatrixTranspose(&r, &kAffine);
  ExpectMatrix(r, M({1, 4, 7, 10, 2, 5, 8, 20, 3, 6, 10, 30, 0, 0, 0, 1}));
  // The product with itself squares.
  r = a;
  MatrixMultiply(&r, &r, &r);
  ExpectMatrix(r, M({1, 4, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 6, 6, 0, 1}));
}

TEST(PlainMatrices, DeterminantAndInverse) {
  EXPECT_NEAR(MatrixDeterminant(&kAffine), -3, kEps);  // det of the 3x3 part
  const MathMatrix general = M({2, 0, 0, 1, 0, 3, 0, 0, 0, 0, 4, 0, 1, 0, 0, 1});
  EXPECT_NEAR(MatrixDeterminant(&general), 12, kEps);  // 3 * 4 * (2*1 - 1*1)

  MathMatrix inv;
  float det = 0;
  ASSERT_EQ(MatrixInverse(&inv, &det, &general), &inv);
  EXPECT_NEAR(det, 12, kEps);
  ExpectMatrix(inv, M({1, 0, 0, -1, 0, 1.0f / 3, 0, 0, 0, 0, 0.25f, 0, -1, 0, 0, 2}));

  // A rotation's inverse is its transpose; the product gives the identity.
  MathMatrix rot, rotT, prod;
  const MathVec3 axis{1, 2, 2};
  MatrixRotationAxis(&rot, &axis, 0.7f);
  MatrixTranspose(&rotT, &rot);
  ASSERT_NE(MatrixInverse(&inv, nullptr, &rot), nullptr);
  ExpectMatrix(inv, rotT);
  MatrixMultiply(&prod, &rot, &inv);
  ExpectMatrix(prod, kIdentity);

  // Singular: no matrix, output untouched, determinant still reported.
  MathMatrix singular = kAffine;
  for (int j = 0; j < 4; ++j) singular.m[1][j] = 2 * singular.m[0][j];
  MathMatrix untouched = kIdentity;
  det = 5;
  EXPECT_EQ(MatrixInverse(&untouched, &det, &singular), nullptr);
  EXPECT_EQ(det, 0);
  ExpectMatrix(untouched, kIdentity, 0);
}

TEST(PlainMatrices, Builders) {
  MathMatrix r;
  MatrixTranslation(&r, 1, 2, 3);
  ExpectMatrix(r, M({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1}));
  MatrixScaling(&r, 2, 3, 4);
  ExpectMatrix(r, M({2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1}));
  MatrixRotationX(&r, kHalfPi);  // (0,1,0) -> (0,0,1)
  ExpectMatrix(r, M({1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1}));
  MatrixRotationY(&r, kHalfPi);  // (0,0,1) -> (1,0,0)
  ExpectMatrix(r, M({0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1}));
  MatrixRotationZ(&r, kHalfPi);  // (1,0,0) -> (0,1,0)
  ExpectMatrix(r, M({0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
  MatrixRotationX(&r, 0);
  ExpectMatrix(r, kIdentity, 0);
  MatrixRotationZ(&r, kPi);
  ExpectMatrix(r, M({-1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));

  // Axis rotations agree with the named ones; the axis is normalised.
  MathMatrix named;
  const MathVec3 y{0, 5, 0};
  MatrixRotationAxis(&r, &y, 0.3f);
  MatrixRotationY(&named, 0.3f);
  ExpectMatrix(r, named);

  // Yaw, pitch, roll: roll about z first, then pitch about x, then yaw.
  MatrixRotationYawPitchRoll(&r, kHalfPi, 0, 0);
  MatrixRotationY(&named, kHalfPi);
  ExpectMatrix(r, named);
  MatrixRotationYawPitchRoll(&r, kHalfPi, kHalfPi, 0);  // x -> x (pitch) -> -z (yaw)
  const MathVec3 x{1, 0, 0};
  MathVec3 moved;
  Vec3TransformNormal(&moved, &x, &r);
  Expect4(P(moved), {0, 0, -1});
}

TEST(PlainMatrices, RotationFromQuaternionFollowsTheTable) {
  const float s = std::sin(0.35f), c = std::cos(0.35f);
  const MathQuat qx{s, 0, 0, c}, qy{0, s, 0, c}, qz{0, 0, s, c};
  MathMatrix fromQ, named;
  MatrixRotationQuat(&fromQ, &qx);
  MatrixRotationX(&named, 0.7f);
  ExpectMatrix(fromQ, named);
  MatrixRotationQuat(&fromQ, &qy);
  MatrixRotationY(&named, 0.7f);
  ExpectMatrix(fromQ, named);
  MatrixRotationQuat(&fromQ, &qz);
  MatrixRotationZ(&named, 0.7f);
  ExpectMatrix(fromQ, named);
  // Not normalised first: (1, 1, 0, 0) by the table.
  const MathQuat q{1, 1, 0, 0};
  MatrixRotationQuat(&fromQ, &q);
  ExpectMatrix(fromQ, M({-1, 2, 0, 0, 2, -1, 0, 0, 0, 0, -3, 0, 0, 0, 0, 1}));
}

TEST(PlainMatrices, ShadowAndReflection) {
  const MathPlane ground{0, 2, 0, 0};  // y = 0, not normalised
  const MathVec4 sun{0, 1, 0, 0};      // straight down: a directional light
  MathMatrix shadow;
  MatrixShadow(&shadow, &sun, &ground);
  const MathVec3 p{3, 5, 7};
  MathVec3 flat;
  Vec3TransformCoord(&flat, &p, &shadow);
  Expect4(P(flat), {3, 0, 7});
  const MathVec4 lamp{0, 10, 0, 1};  // a point light above the origin
  MatrixShadow(&shadow, &lamp, &ground);
  const MathVec3 q{1, 5, 0};  // halfway down: the shadow lands twice as far out
  Vec3TransformCoord(&flat, &q, &shadow);
  Expect4(P(flat), {2, 0, 0});

  const MathPlane mirror{0, 0, 1, -2};  // z = 2
  MathMatrix reflect;
  MatrixReflect(&reflect, &mirror);
  MathVec3 image;
  Vec3TransformCoord(&image, &p, &reflect);
  Expect4(P(image), {3, 5, -3});
}

TEST(PlainMatrices, ComposedTransformations) {
  // Scale 2 about the centre (1, 0, 0), rotate 90 degrees about z around
  // (0, 1, 0), translate by (10, 0, 0).
  const MathVec3 sc{1, 0, 0}, s{2, 2, 2}, rc{0, 1, 0}, t{10, 0, 0};
  const float h = std::sqrt(0.5f);
  const MathQuat rz{0, 0, h, h}, none{0, 0, 0, 1};
  MathMatrix m;
  MatrixTransformation(&m, &sc, &none, &s, &rc, &rz, &t);
  const MathVec3 p{2, 0, 0};  // scaled: (3, 0, 0); rotated about (0,1,0): (1, 4, 0)
  MathVec3 r;
  Vec3TransformCoord(&r, &p, &m);
  Expect4(P(r), {11, 4, 0});
  // Null arguments mean no change.
  MatrixTransformation(&m, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  ExpectMatrix(m, kIdentity, 0);
  // A scaling rotation orients the scaling axes: scale x by 3 along y.
  const MathVec3 sx{3, 1, 1};
  MatrixTransformation(&m, nullptr, &rz, &sx, nullptr, nullptr, nullptr);
  const MathVec3 yv{0, 1, 0};
  Vec3TransformCoord(&r, &yv, &m);
  Expect4(P(r), {0, 3, 0});

  MatrixAffineTransformation(&m, 2, &rc, &rz, &t);
  const MathVec3 one{1, 0, 0};  // scaled: (2, 0, 0); rotated about (0,1,0): (1, 3, 0)
  Vec3TransformCoord(&r, &one, &m);
  Expect4(P(r), {11, 3, 0});
}

TEST(PlainPlanes, Construction) {
  const MathVec3 point{0, 0, 5}, normal{0, 0, 2};
  MathPlane p;
  PlaneFromPointNormal(&p, &point, &normal);
  Expect4(P(p), {0, 0, 2, -10});
  const MathVec3 a{0, 0, 3}, b{1, 0, 3}, c{0, 1, 3};
  PlaneFromPoints(&p, &a, &b, &c);  // normal (b-a) x (c-a) = +z
  Expect4(P(p), {0, 0, 1, -3});
  const MathPlane raw{3, 0, 4, 10};
  PlaneNormalise(&p, &raw);
  Expect4(P(p), {0.6f, 0, 0.8f, 2});
}

TEST(PlainPlanes, LineIntersectionAndTransform) {
  const MathPlane z3{0, 0, 1, -3};
  const MathVec3 a{1, 1, 0}, b{1, 1, 1}, c{2, 1, 0};
  MathVec3 r{9, 9, 9};
  ASSERT_EQ(PlaneIntersectLine(&r, &z3, &a, &b), &r);  // beyond b: the line, not the segment
  Expect4(P(r), {1, 1, 3});
  EXPECT_EQ(PlaneIntersectLine(&r, &z3, &a, &c), nullptr);  // parallel
  Expect4(P(r), {1, 1, 3}, 0);

  // Transform a plane by the inverse transpose of a translation.
  MathMatrix t, ti, tit;
  MatrixTranslation(&t, 0, 0, 2);
  MatrixInverse(&ti, nullptr, &t);
  MatrixTranspose(&tit, &ti);
  MathPlane moved;
  PlaneTransform(&moved, &z3, &tit);
  Expect4(P(moved), {0, 0, 1, -5});
}

TEST(PlainPlanes, ProjectAndUnproject) {
  const MathViewport vp{10, 20, 200, 100, 0, 1};
  MathMatrix proj = M({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 1, 0, 0, -1, 0});  // z near 1, w = z
  const MathVec3 v{1, 1, 2};
  MathVec3 s;
  Vec3Project(&s, &v, &vp, &proj, nullptr, nullptr);  // clip (1, 1, 1, 2) -> (0.5, 0.5, 0.5)
  Expect4(P(s), {10 + 1.5f * 100, 20 + 0.5f * 50, 0.5f});
  MathVec3 back;
  ASSERT_NE(Vec3Unproject(&back, &s, &vp, &proj, nullptr, nullptr), nullptr);
  Expect4(P(back), {1, 1, 2}, 1e-4f);
  const MathMatrix zero{};
  EXPECT_EQ(Vec3Unproject(&back, &s, &vp, &zero, nullptr, nullptr), nullptr);
  // World and view come first.
  MathMatrix world;
  MatrixTranslation(&world, 0, 0, 1);
  Vec3Project(&s, &v, nullptr, &proj, nullptr, &world);  // clip (1, 1, 2, 3)
  Expect4(P(s), {1.0f / 3, 1.0f / 3, 2.0f / 3});
}

TEST(PlainQuaternions, ProductIsRotationAThenB) {
  const float h = std::sqrt(0.5f);
  const MathQuat a{0, 0, h, h}, b{h, 0, 0, h};  // 90 degrees about z, then about x
  MathQuat ab, ba;
  QuatMultiply(&ab, &a, &b);  // b (x) a
  Expect4(P(ab), {0.5f, -0.5f, 0.5f, 0.5f});
  QuatMultiply(&ba, &b, &a);  // the other order differs
  Expect4(P(ba), {0.5f, 0.5f, 0.5f, 0.5f});
  MathMatrix ma, mb, mab, prod;
  MatrixRotationQuat(&ma, &a);
  MatrixRotationQuat(&mb, &b);
  MatrixRotationQuat(&mab, &ab);
  MatrixMultiply(&prod, &ma, &mb);
  ExpectMatrix(mab, prod);
}

TEST(PlainQuaternions, InverseAxisAngleAndEuler) {
  const MathQuat q{1, 2, 3, 4};
  MathQuat inv;
  QuatInverse(&inv, &q);
  Expect4(P(inv), {-1.0f / 30, -2.0f / 30, -3.0f / 30, 4.0f / 30});
  const MathQuat zero{0, 0, 0, 0};
  QuatInverse(&inv, &zero);
  Expect4(P(inv), {0, 0, 0, 0}, 0);

  const MathVec3 axis{0, 0, 3};
  MathQuat r;
  QuatFromAxisAngle(&r, &axis, kPi);
  Expect4(P(r), {0, 0, 1, 0});
  QuatFromAxisAngle(&r, &axis, 0);
  Expect4(P(r), {0, 0, 0, 1});
  MathVec3 back;
  float angle = 0;
  const float s = std::sin(0.6f), c = std::cos(0.6f);
  const MathQuat rot{0, s, 0, c};
  QuatToAxisAngle(&rot, &back, &angle);
  Expect4(P(back), {0, s, 0});
  EXPECT_NEAR(angle, 1.2f, kEps);
  const MathQuat over{0, 0, 0, 1.0000001f};  // rounding past 1 still gives an angle
  QuatToAxisAngle(&over, nullptr, &angle);
  EXPECT_EQ(angle, 0);

  // Yaw/pitch/roll agrees with the matrix of the same angles.
  MathQuat e;
  MathMatrix fromQ, direct;
  QuatFromYawPitchRoll(&e, 0.3f, -0.4f, 1.1f);
  MatrixRotationQuat(&fromQ, &e);
  MatrixRotationYawPitchRoll(&direct, 0.3f, -0.4f, 1.1f);
  ExpectMatrix(fromQ, direct);
}

TEST(PlainQuaternions, FromRotationMatrixTakesEveryBranch) {
  // Rotations whose largest quaternion component is w, x, y and z in turn.
  const MathQuat cases[] = {{0.1f, 0.2f, 0.3f, 0.9273618f},
                            {0.9273618f, 0.1f, -0.3f, 0.2f},
                            {0.2f, -0.9273618f, 0.1f, 0.3f},
                            {-0.3f, 0.1f, 0.9273618f, -0.2f}};
  for (const MathQuat& q : cases) {
    MathMatrix m;
    MatrixRotationQuat(&m, &q);
    MathQuat back;
    QuatFromRotationMatrix(&back, &m);
    const float sign = back.x * q.x + back.y * q.y + back.z * q.z + back.w * q.w < 0 ? -1.0f : 1.0f;
    Expect4(P(back), {sign * q.x, sign * q.y, sign * q.z, sign * q.w});
  }
}

TEST(PlainQuaternions, SlerpAndFriends) {
  const float h = std::sqrt(0.5f);
  const MathQuat id{0, 0, 0, 1}, z90{0, 0, h, h};
  MathQuat r;
  QuatSlerp(&r, &id, &z90, 0.5f);  // 45 degrees
  Expect4(P(r), {0, 0, std::sin(kPi / 8), std::cos(kPi / 8)});
  QuatSlerp(&r, &id, &z90, 0);
  Expect4(P(r), {0, 0, 0, 1});
  // The shorter arc: -z90 is the same rotation.
  const MathQuat negZ90{0, 0, -h, -h};
  QuatSlerp(&r, &id, &negZ90, 0.5f);
  Expect4(P(r), {0, 0, std::sin(kPi / 8), std::cos(kPi / 8)});
  // Nearly equal quaternions blend linearly without dividing by ~0.
  const MathQuat near{0, 0, 1e-6f, 1};
  QuatSlerp(&r, &id, &near, 0.5f);
  Expect4(P(r), {0, 0, 0.5e-6f, 1});

  // Barycentric: f = g = 0 is q1; g = 0 slerps toward q2.
  const MathQuat x90{h, 0, 0, h};
  QuatBarycentric(&r, &z90, &id, &x90, 0, 0);
  Expect4(P(r), {0, 0, h, h});
  QuatBarycentric(&r, &id, &z90, &x90, 0.5f, 0);
  Expect4(P(r), {0, 0, std::sin(kPi / 8), std::cos(kPi / 8)});

  // Squad with control points equal to the ends is slerp at t = 0 and 1.
  QuatSquad(&r, &id, &id, &z90, &z90, 1);
  Expect4(P(r), {0, 0, h, h});
  QuatSquad(&r, &id, &id, &z90, &z90, 0);
  Expect4(P(r), {0, 0, 0, 1});
}

TEST(PlainQuaternions, LogAndExp) {
  const float s = std::sin(0.4f), c = std::cos(0.4f);
  const MathQuat q{0, 0, s, c};
  MathQuat l, e;
  QuatLog(&l, &q);
  Expect4(P(l), {0, 0, 0.4f, 0});
  QuatExp(&e, &l);
  Expect4(P(e), {0, 0, s, c});
  const MathQuat id{0, 0, 0, 1};
  QuatLog(&l, &id);
  Expect4(P(l), {0, 0, 0, 0}, 0);
  QuatExp(&e, &l);
  Expect4(P(e), {0, 0, 0, 1}, 0);
}

TEST(PlainQuaternions, SquadSetupControlPoints) {
  InitMathTable(0);  // the set-up calls the logarithm and exponential entries
  const float h = std::sqrt(0.5f);
  const MathQuat q0{0, 0, 0, 1}, q1{0, 0, std::sin(kPi / 8), std::cos(kPi / 8)}, q2{0, 0, h, h},
      q3{0, 0, -std::sin(3 * kPi / 8), -std::cos(3 * kPi / 8)};  // q3 on the far hemisphere
  MathQuat a, b, c;
  QuatSquadSetup(&a, &b, &c, &q0, &q1, &q2, &q3);
  // Even steps about one axis: the control points are the inner keys.
  Expect4(P(a), {0, 0, q1.z, q1.w});
  Expect4(P(b), {0, 0, q2.z, q2.w});
  Expect4(P(c), {0, 0, h, h});
}
