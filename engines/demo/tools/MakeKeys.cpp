// make_keys: writes the demo's animation tracks (anim/objects.keys) with the
// framework's binary helpers, in the layout KeyTracks.h reads:
//
//     make_keys OUTPUT
//
// The tracks are computed here rather than kept as a binary file in the
// repository, so the file always matches the writer's current format.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "framework/BinaryFile.h"
#include "mathlib/VectorMath.h"

namespace {

const float kPi = 3.14159265f;

struct CTrackKeys {
    const char* name;
    CKeyedArray<CKeyedVector4> rotation;
    CKeyedArray<CKeyedVector3> position;
    CKeyedArray<CKeyedFloat> scale;
};

void AddRotation(CTrackKeys& track, float time, MathVec3 axis, float angle) {
    MathQuat q;
    MathQuatFromAxisAngle(&q, &axis, angle);
    CKeyedVector4& key = track.rotation.Add();
    key.key = time;
    key.value = CVector4{q.x, q.y, q.z, q.w};
}

void AddTurn(CTrackKeys& track, float time, float yaw, float pitch, float roll) {
    MathQuat q;
    MathQuatFromYawPitchRoll(&q, yaw, pitch, roll);
    CKeyedVector4& key = track.rotation.Add();
    key.key = time;
    key.value = CVector4{q.x, q.y, q.z, q.w};
}

void AddPosition(CTrackKeys& track, float time, float x, float y, float z) {
    CKeyedVector3& key = track.position.Add();
    key.key = time;
    key.value = CVector3{x, y, z};
}

void AddScale(CTrackKeys& track, float time, float scale) {
    CKeyedFloat& key = track.scale.Add();
    key.key = time;
    key.value = scale;
}

std::vector<CTrackKeys> MakeTracks() {
    std::vector<CTrackKeys> tracks(4);

    // A cube turning about a tilted axis, bobbing and breathing.
    CTrackKeys& spinner = tracks[0];
    spinner.name = "spinner";
    for (int i = 0; i <= 12; ++i) {
        const float t = i;
        AddRotation(spinner, t, MathVec3{0.3f, 1.0f, 0.2f}, t * 1.2f);
        AddPosition(spinner, t, 0.0f, 0.25f * std::sin(t * 1.3f), 0.0f);
    }
    AddScale(spinner, 0.0f, 0.6f);
    AddScale(spinner, 2.0f, 1.0f);
    AddScale(spinner, 6.0f, 1.3f);
    AddScale(spinner, 12.0f, 1.0f);

    // A cube tumbling through arbitrary orientations along a circle.
    CTrackKeys& tumbler = tracks[1];
    tumbler.name = "tumbler";
    for (int i = 0; i <= 8; ++i) {
        const float t = i * 1.5f;
        const float a = i * kPi / 4.0f;
        AddTurn(tumbler, t, a * 1.3f, a * 0.7f, a * 0.4f);
        AddPosition(tumbler, t, 3.0f * std::cos(a), 0.0f, 3.0f * std::sin(a));
    }

    // A pyramid rising out of the floor and turning about the vertical.
    CTrackKeys& riser = tracks[2];
    riser.name = "riser";
    for (int i = 0; i <= 6; ++i) {
        const float t = i * 2.0f;
        AddRotation(riser, t, MathVec3{0.0f, 1.0f, 0.0f}, t * 0.8f);
    }
    AddPosition(riser, 0.0f, 0.0f, -1.5f, 0.0f);
    AddPosition(riser, 2.0f, 0.0f, -1.0f, 0.0f);
    AddPosition(riser, 4.0f, 0.0f, 0.5f, 0.0f);
    AddPosition(riser, 8.0f, 0.0f, 0.7f, 0.0f);
    AddPosition(riser, 12.0f, 0.0f, 0.5f, 0.0f);

    // The glow ring slowly tipping over and back.
    CTrackKeys& halo = tracks[3];
    halo.name = "halo";
    AddRotation(halo, 0.0f, MathVec3{1.0f, 0.0f, 0.0f}, 0.0f);
    AddRotation(halo, 4.0f, MathVec3{1.0f, 0.0f, 0.3f}, 0.5f);
    AddRotation(halo, 8.0f, MathVec3{0.0f, 0.0f, 1.0f}, -0.4f);
    AddRotation(halo, 12.0f, MathVec3{1.0f, 0.0f, 0.0f}, 0.0f);
    AddScale(halo, 0.0f, 0.2f);
    AddScale(halo, 3.0f, 1.0f);
    return tracks;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_keys OUTPUT\n");
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::fprintf(stderr, "make_keys: cannot create %s\n", argv[1]);
        return 1;
    }
    const std::vector<CTrackKeys> tracks = MakeTracks();
    bool ok = FileWriteInt32(out, static_cast<std::int32_t>(tracks.size())) == 1;
    for (const CTrackKeys& track : tracks) {
        ok = ok && FileWriteString(out, track.name) != EOF;
        ok = ok && FileWriteKeys(out, track.rotation) == track.rotation.count;
        ok = ok && FileWriteKeys(out, track.position) == track.position.count;
        ok = ok && FileWriteKeys(out, track.scale) == track.scale.count;
    }
    ok = std::fclose(out) == 0 && ok;
    if (!ok) {
        std::fprintf(stderr, "make_keys: writing %s failed\n", argv[1]);
        std::remove(argv[1]);
        return 1;
    }
    return 0;
}
