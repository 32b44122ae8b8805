// RAR 2.9 LZ streams written by the test itself: literals, matches, repeated
// matches, solid continuation, filters and the bounds around them.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "Rar4TestArchive.h"
#include "StreamWriter.h"
#include "rar/unpack4/Filters29.h"

using namespace rar4test;
using rar::DecodeResult;

namespace {

DecodeResult DecodeStream(rar::Decoder& d, const std::vector<uint8_t>& packed, uint64_t size, bool solid,
                 std::vector<uint8_t>& out) {
    rar::MemoryInput in(packed, 7);  // small pieces: refills in the middle of symbols
    VectorOutput sink;
    DecodeResult r = d.Decode(in, size, sink, solid);
    out = sink.data;
    return r;
}

std::string Str(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

// A filter program of our own, registered under a standard filter's type.
std::vector<uint8_t> Program(uint8_t tag, rar::unpack4::FilterType type) {
    std::vector<uint8_t> p = {0, 0x11, 0x22, tag, 0x44, 0x55};
    uint8_t x = 0;
    for (size_t i = 1; i < p.size(); ++i) x ^= p[i];
    p[0] = x;
    rar::unpack4::AddFilterSignatureForTesting(uint32_t(p.size()), uint32_t(crc32(0, p.data(), uInt(p.size()))),
                                               type);
    return p;
}

// Filter definition: new filter number `pos`, block at `start` (from the
// current position) of `length` bytes, register 0 = r0, with `prog`.
std::vector<uint8_t> Definition(uint32_t pos, uint32_t start, uint32_t length, uint32_t r0,
                                const std::vector<uint8_t>& prog, uint8_t& firstByte) {
    BitWriter w;
    PutVmNumber(w, pos + 1);
    PutVmNumber(w, start);
    PutVmNumber(w, length);
    w.Put(1, 7);  // registers: only r0
    PutVmNumber(w, r0);
    if (!prog.empty()) {
        PutVmNumber(w, uint32_t(prog.size()));
        for (uint8_t b : prog) w.Put(b, 8);
    }
    firstByte = 0x80 | 0x20 | 0x10;
    return w.Bytes();
}

}  // namespace

TEST(Lz29Stream, LiteralsMatchesAndRepeats) {
    Lz29Writer s;
    s.Literals("abcd");
    s.Match(8, 4);    // abcdabcd
    s.RepeatLast();   // abcdabcd again
    s.Literals("xyz");
    s.Match(3, 3);    // xyz
    s.EndOfFile();
    auto d = rar::MakeRar4Decoder(29, 0);
    std::vector<uint8_t> out;
    EXPECT_EQ(DecodeStream(*d, s.Bytes(), 4 + 8 + 8 + 6, false, out), DecodeResult::Ok);
    EXPECT_EQ(Str(out), "abcdabcdabcdabcdabcdxyzxyz");
}

TEST(Lz29Stream, SolidMemberSeesThePreviousWindowAndTables) {
    Lz29Writer first;
    first.Literals("hello, world");
    first.EndOfFile();
    std::vector<uint8_t> out;
    auto d = rar::MakeRar4Decoder(29, 0);
    ASSERT_EQ(DecodeStream(*d, first.Bytes(), 12, false, out), DecodeResult::Ok);
    // The second member keeps the tables: no table header, just symbols.
    Lz29Writer cont;
    cont.w = BitWriter();
    cont.Match(12, 12);  // the whole first member again
    cont.EndOfFile();
    ASSERT_EQ(DecodeStream(*d, cont.Bytes(), 12, true, out), DecodeResult::Ok);
    EXPECT_EQ(Str(out), "hello, world");
    // A non-solid member must bring its own tables.
    ASSERT_EQ(DecodeStream(*d, cont.Bytes(), 12, false, out), DecodeResult::BadData);
}

TEST(Lz29Stream, LongDistancesUseTheLowDistanceCode) {
    // 6000 distinct-ish bytes, then a match 5000 back (slot > 9: low bits coded apart).
    Lz29Writer s;
    std::string text;
    for (int i = 0; i < 6000; ++i) text.push_back(char('A' + (i * 7 + i / 26) % 26));
    for (char c : text) s.Literal(uint8_t(c));
    s.Match(20, 5000);
    s.EndOfFile();
    auto d = rar::MakeRar4Decoder(29, 0);
    std::vector<uint8_t> out;
    ASSERT_EQ(DecodeStream(*d, s.Bytes(), 6020, false, out), DecodeResult::Ok);
    EXPECT_EQ(Str(out), text + text.substr(1000, 20));
}

TEST(Lz29Stream, DeltaFilterAppliesToItsBlock) {
    auto prog = Program(1, rar::unpack4::FilterType::Delta);
    uint8_t fb = 0;
    auto def = Definition(0, 2, 6, 1, prog, fb);
    Lz29Writer s;
    s.Filter(def, fb);
    const uint8_t raw[10] = {9, 9, 1, 2, 3, 4, 5, 6, 7, 7};
    for (uint8_t b : raw) s.Literal(b);
    s.EndOfFile();
    auto d = rar::MakeRar4Decoder(29, 0);
    std::vector<uint8_t> out;
    ASSERT_EQ(DecodeStream(*d, s.Bytes(), 10, false, out), DecodeResult::Ok);
    // One channel: each output byte is the previous output minus the input.
    std::vector<uint8_t> want = {9, 9};
    uint8_t prev = 0;
    for (int i = 2; i < 8; ++i) want.push_back(prev = uint8_t(prev - raw[i]));
    want.push_back(7);
    want.push_back(7);
    EXPECT_EQ(out, want);
}

TEST(Lz29Stream, FilterBoundsAreEnforced) {
    auto prog = Program(2, rar::unpack4::FilterType::Delta);
    struct Case {
        const char* what;
        uint32_t length;
        uint32_t channels;
    } cases[] = {
        {"block larger than the filter memory", 0x40001, 1},
        {"delta output would pass the filter memory", 0x20001, 1},
        {"no channels", 16, 0},
        {"too many channels", 16, 5000},
    };
    for (const Case& c : cases) {
        uint8_t fb = 0;
        auto def = Definition(0, 0, c.length, c.channels, prog, fb);
        Lz29Writer s;
        s.Filter(def, fb);
        for (uint32_t i = 0; i < 300; ++i) s.Literal(uint8_t(i));
        s.Match(258, 1);
        for (int k = 0; k < 2000 && c.length > 300; ++k) s.Match(258, 1);
        s.EndOfFile();
        auto d = rar::MakeRar4Decoder(29, 0x400000);
        std::vector<uint8_t> out;
        uint64_t size = c.length > 300 ? 300 + 258 * 2001 : 558;
        EXPECT_EQ(DecodeStream(*d, s.Bytes(), size, false, out), DecodeResult::BadData) << c.what;
        EXPECT_LE(out.size(), size) << c.what;
    }
}

TEST(Lz29Stream, UnknownFilterProgramIsRefused) {
    std::vector<uint8_t> prog = {0x00, 0x01, 0x02, 0x03};
    prog[0] = 0x01 ^ 0x02 ^ 0x03;
    uint8_t fb = 0;
    auto def = Definition(0, 0, 4, 0, prog, fb);
    Lz29Writer s;
    s.Filter(def, fb);
    s.Literals("data");
    s.EndOfFile();
    auto d = rar::MakeRar4Decoder(29, 0);
    std::vector<uint8_t> out;
    EXPECT_EQ(DecodeStream(*d, s.Bytes(), 4, false, out), DecodeResult::Unsupported);
    EXPECT_TRUE(out.empty());
}

TEST(Lz29Stream, AfterAnErrorTheNextSolidMemberFails) {
    Lz29Writer good;
    good.Literals("0123456789");
    good.EndOfFile();
    auto bytes = good.Bytes();
    auto d = rar::MakeRar4Decoder(29, 0);
    std::vector<uint8_t> out;
    std::vector<uint8_t> truncated(bytes.begin(), bytes.begin() + long(bytes.size() / 2));
    EXPECT_EQ(DecodeStream(*d, truncated, 10, false, out), DecodeResult::BadData);
    Lz29Writer cont;
    cont.w = BitWriter();
    cont.Match(10, 10);
    cont.EndOfFile();
    EXPECT_EQ(DecodeStream(*d, cont.Bytes(), 10, true, out), DecodeResult::BadData);
    EXPECT_TRUE(out.empty());
    // A fresh member resets everything.
    EXPECT_EQ(DecodeStream(*d, bytes, 10, false, out), DecodeResult::Ok);
    EXPECT_EQ(Str(out), "0123456789");
}

TEST(Lz29Stream, OutputNeverExceedsTheDeclaredSize) {
    Lz29Writer s;
    s.Literals("abc");
    for (int i = 0; i < 100; ++i) s.Match(200, 3);
    s.EndOfFile();
    auto d = rar::MakeRar4Decoder(29, 0);
    std::vector<uint8_t> out;
    EXPECT_EQ(DecodeStream(*d, s.Bytes(), 1000, false, out), DecodeResult::Ok);
    EXPECT_EQ(out.size(), 1000u);
}

TEST(Lz29Stream, LargestDeltaBlockWithTheSmallestDictionary) {
    auto prog = Program(3, rar::unpack4::FilterType::Delta);
    const uint32_t kBlock = rar::unpack4::kFilterMemSize / 2;
    uint8_t fb = 0;
    auto def = Definition(0, 0, kBlock, 1, prog, fb);
    Lz29Writer s;
    s.Filter(def, fb);
    for (uint32_t i = 0; i < kBlock + 100; ++i) s.Literal(1);
    s.EndOfFile();
    auto d = rar::MakeRar4Decoder(29, 0x10000);
    std::vector<uint8_t> out;
    ASSERT_EQ(DecodeStream(*d, s.Bytes(), kBlock + 100, false, out), DecodeResult::Ok);
    ASSERT_EQ(out.size(), kBlock + 100);
    // Each step subtracts one: 255, 254, ... wrapping every 256 bytes.
    for (uint32_t i = 0; i < kBlock; i += 4099) EXPECT_EQ(out[i], uint8_t(255 - i)) << i;
    EXPECT_EQ(out[kBlock], 1);
}

TEST(Lz29Stream, LargestE8BlockWithTheSmallestDictionary) {
    // A block nearly as large as the filter memory must be complete in the
    // window before it is filtered, however small the declared dictionary.
    auto prog = Program(4, rar::unpack4::FilterType::E8);
    const uint32_t kBlock = rar::unpack4::kFilterMemSize - 1;
    uint8_t fb = 0;
    auto def = Definition(0, 0, kBlock, 0, prog, fb);
    Lz29Writer s;
    s.Filter(def, fb);
    s.Literals("0123456789");
    for (uint32_t done = 10; done < kBlock + 10;) {
        unsigned len = std::min<uint32_t>(200, kBlock + 10 - done);
        if (len < 3) len = 3;
        s.Match(len, 10);
        done += len;
    }
    s.EndOfFile();
    auto d = rar::MakeRar4Decoder(29, 0x10000);
    std::vector<uint8_t> out;
    const uint64_t size = kBlock + 10;
    ASSERT_EQ(DecodeStream(*d, s.Bytes(), size, false, out), DecodeResult::Ok);
    for (uint64_t i = 0; i < size; i += 997) ASSERT_EQ(out[i], uint8_t('0' + i % 10)) << i;
}

TEST(Lz29Stream, EmptyFilterBlockAwayFromTheWindowStart) {
    // Found by fuzzing: an empty block that does not start at 0 looked like
    // one wrapping around the window, and was copied with a window-sized length.
    auto prog = Program(5, rar::unpack4::FilterType::E8);
    uint8_t fb = 0;
    auto def = Definition(0, 5, 0, 0, prog, fb);
    Lz29Writer s;
    s.Literals("0123456789");
    s.Filter(def, fb);
    s.Literals("abcdefghij");
    s.EndOfFile();
    auto d = rar::MakeRar4Decoder(29, 0);
    std::vector<uint8_t> out;
    EXPECT_EQ(DecodeStream(*d, s.Bytes(), 20, false, out), DecodeResult::BadData);
    EXPECT_LE(out.size(), 20u);
}

TEST(Lz29Stream, OutputThatAsksToStopEndsTheMember) {
    Lz29Writer s;
    s.Literals("abc");
    for (int i = 0; i < 20000; ++i) s.Match(250, 3);
    s.EndOfFile();
    const uint64_t size = 3 + 250u * 20000;
    auto d = rar::MakeRar4Decoder(29, 0);
    const std::vector<uint8_t> packed = s.Bytes();
    rar::MemoryInput in(packed);
    VectorOutput sink;
    sink.stopAfter = 1;
    EXPECT_EQ(d->Decode(in, size, sink, false), DecodeResult::Stopped);
    EXPECT_EQ(sink.chunks, 1u);
    EXPECT_LT(sink.data.size(), size);
}
