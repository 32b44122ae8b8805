#pragma once
// One member as the containers describe it to the handle layer.

#include <array>
#include <cstdint>
#include <string>

namespace rar {

enum class Cipher {
    None,
    Aes256,  // RAR5
    Aes128,  // RAR 2.9 - 4.x
    Rar20,   // RAR 2.0 cipher (UnpVer 20/26)
    Legacy,  // RAR 1.3 / 1.5 ciphers: not supported
};

struct Encryption {
    Cipher cipher = Cipher::None;
    unsigned kdfCount = 0;              // RAR5: log2 of the PBKDF2 rounds
    std::array<uint8_t, 16> salt{};     // RAR5: 16 bytes; RAR4: 8 bytes
    bool hasSalt = false;               // RAR4 only
    std::array<uint8_t, 16> iv{};       // RAR5 file data
    bool hasCheck = false;              // RAR5 password check present
    std::array<uint8_t, 8> check{};
    bool tweakedChecksums = false;      // RAR5: CRC/BLAKE2 turned into MACs
};

struct Member {
    std::string name;        // UTF-8, "/" kept as stored
    uint64_t packSize = 0;
    uint64_t unpSize = 0;
    bool unpSizeKnown = true;
    uint64_t dataOffset = 0; // file offset of the packed data
    unsigned hostOS = 0;     // reported as the UnRAR library does (RAR4 numbering)
    uint32_t fileTime = 0;   // DOS date and time
    unsigned unpVer = 0;     // 15..36 RAR4, 50 RAR5, 70 RAR7
    unsigned method = 0;     // 0 stored .. 5 best
    uint32_t attr = 0;
    bool isDir = false;
    bool solid = false;
    bool splitBefore = false;
    bool splitAfter = false;
    bool hasCrc = false;
    uint32_t crc = 0;
    bool hasBlake = false;
    std::array<uint8_t, 32> blake{};
    uint64_t dictSize = 0;
    bool isRar5 = false;
    bool isLink = false;     // symlink / hard link / copy record: data is the target or nothing
    Encryption enc;
};

}  // namespace rar
