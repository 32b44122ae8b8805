// RAR 1.5-4.x container.
//
// On disk: [SFX module] "Rar!\x1A\x07\x00", the archive header (type 0x73),
// then blocks until the end block (0x7B) or the end of the file. A block:
//   HEAD_CRC u16 (low half of CRC32 over HEAD_TYPE..end of header)
//   HEAD_TYPE u8 | HEAD_FLAGS u16 | HEAD_SIZE u16 | [ADD_SIZE u32 if 0x8000]
// and HEAD_SIZE + ADD_SIZE bytes in all. File headers (0x74) carry PACK_SIZE
// as their ADD_SIZE: PACK_SIZE u32, UNP_SIZE u32, HOST_OS u8, FILE_CRC u32,
// FTIME u32 (DOS), UNP_VER u8, METHOD u8 (0x30..0x35), NAME_SIZE u16,
// ATTR u32, [HIGH_PACK_SIZE u32, HIGH_UNP_SIZE u32 if 0x100], name,
// [SALT 8 bytes if 0x400], [extended time if 0x1000]; the packed data
// follows. With archive flag 0x80 (-hp) every block after the archive
// header is an 8-byte salt plus the block encrypted with AES-128-CBC
// (key from password and that salt), padded to 16 bytes.

#include <cstring>
#include <vector>

#include "rar/ByteReader.h"
#include "rar/Checksum.h"
#include "rar/Container.h"
#include "rar/Rar4Names.h"
#include "rar/Unrar.h"
#include "rar/crypto/Aes.h"
#include "rar/crypto/KeyCache.h"

namespace rar {

namespace {

enum : uint8_t {
    kMark = 0x72, kMain = 0x73, kFile = 0x74, kSub = 0x7A, kEnd = 0x7B,
};

struct Block4 {
    uint8_t type = 0;
    uint16_t flags = 0;
    std::vector<uint8_t> header;  // HEAD_SIZE bytes, decrypted
    uint64_t dataSize = 0;
    uint64_t dataStart = 0;
};

class Rar4Container : public Container {
public:
    explicit Rar4Container(uint64_t pos) : pos_(pos) {}
    int Start(ReadContext& ctx) override;
    int Next(ReadContext& ctx, Member& out) override;
    bool Solid() const override { return solid_; }

private:
    int ReadBlock(ReadContext& ctx, Block4& b);
    int ParseFile(const Block4& b, Member& m);

