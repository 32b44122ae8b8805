// Damaged and hostile archives: every call must come back with a clear
// result, nothing is delivered beyond a member's declared size, and a
// member reported sound really is.

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "RarWalk.h"
#include "rar/Checksum.h"
#include "rar/MemoryArchive.h"
#include "rar/Unrar.h"
#include "rar/pack/ArchiveWriter.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Outcome {
    int open = 0;
    std::vector<std::string> names;
    std::vector<int> rcs;
    std::vector<std::string> bytes;
    int end = 0;
};

struct Sink {
    std::string* out = nullptr;
    unsigned limit = 0;
    bool overrun = false;
};

int CALLBACK OnData(UINT msg, LPARAM user, LPARAM p1, LPARAM p2) {
    if (msg != UCM_PROCESSDATA) return msg == UCM_NEEDPASSWORD ? -1 : 1;
    Sink* s = reinterpret_cast<Sink*>(user);
    if (!s->out) return 1;
    s->out->append(reinterpret_cast<const char*>(p1), size_t(p2));
    if (s->out->size() > s->limit) s->overrun = true;
    return 1;
}

Outcome WalkMemory(const Bytes& data, const char* password, bool* overrun = nullptr) {
    Outcome o;
    void* h = rar::OpenArchiveMemory(data.data(), data.size(), &o.open);
    if (!h) return o;
    if (password) RARSetPassword(h, const_cast<char*>(password));
    Sink sink;
    RARSetCallback(h, OnData, LPARAM(&sink));
    for (int i = 0; i < 1000; ++i) {
        RARHeaderData hd;
        std::memset(&hd, 0, sizeof hd);
        o.end = RARReadHeader(h, &hd);
        if (o.end != 0) break;
        EXPECT_LT(std::strlen(hd.FileName), sizeof hd.FileName);
        o.names.push_back(hd.FileName);
        o.bytes.emplace_back();
        sink.out = &o.bytes.back();
        sink.limit = hd.UnpSize;
        bool dir = (hd.Flags & RHDF_DIRECTORY) == RHDF_DIRECTORY;
        o.rcs.push_back(RARProcessFile(h, dir ? RAR_SKIP : RAR_TEST, nullptr, nullptr));
        sink.out = nullptr;
    }
    RARCloseArchive(h);
    if (overrun) *overrun = sink.overrun;
    return o;
}

Bytes PackToMemory(rar::pack::Format f, const std::string& password, bool hp) {
    std::vector<rar::pack::Entry> entries(3);
    entries[0].name = "dir";
    entries[0].isDir = true;
    entries[1].name = "dir/a.txt";
    entries[1].data.assign(100, 'a');
    entries[2].name = "b.bin";
    for (int i = 0; i < 40; ++i) entries[2].data.push_back(uint8_t(i));
    rar::pack::Options o;
    o.format = f;
    o.password = password;
    o.encryptHeaders = hp;
    o.rar5KdfCount = 4;  // keeps the many walks below fast
    std::string path = rartest::ScratchPath("src.rar"), error;
    EXPECT_TRUE(rar::pack::WriteArchive(path, entries, o, error)) << error;
    std::FILE* fp = std::fopen(path.c_str(), "rb");
    Bytes b(1 << 16);
    b.resize(std::fread(b.data(), 1, b.size(), fp));
    std::fclose(fp);
    return b;
}

struct Sample {
    const char* label;
    rar::pack::Format format;
    const char* password;
    bool hp;
};

const Sample kSamples[] = {
    {"rar5", rar::pack::Format::Rar5, "", false},
    {"rar4", rar::pack::Format::Rar4, "", false},
    {"rar5 encrypted", rar::pack::Format::Rar5, "pw", false},
    {"rar5 -hp", rar::pack::Format::Rar5, "pw", true},
    {"rar4 -hp", rar::pack::Format::Rar4, "pw", true},
};

TEST(BadInput, TruncationAtEveryLengthNeverReportsWrongBytes) {
    for (const Sample& s : kSamples) {
        SCOPED_TRACE(s.label);
        const Bytes full = PackToMemory(s.format, s.password, s.hp);
        const Outcome good = WalkMemory(full, *s.password ? s.password : nullptr);
        ASSERT_EQ(good.names.size(), 3u);
        for (size_t len = 0; len < full.size(); ++len) {
            Bytes cut(full.begin(), full.begin() + long(len));
            bool overrun = false;
            Outcome o = WalkMemory(cut, *s.password ? s.password : nullptr, &overrun);
            EXPECT_FALSE(overrun) << "at length " << len;
            for (size_t i = 0; i < o.names.size() && i < good.names.size(); ++i) {
                if (o.rcs[i] == 0) {
                    EXPECT_EQ(o.bytes[i], good.bytes[i]) << "member " << i << " at length " << len;
                }
            }
            EXPECT_TRUE(o.open != 0 || o.end != 0) << "at length " << len;
        }
    }
}

