#include "Rar4TestArchive.h"

#include <cstdio>
#include <cstring>
#include <zlib.h>

#include "rar/unpack4/Rar20Cipher.h"

namespace rar4test {

namespace {
uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }
}  // namespace

bool ReadFile(const std::string& path, std::vector<uint8_t>& out) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    out.clear();
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0) out.insert(out.end(), buf, buf + n);
    std::fclose(f);
    return true;
}

bool ParseRar4(const std::vector<uint8_t>& img, std::vector<Member>& members) {
    static const uint8_t kSig[7] = {0x52, 0x61, 0x72, 0x21, 0x1a, 0x07, 0x00};
    size_t pos = 0;
    bool found = false;
    for (; pos + 7 <= img.size(); ++pos)
        if (std::memcmp(&img[pos], kSig, 7) == 0) {
            found = true;
            break;
        }
    if (!found) return false;
    pos += 7;
    while (pos + 7 <= img.size()) {
        const uint8_t* h = &img[pos];
        uint8_t type = h[2];
        uint16_t flags = Le16(h + 3);
        uint16_t headSize = Le16(h + 5);
        if (headSize < 7 || pos + headSize > img.size()) return true;
        uint64_t addSize = 0;
        if ((flags & 0x8000) && headSize >= 11) addSize = Le32(h + 7);
        if (type == 0x73 && (flags & 0x80)) return false;
        if (type == 0x74 && headSize >= 32) {
            Member m;
            m.flags = flags;
            m.packSize = Le32(h + 7);
            m.unpSize = Le32(h + 11);
            m.crc = Le32(h + 16);
            m.unpVer = h[24];
            m.method = h[25];
            uint16_t nameSize = Le16(h + 26);
            size_t nameAt = 32;
            if (flags & 0x100) {
                m.packSize |= uint64_t(Le32(h + 32)) << 32;
                m.unpSize |= uint64_t(Le32(h + 36)) << 32;
                nameAt += 8;
            }
            addSize = m.packSize;
            if (nameAt + nameSize <= headSize) m.name.assign(reinterpret_cast<const char*>(h + nameAt), nameSize);
            size_t dataAt = pos + headSize;
            if (dataAt + m.packSize > img.size()) return true;
            m.packed.assign(img.begin() + long(dataAt), img.begin() + long(dataAt + m.packSize));
            members.push_back(std::move(m));
        }
        if (type == 0x7b) return true;
        pos += headSize + addSize;
    }
    return true;
}

bool VectorOutput::Write(const uint8_t* p, size_t n) {
    data.insert(data.end(), p, p + n);
    chunks++;
    return data.size() < stopAfter;
}

rar::DecodeResult DecodeMember(rar::Decoder& decoder, const Member& m, std::vector<uint8_t>& out,
                               const std::string& password) {
    rar::MemoryInput raw(m.packed);
    VectorOutput sink;
    rar::DecodeResult r;
    if (m.Encrypted()) {
        rar::Rar20DecryptingInput dec(raw, password);
        r = decoder.Decode(dec, m.unpSize, sink, m.Solid());
    } else {
        r = decoder.Decode(raw, m.unpSize, sink, m.Solid());
    }
    out = std::move(sink.data);
    return r;
}

uint32_t Crc32(const std::vector<uint8_t>& d) {
    return uint32_t(crc32(0L, d.data(), uInt(d.size())));
}

std::string FixtureDir() {
    return STAGEHOST_RAR_FIXTURES;
}

}  // namespace rar4test
