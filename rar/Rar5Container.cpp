// RAR 5.0 container.
//
// On disk: [SFX module] "Rar!\x1A\x07\x01\x00", then blocks. Every block is
//   CRC32 (u32, over the rest of the header) | header size (vint, <= 3 bytes)
//   | type (vint) | flags (vint) | [extra area size] | [data size] |
//   type-specific fields | extra records, followed by the data area.
// Types: 1 main, 2 file, 3 service (comment, quick open, ...), 4 archive
// encryption, 5 end. With encrypted headers (-hp) the encryption block comes
// first and every later header is a 16-byte IV plus the AES-256-CBC
// encrypted header padded to 16 bytes; data areas stay where they are.
// File headers: file flags, unpacked size, attributes, [mtime], [CRC32],
// compression info, host OS, name; extra records carry the member's
// encryption parameters, BLAKE2sp hash, times and link targets.

#include <cstring>
#include <string>
#include <vector>

#include "rar/ByteReader.h"
#include "rar/Checksum.h"
#include "rar/Container.h"
#include "rar/Limits.h"
#include "rar/Unrar.h"
#include "rar/crypto/Aes.h"
#include "rar/crypto/KeyCache.h"
#include "rar/crypto/Rar5Kdf.h"

namespace rar {

namespace {

enum : uint64_t {
    kTypeMain = 1, kTypeFile = 2, kTypeService = 3, kTypeCrypt = 4, kTypeEnd = 5,
};
enum : uint64_t {
    kHfExtra = 0x01, kHfData = 0x02, kHfSplitBefore = 0x08, kHfSplitAfter = 0x10,
};

struct Block {
    uint64_t type = 0, flags = 0, extraSize = 0, dataSize = 0;
    std::vector<uint8_t> header;  // from the type field to the end of the extra area
    size_t fieldsStart = 0;       // offset in header of the type-specific fields
    uint64_t dataStart = 0;       // file offset of the data area
};

class Rar5Container : public Container {
public:
    explicit Rar5Container(uint64_t pos) : pos_(pos) {}
    int Start(ReadContext& ctx) override;
    int Next(ReadContext& ctx, Member& out) override;
    bool Solid() const override { return solid_; }

private:
    int ReadBlock(ReadContext& ctx, Block& b);
    int HeaderKey(ReadContext& ctx);
    int ParseMain(const Block& b);
    int ParseFile(const Block& b, Member& m);

