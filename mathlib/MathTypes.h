// Plain value types the vector math library works on. All components are
// 32-bit floats; vectors are rows that stand to the left of a matrix
// (v' = v * M), matrices are stored row after row (m[r][c] at index 4r + c),
// so a point's translation lives in row 3.
#pragma once

#include <cstdint>

extern "C" {

struct MathVec2 { float x, y; };
struct MathVec3 { float x, y, z; };
struct MathVec4 { float x, y, z, w; };
// x, y, z: vector part; w: scalar part.
struct MathQuat { float x, y, z, w; };
// a*x + b*y + c*z + d = 0
struct MathPlane { float a, b, c, d; };
struct MathMatrix { float m[4][4]; };
// Screen rectangle in pixels and the depth range a projected point maps to.
struct MathViewport {
  std::uint32_t x, y, width, height;
  float minZ, maxZ;
};

}  // extern "C"
