// Plain quaternion routines. Quaternions are (x, y, z, w) with w the scalar
// part; QuatMultiply(a, b) is the rotation a followed by the rotation b (the
// Hamilton product b (x) a), matching row-vector matrices:
// MatrixRotationQuat(a * b) == MatrixRotationQuat(a) * MatrixRotationQuat(b).
#include <cmath>

#include "mathlib/PlainRoutines.h"
#include "mathlib/VectorMath.h"

namespace mathlib::plain {
namespace {

float Dot(const MathQuat& a, const MathQuat& b) { return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w; }

MathQuat Scaled(const MathQuat& q, float k) { return MathQuat{q.x * k, q.y * k, q.z * k, q.w * k}; }

MathQuat Conjugate(const MathQuat& q) { return MathQuat{-q.x, -q.y, -q.z, q.w}; }

// Below this distance from 1 of the cosine, slerp blends linearly.
constexpr float kSlerpLinearLimit = 1e-4f;

}  // namespace

MathQuat Hamilton(const MathQuat& p, const MathQuat& q) {
  return MathQuat{p.w * q.x + p.x * q.w + p.y * q.z - p.z * q.y, p.w * q.y - p.x * q.z + p.y * q.w + p.z * q.x,
                  p.w * q.z + p.x * q.y - p.y * q.x + p.z * q.w, p.w * q.w - p.x * q.x - p.y * q.y - p.z * q.z};
}

MathQuat* QuatMultiply(MathQuat* out, const MathQuat* a, const MathQuat* b) {
  *out = Hamilton(*b, *a);
  return out;
}

// Conjugate divided by the squared length; a zero quaternion stays zero.
MathQuat* QuatInverse(MathQuat* out, const MathQuat* q) {
  const float len2 = Dot(*q, *q);
  *out = len2 > 0.0f ? Scaled(Conjugate(*q), 1.0f / len2) : MathQuat{0, 0, 0, 0};
  return out;
}

// The axis is the vector part as it stands; the angle is 2 acos(w).
void QuatToAxisAngle(const MathQuat* q, MathVec3* axis, float* angle) {
  if (axis) *axis = MathVec3{q->x, q->y, q->z};
  if (angle) *angle = 2.0f * std::acos(std::fmin(1.0f, std::fmax(-1.0f, q->w)));
}

MathQuat* QuatFromAxisAngle(MathQuat* out, const MathVec3* axis, float angle) {
  MathVec3 n;
  Vec3Normalise(&n, axis);
  const float s = std::sin(angle * 0.5f), c = std::cos(angle * 0.5f);
  *out = MathQuat{n.x * s, n.y * s, n.z * s, c};
  return out;
}

// Roll about z, then pitch about x, then yaw about y.
MathQuat* QuatFromYawPitchRoll(MathQuat* out, float yaw, float pitch, float roll) {
  const float sy = std::sin(yaw * 0.5f), cy = std::cos(yaw * 0.5f);
  const float sp = std::sin(pitch * 0.5f), cp = std::cos(pitch * 0.5f);
  const float sr = std::sin(roll * 0.5f), cr = std::cos(roll * 0.5f);
  *out = MathQuat{cy * sp * cr + sy * cp * sr, sy * cp * cr - cy * sp * sr, cy * cp * sr - sy * sp * cr,
                  cy * cp * cr + sy * sp * sr};
  return out;
}

// From the rotation part of m, by the largest of w, x, y, z.
MathQuat* QuatFromRotationMatrix(MathQuat* out, const MathMatrix* matrix) {
  const auto& m = matrix->m;
  const float trace = m[0][0] + m[1][1] + m[2][2];
  MathQuat q;
  if (trace > 0.0f) {
    const float s = 2.0f * std::sqrt(trace + 1.0f), k = 1.0f / s;
    q = MathQuat{(m[1][2] - m[2][1]) * k, (m[2][0] - m[0][2]) * k, (m[0][1] - m[1][0]) * k, 0.25f * s};
  } else if (m[0][0] >= m[1][1] && m[0][0] >= m[2][2]) {
    const float s = 2.0f * std::sqrt(1.0f + m[0][0] - m[1][1] - m[2][2]), k = 1.0f / s;
    q = MathQuat{0.25f * s, (m[0][1] + m[1][0]) * k, (m[0][2] + m[2][0]) * k, (m[1][2] - m[2][1]) * k};
  } else if (m[1][1] >= m[2][2]) {
    const float s = 2.0f * std::sqrt(1.0f + m[1][1] - m[0][0] - m[2][2]), k = 1.0f / s;
    q = MathQuat{(m[0][1] + m[1][0]) * k, 0.25f * s, (m[1][2] + m[2][1]) * k, (m[2][0] - m[0][2]) * k};
  } else {
    const float s = 2.0f * std::sqrt(1.0f + m[2][2] - m[0][0] - m[1][1]), k = 1.0f / s;
    q = MathQuat{(m[0][2] + m[2][0]) * k, (m[1][2] + m[2][1]) * k, 0.25f * s, (m[0][1] - m[1][0]) * k};
  }
  *out = q;
  return out;
}

// Along the shorter arc; nearly equal quaternions blend linearly.
MathQuat* QuatSlerp(MathQuat* out, const MathQuat* a, const MathQuat* b, float t) {
  float cosine = Dot(*a, *b);
  float sign = 1.0f;
  if (cosine < 0.0f) {
    cosine = -cosine;
    sign = -1.0f;
  }
  float ka = 1.0f - t, kb = t;
  if (1.0f - cosine > kSlerpLinearLimit) {
    const float angle = std::acos(cosine);
    const float inverseSine = 1.0f / std::sqrt(1.0f - cosine * cosine);
    ka = std::sin(ka * angle) * inverseSine;
    kb = std::sin(kb * angle) * inverseSine;
  }
  kb *= sign;
  *out = MathQuat{ka * a->x + kb * b->x, ka * a->y + kb * b->y, ka * a->z + kb * b->z, ka * a->w + kb * b->w};
  return out;
}

// slerp(slerp(q1, q2, f + g), slerp(q1, q3, f + g), g / (f + g)); q1 when
// f + g is zero.
MathQuat* QuatBarycentric(MathQuat* out, const MathQuat* q1, const MathQuat* q2, const MathQuat* q3, float f,
                          float g) {
  const float sum = f + g;
  if (sum == 0.0f) {
    *out = *q1;
    return out;
  }
  MathQuat u, v;
  QuatSlerp(&u, q1, q2, sum);
  QuatSlerp(&v, q1, q3, sum);
  return QuatSlerp(out, &u, &v, g / sum);
}

// slerp(slerp(q1, c, t), slerp(a, b, t), 2t(1 - t)), with a and b the
// control points QuatSquadSetup gives and c the end quaternion.
MathQuat* QuatSquad(MathQuat* out, const MathQuat* q1, const MathQuat* a, const MathQuat* b, const MathQuat* c,
                    float t) {
  MathQuat u, v;
  QuatSlerp(&u, q1, c, t);
  QuatSlerp(&v, a, b, t);
  return QuatSlerp(out, &u, &v, 2.0f * t * (1.0f - t));
}

// Control points for a squad from q1 to q2 with neighbours q0 and q3: all
// four are first brought onto one hemisphere. Calls the logarithm and the
// exponential through their public entries.
void QuatSquadSetup(MathQuat* aOut, MathQuat* bOut, MathQuat* cOut, const MathQuat* q0, const MathQuat* q1,
                    const MathQuat* q2, const MathQuat* q3) {
  const MathQuat p1 = *q1;
  const MathQuat p0 = Dot(*q0, p1) < 0.0f ? Scaled(*q0, -1.0f) : *q0;
  const MathQuat p2 = Dot(p1, *q2) < 0.0f ? Scaled(*q2, -1.0f) : *q2;
  const MathQuat p3 = Dot(p2, *q3) < 0.0f ? Scaled(*q3, -1.0f) : *q3;

  auto control = [](const MathQuat& centre, const MathQuat& previous, const MathQuat& next) {
    MathQuat inverse, l1, l2, e;
    QuatInverse(&inverse, &centre);
    const MathQuat toNext = Hamilton(inverse, next);
    const MathQuat toPrevious = Hamilton(inverse, previous);
    MathQuatLog(&l1, &toNext);
    MathQuatLog(&l2, &toPrevious);
    const MathQuat sum{-0.25f * (l1.x + l2.x), -0.25f * (l1.y + l2.y), -0.25f * (l1.z + l2.z),
                       -0.25f * (l1.w + l2.w)};
    MathQuatExp(&e, &sum);
    return Hamilton(centre, e);
  };
  const MathQuat a = control(p1, p0, p2);
  const MathQuat b = control(p2, p1, p3);
  *aOut = a;
  *bOut = b;
  *cOut = p2;
}

// log of a unit quaternion (v sin t, cos t) = (v t, 0).
MathQuat* QuatLog(MathQuat* out, const MathQuat* q) {
  const float len = std::sqrt(q->x * q->x + q->y * q->y + q->z * q->z);
  const float k = len > 1e-6f ? std::atan2(len, q->w) / len : 1.0f;
  *out = MathQuat{q->x * k, q->y * k, q->z * k, 0.0f};
  return out;
}

// exp of (v t, 0) with v a unit vector = (v sin t, cos t).
MathQuat* QuatExp(MathQuat* out, const MathQuat* q) {
  const float angle = std::sqrt(q->x * q->x + q->y * q->y + q->z * q->z);
  const float k = angle > 1e-6f ? std::sin(angle) / angle : 1.0f;
  *out = MathQuat{q->x * k, q->y * k, q->z * k, std::cos(angle)};
  return out;
}

}  // namespace mathlib::plain