TEST(BadInput, RandomDamageNeverCrashesOrOverrunsTheDeclaredSize) {
    // About 1% of the bytes damaged, many rounds (the libarchive approach).
    std::mt19937 rng(12345);
    std::vector<Bytes> sources;
    for (const Sample& s : kSamples) sources.push_back(PackToMemory(s.format, s.password, s.hp));
    for (const char* name : {"rar5-solid.rar", "rar5-blake.rar", "rar5-times.rar", "rar5-hpsw.rar", "unicode.rar"}) {
        std::string p = std::string(STAGEHOST_RAR_FIXTURES) + "/" + name;
        std::FILE* f = std::fopen(p.c_str(), "rb");
        if (!f) continue;
        Bytes b(1 << 20);
        b.resize(std::fread(b.data(), 1, b.size(), f));
        std::fclose(f);
        sources.push_back(b);
    }
    for (size_t src = 0; src < sources.size(); ++src) {
        for (int round = 0; round < 200; ++round) {
            Bytes b = sources[src];
            size_t flips = b.size() / 100 + 1;
            for (size_t k = 0; k < flips; ++k) b[rng() % b.size()] = uint8_t(rng());
            bool overrun = false;
            WalkMemory(b, "pw", &overrun);
            EXPECT_FALSE(overrun) << "source " << src << " round " << round;
        }
    }
}

// A RAR5 archive built field by field, to put hostile values where the
// writer never would.
void Vint(Bytes& b, uint64_t v) {
    do {
        uint8_t x = v & 0x7F;
        v >>= 7;
        b.push_back(uint8_t(x | (v ? 0x80 : 0)));
    } while (v);
}
void Block(Bytes& out, const Bytes& body) {
    Bytes h;
    Vint(h, body.size());
    h.insert(h.end(), body.begin(), body.end());
    uint32_t crc = rar::Crc32(h.data(), h.size());
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(crc >> (8 * i)));
    out.insert(out.end(), h.begin(), h.end());
}
Bytes Rar5With(uint64_t packSize, uint64_t unpSize, uint64_t nameLen, uint64_t compInfo, size_t dataBytes) {
    Bytes a = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x01, 0x00};
    Block(a, {1, 0, 0});
    Bytes f;
    Vint(f, 2);
    Vint(f, 0x02);
    Vint(f, packSize);
    Vint(f, 0x04);  // CRC present
    Vint(f, unpSize);
    Vint(f, 0);
    for (int i = 0; i < 4; ++i) f.push_back(0);
    Vint(f, compInfo);
    Vint(f, 1);
    Vint(f, nameLen);
    f.push_back('n');
    Block(a, f);
    a.insert(a.end(), dataBytes, 'd');
    Block(a, {5, 0, 0});
    return a;
}

TEST(BadInput, HostileSizesGiveClearResults) {
    struct Case { const char* what; uint64_t pack, unp, nameLen, comp; size_t data; };
    const Case cases[] = {
        {"packed size past the end", 1ull << 40, 10, 1, 0, 10},
        {"packed size near 2^64", UINT64_MAX - 3, 10, 1, 0, 10},
        {"unpacked size near 2^64", 10, UINT64_MAX, 1, 0, 10},
        {"unpacked size 2^32 + 5 (wraps in 32 bits)", 10, (1ull << 32) + 5, 1, 0, 10},
        {"name longer than the header", 10, 10, 1000, 0, 10},
        {"compressed, 4 GB dictionary, tiny data", 10, 1ull << 33, 1, (1u << 7) | (15u << 10), 10},
        {"compressed, dictionary beyond any limit", 10, 10, 1, (1u << 7) | (31u << 10), 10},
        {"unknown algorithm version", 10, 10, 1, 5 | (1u << 7), 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        bool overrun = false;
        Outcome o = WalkMemory(Rar5With(c.pack, c.unp, c.nameLen, c.comp, c.data), nullptr, &overrun);
        EXPECT_FALSE(overrun);
        for (int rc : o.rcs) EXPECT_NE(rc, 0);
        EXPECT_TRUE(o.open != 0 || o.end != 0);
    }
}

TEST(BadInput, HeaderSizePastTheEnd) {
    Bytes a = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x01, 0x00};
    Block(a, {1, 0, 0});
    Bytes h = {0, 0, 0, 0, 0xFF, 0xFF, 0x7F};  // 2 MB header in a 20-byte file
    a.insert(a.end(), h.begin(), h.end());
    Outcome o = WalkMemory(a, nullptr);
    EXPECT_TRUE(o.names.empty());
    EXPECT_EQ(o.end, ERAR_BAD_DATA);

    Bytes r4 = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
    Bytes mainHead = {0, 0, 0x73, 0, 0, 13, 0, 0, 0, 0, 0, 0, 0};
    uint32_t crc = rar::Crc32(mainHead.data() + 2, mainHead.size() - 2);
    mainHead[0] = uint8_t(crc);
    mainHead[1] = uint8_t(crc >> 8);
    r4.insert(r4.end(), mainHead.begin(), mainHead.end());
    Bytes fileHead = {0x11, 0x22, 0x74, 0x00, 0x80, 0xFF, 0xFF, 1, 2, 3};
    r4.insert(r4.end(), fileHead.begin(), fileHead.end());
    o = WalkMemory(r4, nullptr);
    EXPECT_TRUE(o.names.empty());
    EXPECT_NE(o.end, 0);
}

TEST(BadInput, EmptyAndSignatureOnlyInputs) {
    int rc = 0;
    EXPECT_EQ(rar::OpenArchiveMemory(nullptr, 0, &rc), nullptr);
    EXPECT_EQ(rc, ERAR_BAD_ARCHIVE);
    Bytes sig5 = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x01, 0x00};
    EXPECT_EQ(rar::OpenArchiveMemory(sig5.data(), sig5.size(), &rc), nullptr);
    EXPECT_EQ(rc, ERAR_BAD_ARCHIVE);
    Bytes sig4 = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
    EXPECT_EQ(rar::OpenArchiveMemory(sig4.data(), sig4.size(), &rc), nullptr);
    EXPECT_EQ(rc, ERAR_BAD_ARCHIVE);
}

}  // namespace
