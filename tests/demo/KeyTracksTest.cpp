// Animation tracks: the engine's decoder reads what the framework's binary
// writer wrote, refuses damaged files at any length, and the samplers pass
// through their keys and hold the ends.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "KeyTracks.h"
#include "TestErrors.h"
#include "framework/BinaryFile.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
const float kPi = 3.14159265f;

CQuaternion AboutY(float angle) { return CQuaternion{0.0f, std::sin(angle / 2), 0.0f, std::cos(angle / 2)}; }

// Two tracks written exactly as the build's make_keys writes them.
Bytes WriteTwoTracks() {
    std::FILE* f = std::tmpfile();
    EXPECT_NE(f, nullptr);
    FileWriteInt32(f, 2);

    FileWriteString(f, "turn");
    CKeyedArray<CKeyedVector4> rotation;
    for (int i = 0; i < 4; ++i) {
        const CQuaternion q = AboutY(i * kPi / 4);
        CKeyedVector4& k = rotation.Add();
        k.key = static_cast<float>(i);
        k.value = CVector4{q.x, q.y, q.z, q.w};
    }
    CKeyedArray<CKeyedVector3> position;
    for (int i = 0; i < 3; ++i) {
        CKeyedVector3& k = position.Add();
        k.key = 2.0f * i;
        k.value = CVector3{2.0f * i, 1.0f, -1.0f};
    }
    CKeyedArray<CKeyedFloat> scale;
    scale.Add() = CKeyedFloat{0.0f, 1.0f};
    scale.Add() = CKeyedFloat{4.0f, 3.0f};
    FileWriteKeys(f, rotation);
    FileWriteKeys(f, position);
    FileWriteKeys(f, scale);

    FileWriteString(f, "still");
    CKeyedArray<CKeyedVector4> none4;
    CKeyedArray<CKeyedVector3> none3;
    CKeyedArray<CKeyedFloat> none1;
    FileWriteKeys(f, none4);
    FileWriteKeys(f, none3);
    FileWriteKeys(f, none1);

    Bytes bytes(static_cast<size_t>(FileSize(f)));
    FileRewind(f);
    EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), f), bytes.size());
    std::fclose(f);
    return bytes;
}

TEST(KeyTracks, ReadsWhatTheFrameworkWrote) {
    const Bytes bytes = WriteTwoTracks();
    // 4 + ("turn" 5 + 2 + 4*20 + 2 + 3*16 + 2 + 2*8) + ("still" 6 + 2 + 2 + 2)
    ASSERT_EQ(bytes.size(), 4u + 155u + 12u);
    const std::vector<CTrack> tracks = DecodeTracks(bytes.data(), bytes.size(), "t.keys");
    ASSERT_EQ(tracks.size(), 2u);
    EXPECT_EQ(tracks[0].name, "turn");
    EXPECT_EQ(tracks[0].rotation.count, 4);
    EXPECT_EQ(tracks[0].position.count, 3);
    EXPECT_EQ(tracks[0].scale.count, 2);
    EXPECT_FLOAT_EQ(tracks[0].rotation.items[2].value.y, std::sin(kPi / 4));
    EXPECT_FLOAT_EQ(tracks[0].position.items[2].key, 4.0f);
    EXPECT_FLOAT_EQ(tracks[0].scale.items[1].value, 3.0f);
    EXPECT_EQ(tracks[1].name, "still");
    EXPECT_EQ(tracks[1].rotation.count + tracks[1].position.count + tracks[1].scale.count, 0);
    EXPECT_EQ(FindTrack(tracks, "still"), &tracks[1]);
    EXPECT_EQ(FindTrack(tracks, "Still"), nullptr);
}

TEST(KeyTracks, EveryShortenedFileIsRefused) {
    const Bytes bytes = WriteTwoTracks();
    for (size_t length = 0; length < bytes.size(); ++length) {
        const CaughtError e = Catch([&] { DecodeTracks(bytes.data(), length, "cut.keys"); });
        ASSERT_TRUE(e.thrown) << length;
        EXPECT_EQ(e.type, "Bad Resource");
    }
}

