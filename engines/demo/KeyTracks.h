#pragma once
// Animation tracks: per animated object a name and three keyed arrays
// (rotation quaternions, positions, uniform scale), keys in seconds.
//
// On disk (written with the framework's binary helpers, see
// tools/MakeKeys.cpp): a 32-bit track count, then per track its name
// (FileWriteString) and the three arrays (FileWriteKeys) in the order
// rotation (CKeyedVector4: x, y, z, w), position (CKeyedVector3), scale
// (CKeyedFloat). All little-endian.
//
// Sampling: rotation by squad through the neighbouring keys, position by a
// Catmull-Rom spline (mirrored keys past the ends), scale linearly; times
// before the first key or after the last hold that key. An empty array samples as the identity rotation, the
// origin and a scale of 1.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/KeyedArray.h"
#include "framework/MathTypes.h"

struct CTrack {
    std::string name;
    CKeyedArray<CKeyedVector4> rotation;
    CKeyedArray<CKeyedVector3> position;
    CKeyedArray<CKeyedFloat> scale;
};

// Throws CErrorBadResource naming `name` when the bytes end inside a track,
// hold bytes after the last track, more than 256 tracks, or keys that go back
// in time.
std::vector<CTrack> DecodeTracks(const std::uint8_t* bytes, std::size_t size, const char* name);

// The track named name, or null.
const CTrack* FindTrack(const std::vector<CTrack>& tracks, const std::string& name);

CQuaternion SampleRotation(const CKeyedArray<CKeyedVector4>& keys, float t);
CVector3 SamplePosition(const CKeyedArray<CKeyedVector3>& keys, float t);
float SampleScale(const CKeyedArray<CKeyedFloat>& keys, float t);

// Straight-line interpolation between keys (for colours).
CVector3 SampleLinear(const CKeyedArray<CKeyedVector3>& keys, float t);
