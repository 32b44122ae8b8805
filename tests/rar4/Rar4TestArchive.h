#pragma once
// Test-only reader of RAR 1.5-4.x file blocks: enough of the container to hand
// the coders their members' packed bytes (headers in the clear only).

#include <cstdint>
#include <string>
#include <vector>

#include "rar/unpack/Decoder.h"
#include "rar/unpack/MemoryInput.h"

namespace rar4test {

struct Member {
    std::string name;
    uint16_t flags = 0;
    uint64_t packSize = 0;
    uint64_t unpSize = 0;
    uint32_t crc = 0;
    unsigned unpVer = 0;
    unsigned method = 0;
    std::vector<uint8_t> packed;

    bool Solid() const { return (flags & 0x10) != 0; }
    bool Encrypted() const { return (flags & 0x04) != 0; }
    bool Split() const { return (flags & 0x03) != 0; }
    bool Directory() const { return (flags & 0xe0) == 0xe0; }
    size_t Dictionary() const { return size_t(0x10000) << ((flags >> 5) & 7); }
};

// Parses an archive image; false if it is not a readable RAR4 archive
// (or its headers are encrypted).
bool ParseRar4(const std::vector<uint8_t>& image, std::vector<Member>& members);

bool ReadFile(const std::string& path, std::vector<uint8_t>& out);

// Collects the output (with an optional byte limit after which it stops).
class VectorOutput final : public rar::UnpackedOutput {
public:
    bool Write(const uint8_t* p, size_t n) override;
    std::vector<uint8_t> data;
    size_t chunks = 0;
    size_t stopAfter = SIZE_MAX;
};

// Decodes one member with `decoder`; returns the result and fills out.
rar::DecodeResult DecodeMember(rar::Decoder& decoder, const Member& m, std::vector<uint8_t>& out,
                               const std::string& password = "");

uint32_t Crc32(const std::vector<uint8_t>& d);

std::string FixtureDir();

}  // namespace rar4test
