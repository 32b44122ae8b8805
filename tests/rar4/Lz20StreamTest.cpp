// RAR 2.0 streams written by the test: LZ blocks with flat tables, and a
// multimedia (audio) block with two channels switching back to LZ.
#include <gtest/gtest.h>

#include "Rar4TestArchive.h"
#include "StreamWriter.h"

using namespace rar4test;
using rar::DecodeResult;

namespace {

// Table header of a RAR 2.0 block; every code of a table has the same length.
void Tables20(BitWriter& w, bool audio, unsigned channels) {
    w.Put(audio ? 1 : 0, 1);
    w.Put(0, 1);  // fresh tables
    if (audio) w.Put(channels - 1, 2);
    for (int i = 0; i < 19; ++i) w.Put(5, 4);  // bit-length code: symbol n has code n (5 bits)
    auto lengths = [&](int count, unsigned len) {
        for (int i = 0; i < count; ++i) w.Put(len, 5);
    };
    if (audio) {
        lengths(257 * int(channels), 9);
    } else {
        lengths(298, 9);
        lengths(48, 6);
        lengths(28, 5);
    }
}

DecodeResult Decode20(const std::vector<uint8_t>& packed, uint64_t size, std::vector<uint8_t>& out) {
    auto d = rar::MakeRar4Decoder(20, 0x10000);
    rar::MemoryInput in(packed, 3);
    VectorOutput sink;
    DecodeResult r = d->Decode(in, size, sink, false);
    out = sink.data;
    return r;
}

}  // namespace

TEST(Lz20Stream, LiteralsShortMatchAndRepeat) {
    BitWriter w;
    Tables20(w, false, 1);
    for (char c : std::string("abcdef")) w.Put(uint8_t(c), 9);
    w.Put(261 + 1, 9);  // short distance slot 1: base 4 + 1, two extra bits (0): distance 5, length 2
    w.Put(0, 2);
    w.Put(256, 9);      // repeat the last match: distance 5 from the new end
    std::vector<uint8_t> out;
    ASSERT_EQ(Decode20(w.Bytes(), 10, out), DecodeResult::Ok);
    EXPECT_EQ(std::string(out.begin(), out.end()), "abcdefbcde");
}

TEST(Lz20Stream, AudioBlockThenLz) {
    BitWriter w;
    Tables20(w, true, 2);
    const int kAudio = 100;
    for (int i = 0; i < kAudio; ++i) w.Put(i < 2 ? 255 : 0, 9);  // first byte of each channel: +1
    w.Put(256, 9);  // new tables, from the current channel's code
    Tables20(w, false, 1);
    for (char c : std::string("xyz")) w.Put(uint8_t(c), 9);
    std::vector<uint8_t> out;
    ASSERT_EQ(Decode20(w.Bytes(), kAudio + 3, out), DecodeResult::Ok);
    ASSERT_EQ(out.size(), size_t(kAudio + 3));
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[1], 1);
    EXPECT_EQ(std::string(out.end() - 3, out.end()), "xyz");
}

TEST(Lz20Stream, TruncatedAudioBlockFails) {
    BitWriter w;
    Tables20(w, true, 4);
    for (int i = 0; i < 10; ++i) w.Put(uint8_t(i), 9);
    std::vector<uint8_t> out;
    EXPECT_EQ(Decode20(w.Bytes(), 5000, out), DecodeResult::BadData);
    EXPECT_LE(out.size(), 5000u);
}