    uint64_t pos_;
    bool solid_ = false;
    bool encrypted_ = false;
    bool ended_ = false;
};

int Rar4Container::ReadBlock(ReadContext& ctx, Block4& b) {
    ArchiveFile& f = *ctx.file;
    const uint64_t size = f.Size();
    uint64_t pos = pos_;
    uint8_t head[16];
    const uint8_t* saltp = nullptr;
    uint8_t salt[8];
    AesCbc aes;
    if (encrypted_) {
        if (!ctx.password) return ERAR_MISSING_PASSWORD;
        if (!f.ReadAt(pos, salt, 8) || !f.ReadAt(pos + 8, head, 16)) return ERAR_BAD_DATA;
        saltp = salt;
        const Rar3Key* k = ctx.keys->GetRar3(*ctx.password, saltp);
        if (!aes.Init(k->key, 128, k->iv, false) || !aes.Process(head, head, 16)) return ERAR_BAD_DATA;
        pos += 8;
    } else if (!f.ReadAt(pos, head, 7)) {
        return ERAR_BAD_DATA;
    }
    ByteReader r(head, 7);
    const uint16_t crc = r.u16();
    b.type = r.u8();
    b.flags = r.u16();
    const uint16_t hsize = r.u16();
    if (hsize < 7) return ERAR_BAD_DATA;
    const uint64_t stored = encrypted_ ? (uint64_t(hsize) + 15) / 16 * 16 : hsize;
    if (pos > size || stored > size - pos) return ERAR_BAD_DATA;
    std::vector<uint8_t> raw(static_cast<size_t>(stored));
    if (!f.ReadAt(pos, raw.data(), raw.size())) return ERAR_BAD_DATA;
    if (encrypted_) {
        const Rar3Key* k = ctx.keys->GetRar3(*ctx.password, saltp);
        AesCbc again;
        if (!again.Init(k->key, 128, k->iv, false) || !again.Process(raw.data(), raw.data(), raw.size()))
            return ERAR_BAD_DATA;
    }
    raw.resize(hsize);
    bool crcOk = (Crc32(raw.data() + 2, hsize - 2) & 0xFFFF) == crc;
    // RAR 1.5-2.x file headers with an embedded comment (flag 0x08): the
    // checksum covers the fixed fields and the name only.
    if (!crcOk && b.type == kFile && (b.flags & 0x08) && hsize >= 32) {
        ByteReader nr(raw.data() + 26, 2);
        const size_t covered = 32 + ((b.flags & 0x100) ? 8 : 0) + nr.u16();
        if (covered <= hsize) crcOk = (Crc32(raw.data() + 2, covered - 2) & 0xFFFF) == crc;
    }
    // A wrong password for encrypted headers shows as a CRC mismatch of any block.
    if (!crcOk && (encrypted_ || b.type == kFile || b.type == kSub)) return ERAR_BAD_DATA;
    ByteReader h(raw.data() + 7, raw.size() - 7);
    b.dataSize = 0;
    if (b.type == kFile || b.type == kSub) {
        b.dataSize = h.u32();
        if (b.flags & 0x100) {
            ByteReader hi(raw.data() + 7, raw.size() - 7);
            hi.skip(25);
            b.dataSize |= uint64_t(hi.u32()) << 32;
            if (!hi.ok()) return ERAR_BAD_DATA;
        }
    } else if (b.flags & 0x8000) {
        b.dataSize = h.u32();
    }
    if (!h.ok()) return ERAR_BAD_DATA;
    b.header.swap(raw);
    b.dataStart = pos + stored;
    return ERAR_SUCCESS;
}

int Rar4Container::Start(ReadContext& ctx) {
    Block4 b;
    if (ReadBlock(ctx, b) != ERAR_SUCCESS || b.type != kMain) return ERAR_BAD_ARCHIVE;
    solid_ = (b.flags & 0x08) != 0;
    encrypted_ = (b.flags & 0x80) != 0;
    pos_ = b.dataStart + b.dataSize;
    return ERAR_SUCCESS;
}

int Rar4Container::ParseFile(const Block4& b, Member& m) {
    ByteReader r(b.header.data() + 7, b.header.size() - 7);
    const uint32_t packLo = r.u32();
    const uint32_t unpLo = r.u32();
    const uint8_t host = r.u8();
    m.crc = r.u32();
    m.hasCrc = true;
    m.fileTime = r.u32();
    m.unpVer = r.u8();
    const uint8_t method = r.u8();
    const uint16_t nameSize = r.u16();
    m.attr = r.u32();
    uint32_t packHi = 0, unpHi = 0;
    if (b.flags & 0x100) {
        packHi = r.u32();
        unpHi = r.u32();
    }
    if (!r.ok() || nameSize > r.left()) return ERAR_BAD_DATA;
    const uint8_t* name = r.bytes(nameSize);
    if (b.flags & 0x400) {
        r.copy(m.enc.salt.data(), 8);
        m.enc.hasSalt = true;
    }
    if (!r.ok()) return ERAR_BAD_DATA;
    m.packSize = uint64_t(packHi) << 32 | packLo;
    m.unpSize = uint64_t(unpHi) << 32 | unpLo;
    m.unpSizeKnown = !((b.flags & 0x100) && unpHi == 0xFFFFFFFF && unpLo == 0xFFFFFFFF);
    m.hostOS = host;
    m.method = method >= 0x30 ? method - 0x30u : 6;
    m.dataOffset = b.dataStart;
    m.dictSize = uint64_t(64 * 1024) << ((b.flags >> 5) & 7);
    m.isDir = (b.flags & 0xE0) == 0xE0 || (m.unpVer < 20 && (m.attr & 0x10) != 0);
    if (m.isDir) m.dictSize = 0;
    m.solid = (b.flags & 0x10) != 0;
    m.splitBefore = (b.flags & 0x01) != 0;
    m.splitAfter = (b.flags & 0x02) != 0;
    if (b.flags & 0x04) {
        m.enc.cipher = m.unpVer == 13 || m.unpVer == 15 ? Cipher::Legacy
                     : m.unpVer == 20 || m.unpVer == 26 ? Cipher::Rar20
                     : Cipher::Aes128;
    }
    std::string n = DecodeRar4Name(name, nameSize, (b.flags & 0x200) != 0);
    // The format's path separator is the backslash, whatever the host.
    for (char& c : n)
        if (c == '\\') c = '/';
    m.name = n;
    m.isRar5 = false;
    return ERAR_SUCCESS;
}

int Rar4Container::Next(ReadContext& ctx, Member& out) {
    if (ended_) return ERAR_END_ARCHIVE;
    for (;;) {
        const uint64_t size = ctx.file->Size();
        // Archives of older versions may end without an end block.
        if (pos_ >= size || (!encrypted_ && size - pos_ < 7)) {
            ended_ = true;
            return ERAR_END_ARCHIVE;
        }
        Block4 b;
        int rc = ReadBlock(ctx, b);
        if (rc != ERAR_SUCCESS) return rc;
        const uint64_t next = b.dataStart + b.dataSize;
        if (b.type == kEnd) {
            ended_ = true;
            return ERAR_END_ARCHIVE;
        }
        pos_ = next;
        if (b.type == kFile) {
            out = Member();
            return ParseFile(b, out);
        }
        // Marker, comments, recovery records, subblocks and unknown blocks are passed over.
    }
}

}  // namespace

std::unique_ptr<Container> MakeRar4Container(uint64_t afterSignature) {
    return std::make_unique<Rar4Container>(afterSignature);
}

}  // namespace rar