    uint64_t pos_;
    bool started_ = false;  // main header read
    bool solid_ = false;
    bool encrypted_ = false;
    unsigned kdfCount_ = 0;
    uint8_t salt_[16] = {};
    bool hasCheck_ = false;
    uint8_t check_[12] = {};
    uint8_t key_[32] = {};
    bool haveKey_ = false;
    std::string keyPassword_;
    bool ended_ = false;
};

int Rar5Container::HeaderKey(ReadContext& ctx) {
    if (!ctx.password) return ERAR_MISSING_PASSWORD;
    if (haveKey_ && keyPassword_ == *ctx.password) return ERAR_SUCCESS;
    const Rar5Key* k = ctx.keys->GetRar5(*ctx.password, salt_, kdfCount_);
    if (!k) return ERAR_BAD_DATA;
    if (hasCheck_ && Rar5CheckFieldIntact(check_) && std::memcmp(k->check, check_, 8) != 0)
        return ERAR_BAD_PASSWORD;
    std::memcpy(key_, k->key, 32);
    keyPassword_ = *ctx.password;
    haveKey_ = true;
    return ERAR_SUCCESS;
}

// Reads the header at pos_ into b; pos_ is left unchanged.
int Rar5Container::ReadBlock(ReadContext& ctx, Block& b) {
    ArchiveFile& f = *ctx.file;
    const uint64_t size = f.Size();
    uint64_t pos = pos_;
    // The first bytes: CRC32 and the header size vint (at most 3 bytes).
    uint8_t head[16];
    std::vector<uint8_t> raw;
    AesCbc aes;
    if (encrypted_) {
        int rc = HeaderKey(ctx);
        if (rc != ERAR_SUCCESS) return rc;
        uint8_t iv[16];
        if (!f.ReadAt(pos, iv, 16) || !f.ReadAt(pos + 16, head, 16)) return ERAR_BAD_DATA;
        if (!aes.Init(key_, 256, iv, false) || !aes.Process(head, head, 16)) return ERAR_BAD_DATA;
        pos += 16;
    } else {
        size_t got = f.ReadSomeAt(pos, head, 7);
        if (got < 7) return ERAR_BAD_DATA;
    }
    ByteReader r(head, 7);
    const uint32_t crc = r.u32();
    const uint64_t hsize = r.vint();
    if (!r.ok() || hsize == 0 || hsize > kMaxRar5HeaderSize) return ERAR_BAD_DATA;
    const size_t sizeLen = r.pos() - 4;
    const uint64_t total = 4 + sizeLen + hsize;
    const uint64_t stored = encrypted_ ? (total + 15) / 16 * 16 : total;
    if (pos > size || stored > size - pos) return ERAR_BAD_DATA;
    raw.resize(size_t(stored));
    if (!f.ReadAt(pos, raw.data(), raw.size())) return ERAR_BAD_DATA;
    if (encrypted_) {
        AesCbc again;
        uint8_t iv[16];
        if (!f.ReadAt(pos_, iv, 16) || !again.Init(key_, 256, iv, false) ||
            !again.Process(raw.data(), raw.data(), raw.size()))
            return ERAR_BAD_DATA;
    }
    if (Crc32(raw.data() + 4, size_t(total - 4)) != crc) return ERAR_BAD_DATA;

    b.header.assign(raw.begin() + 4 + long(sizeLen), raw.begin() + long(total));
    ByteReader h(b.header.data(), b.header.size());
    b.type = h.vint();
    b.flags = h.vint();
    b.extraSize = (b.flags & kHfExtra) ? h.vint() : 0;
    b.dataSize = (b.flags & kHfData) ? h.vint() : 0;
    if (!h.ok() || b.extraSize > h.left()) return ERAR_BAD_DATA;
    b.fieldsStart = h.pos();
    b.dataStart = pos + stored;
    return ERAR_SUCCESS;
}

int Rar5Container::ParseMain(const Block& b) {
    ByteReader r(b.header.data() + b.fieldsStart, b.header.size() - b.fieldsStart);
    uint64_t arcFlags = r.vint();
    if (!r.ok()) return ERAR_BAD_ARCHIVE;
    solid_ = (arcFlags & 0x04) != 0;
    return ERAR_SUCCESS;
}

int Rar5Container::Start(ReadContext& ctx) {
    Block b;
    int rc = ReadBlock(ctx, b);
    if (rc != ERAR_SUCCESS) return ERAR_BAD_ARCHIVE;
    if (b.type == kTypeCrypt) {
        ByteReader r(b.header.data() + b.fieldsStart, b.header.size() - b.fieldsStart);
        uint64_t version = r.vint();
        uint64_t flags = r.vint();
        kdfCount_ = r.u8();
        r.copy(salt_, 16);
        hasCheck_ = (flags & 0x01) != 0;
        if (hasCheck_) r.copy(check_, 12);
        if (!r.ok()) return ERAR_BAD_ARCHIVE;
        if (version != 0 || kdfCount_ > kRar5MaxKdfCount) return ERAR_UNKNOWN_FORMAT;
        encrypted_ = true;
        pos_ = b.dataStart;
        return ERAR_SUCCESS;  // the main header waits for the password
    }
    if (b.type != kTypeMain) return ERAR_BAD_ARCHIVE;
    rc = ParseMain(b);
    if (rc != ERAR_SUCCESS) return rc;
    started_ = true;
    pos_ = b.dataStart + b.dataSize;
    return ERAR_SUCCESS;
}

int Rar5Container::ParseFile(const Block& b, Member& m) {
    const size_t extraStart = b.header.size() - size_t(b.extraSize);
    ByteReader r(b.header.data() + b.fieldsStart, extraStart - b.fieldsStart);
    const uint64_t fileFlags = r.vint();
    m.unpSize = r.vint();
    m.unpSizeKnown = (fileFlags & 0x08) == 0;
    m.attr = uint32_t(r.vint());
    if (fileFlags & 0x02) m.fileTime = UnixToDosTime(r.u32());
    if (fileFlags & 0x04) { m.hasCrc = true; m.crc = r.u32(); }
    const uint64_t comp = r.vint();
    const uint64_t host = r.vint();
    const uint64_t nameLen = r.vint();
    if (!r.ok() || nameLen > r.left()) return ERAR_BAD_DATA;
    const uint8_t* name = r.bytes(size_t(nameLen));
    m.name.assign(reinterpret_cast<const char*>(name), size_t(nameLen));
    m.isDir = (fileFlags & 0x01) != 0;
    m.hostOS = host == 0 ? 2 : 3;  // reported in the RAR4 numbering: Win32 or Unix
    m.isRar5 = true;
    const unsigned algo = unsigned(comp & 0x3F);
    m.solid = (comp & 0x40) != 0;
    m.method = unsigned((comp >> 7) & 7);
    const unsigned dictBits = unsigned((comp >> 10) & 0x1F);
    const unsigned frac = unsigned((comp >> 15) & 0x1F);
    m.unpVer = algo == 0 ? 50 : algo == 1 ? 70 : 0;
    // Dictionary: 128 KB << n; the RAR 7 form adds n/32 steps of that size.
    if (dictBits <= 30) {
        uint64_t base = uint64_t(128 * 1024) << dictBits;
        m.dictSize = base + (algo == 1 ? base / 32 * frac : 0);
    } else {
        m.dictSize = UINT64_MAX;
    }
    m.packSize = b.dataSize;
    m.dataOffset = b.dataStart;
    m.splitBefore = (b.flags & kHfSplitBefore) != 0;
    m.splitAfter = (b.flags & kHfSplitAfter) != 0;

    // Extra records.
    ByteReader x(b.header.data() + extraStart, size_t(b.extraSize));
    while (x.left() > 0) {
        const uint64_t recSize = x.vint();
        if (!x.ok() || recSize == 0 || recSize > x.left()) break;  // a damaged tail is ignored
        ByteReader rec(x.bytes(size_t(recSize)), size_t(recSize));
        const uint64_t type = rec.vint();
        if (type == 0x01) {
            Encryption& e = m.enc;
            const uint64_t version = rec.vint();
            const uint64_t flags = rec.vint();
            e.kdfCount = rec.u8();
            rec.copy(e.salt.data(), 16);
            rec.copy(e.iv.data(), 16);
            uint8_t field[12] = {};
            if (flags & 0x01) rec.copy(field, 12);
            if (!rec.ok()) return ERAR_BAD_DATA;
            e.cipher = version == 0 ? Cipher::Aes256 : Cipher::Legacy;
            e.hasCheck = (flags & 0x01) != 0 && Rar5CheckFieldIntact(field);
            std::memcpy(e.check.data(), field, 8);
            e.tweakedChecksums = (flags & 0x02) != 0;
        } else if (type == 0x02) {
            const uint64_t hashType = rec.vint();
            if (hashType == 0) {
                rec.copy(m.blake.data(), 32);
                if (rec.ok()) m.hasBlake = true;
            }
        } else if (type == 0x04) {  // file version (-ver): shown as "name;n"
            rec.vint();
            const uint64_t version = rec.vint();
            if (rec.ok() && version > 0) m.name += ";" + std::to_string(version);
        } else if (type == 0x05) {
            m.isLink = true;
        }
    }
    return ERAR_SUCCESS;
}

int Rar5Container::Next(ReadContext& ctx, Member& out) {
    if (ended_) return ERAR_END_ARCHIVE;
    for (unsigned guard = 0;; ++guard) {
        if (pos_ >= ctx.file->Size()) {
            if (!started_) return ERAR_BAD_DATA;
            ended_ = true;
            return ERAR_END_ARCHIVE;
        }
        Block b;
        int rc = ReadBlock(ctx, b);
        if (rc != ERAR_SUCCESS) return rc;
        uint64_t next = b.dataStart + b.dataSize;
        if (next < b.dataStart) return ERAR_BAD_DATA;
        if (!started_) {
            if (b.type != kTypeMain) return ERAR_BAD_DATA;
            rc = ParseMain(b);
            if (rc != ERAR_SUCCESS) return rc;
            started_ = true;
            pos_ = next;
            continue;
        }
        if (b.type == kTypeEnd) {
            ended_ = true;
            return ERAR_END_ARCHIVE;
        }
        pos_ = next;
        if (b.type == kTypeFile) {
            out = Member();
            return ParseFile(b, out);
        }
        // Service headers, a second main header and unknown blocks are passed over.
        (void)guard;
    }
}

}  // namespace

std::unique_ptr<Container> MakeRar5Container(uint64_t afterSignature) {
    return std::make_unique<Rar5Container>(afterSignature);
}

}  // namespace rar