TEST(KeyTracks, RefusesExtraBytesTooManyTracksAndKeysOutOfOrder) {
    Bytes extra = WriteTwoTracks();
    extra.push_back(0);
    const Bytes tooMany = {0x01, 0x01, 0x00, 0x00};  // 257 tracks
    Bytes backwards = WriteTwoTracks();
    // The second position key's time (2.0f) becomes -2.0f: sign bit of its last byte.
    const size_t positionKeys = 4 + 5 + 2 + 4 * 20 + 2;
    backwards[positionKeys + 16 + 3] |= 0x80;
    for (const Bytes* file : std::vector<const Bytes*>{&extra, &tooMany, &backwards}) {
        const CaughtError e = Catch([&] { DecodeTracks(file->data(), file->size(), "bad.keys"); });
        EXPECT_TRUE(e.thrown);
        EXPECT_NE(e.message.find("'bad.keys'"), std::string::npos) << e.message;
    }
    const Bytes none = {0, 0, 0, 0};
    EXPECT_TRUE(DecodeTracks(none.data(), none.size(), "none.keys").empty());
}

TEST(KeyTracks, SamplersPassThroughKeysAndHoldTheEnds) {
    const Bytes bytes = WriteTwoTracks();
    const std::vector<CTrack> tracks = DecodeTracks(bytes.data(), bytes.size(), "t.keys");
    const CTrack& turn = tracks[0];

    for (int i = 0; i < 4; ++i) {
        const CQuaternion q = SampleRotation(turn.rotation, static_cast<float>(i));
        EXPECT_NEAR(q.y, std::sin(i * kPi / 8), 1e-5f) << i;
    }
    // Evenly spaced turns about one axis: squad runs at an even pace.
    const CQuaternion half = SampleRotation(turn.rotation, 1.5f);
    EXPECT_NEAR(half.y, std::sin(1.5f * kPi / 8), 1e-4f);
    EXPECT_NEAR(half.w, std::cos(1.5f * kPi / 8), 1e-4f);
    EXPECT_NEAR(half.x * half.x + half.y * half.y + half.z * half.z + half.w * half.w, 1.0f, 1e-5f);
    EXPECT_FLOAT_EQ(SampleRotation(turn.rotation, -5.0f).w, 1.0f);
    EXPECT_NEAR(SampleRotation(turn.rotation, 9.0f).y, std::sin(3 * kPi / 8), 1e-6f);

    // Evenly spaced points on a line: the spline stays on it.
    EXPECT_NEAR(SamplePosition(turn.position, 1.0f).x, 1.0f, 1e-5f);
    EXPECT_NEAR(SamplePosition(turn.position, 3.0f).x, 3.0f, 1e-5f);
    EXPECT_FLOAT_EQ(SamplePosition(turn.position, 3.0f).y, 1.0f);
    EXPECT_FLOAT_EQ(SamplePosition(turn.position, 100.0f).x, 4.0f);

    EXPECT_FLOAT_EQ(SampleScale(turn.scale, 1.0f), 1.5f);
    EXPECT_FLOAT_EQ(SampleScale(turn.scale, 8.0f), 3.0f);

    const CTrack& still = tracks[1];
    const CQuaternion identity = SampleRotation(still.rotation, 1.0f);
    EXPECT_EQ(identity.w, 1.0f);
    EXPECT_EQ(SamplePosition(still.position, 1.0f).x, 0.0f);
    EXPECT_EQ(SampleScale(still.scale, 1.0f), 1.0f);
}

TEST(KeyTracks, LinearColoursAndASingleKey) {
    CKeyedArray<CKeyedVector3> colours;
    colours.Add() = CKeyedVector3{0.0f, {0.0f, 0.0f, 0.0f}};
    colours.Add() = CKeyedVector3{2.0f, {1.0f, 0.5f, 0.0f}};
    const CVector3 mid = SampleLinear(colours, 1.0f);
    EXPECT_FLOAT_EQ(mid.x, 0.5f);
    EXPECT_FLOAT_EQ(mid.y, 0.25f);
    colours.count = 1;
    EXPECT_FLOAT_EQ(SampleLinear(colours, 5.0f).x, 0.0f);
    EXPECT_FLOAT_EQ(SamplePosition(colours, 5.0f).x, 0.0f);
}

}  // namespace
