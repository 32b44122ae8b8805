// Writes the RAR 2.9-4.x container (see Rar4Container.cpp for the layout)
// with stored members. One salt per archive for the headers (-hp) and all
// members; names use the format's backslash separator, non-ASCII names are
// stored as UTF-8 with the Unicode flag.

#include <cstring>

#include "rar/Checksum.h"
#include "rar/crypto/Aes.h"
#include "rar/crypto/CryptoBackend.h"
#include "rar/crypto/Rar3Kdf.h"
#include "rar/pack/ArchiveWriter.h"

namespace rar {
namespace pack {

namespace {

void Put16(std::vector<uint8_t>& v, uint32_t x) { v.push_back(uint8_t(x)); v.push_back(uint8_t(x >> 8)); }
void Put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(uint8_t(x >> (8 * i)));
}

// Fills in HEAD_CRC and HEAD_SIZE of a block whose first 7 bytes are reserved.
void Seal(std::vector<uint8_t>& h) {
    h[5] = uint8_t(h.size());
    h[6] = uint8_t(h.size() >> 8);
    uint32_t crc = Crc32(h.data() + 2, h.size() - 2) & 0xFFFF;
    h[0] = uint8_t(crc);
    h[1] = uint8_t(crc >> 8);
}

std::vector<uint8_t> StartBlock(uint8_t type, uint16_t flags) {
    std::vector<uint8_t> h(7, 0);
    h[2] = type;
    h[3] = uint8_t(flags);
    h[4] = uint8_t(flags >> 8);
    return h;
}

class Rar4Writer : public FormatWriter {
public:
    explicit Rar4Writer(const Options& o) : o_(o) {}

    bool Begin(std::vector<uint8_t>& out) override {
        static const uint8_t sig[7] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
        out.insert(out.end(), sig, sig + 7);
        if (!o_.password.empty()) {
            if (!RandomBytes(salt_, 8)) return false;
            key_ = DeriveRar3Key(o_.password, salt_);
        }
        std::vector<uint8_t> h = StartBlock(0x73, o_.encryptHeaders ? 0x80 : 0);
        Put16(h, 0);
        Put32(h, 0);
        Seal(h);
        out.insert(out.end(), h.begin(), h.end());  // the archive header is never encrypted
        return true;
    }

    bool Add(const Entry& e, const std::vector<uint8_t>& data, std::vector<uint8_t>& out) override {
        const bool encrypt = !o_.password.empty() && !e.isDir;
        std::vector<uint8_t> packed;
        if (!e.isDir) {
            packed = data;
            if (encrypt) {
                packed.resize((packed.size() + 15) / 16 * 16 + (packed.empty() ? 16 : 0), 0);
                AesCbc aes;
                if (!aes.Init(key_.key, 128, key_.iv, true) || !aes.Process(packed.data(), packed.data(), packed.size()))
                    return false;
            }
        }
        std::string name = e.name;
        for (char& c : name)
            if (c == '/') c = '\\';
        bool ascii = true;
        for (char c : name)
            if (uint8_t(c) >= 0x80) ascii = false;
        const uint64_t unp = e.isDir ? 0 : data.size();
        const bool big = packed.size() > 0xFFFFFFFFu || unp > 0xFFFFFFFFu;
        uint16_t flags = 0x8000;
        if (e.isDir) flags |= 0xE0;
        if (encrypt) flags |= 0x04 | 0x400;
        if (!ascii) flags |= 0x200;
        if (big) flags |= 0x100;
        std::vector<uint8_t> h = StartBlock(0x74, flags);
        Put32(h, uint32_t(packed.size()));
        Put32(h, uint32_t(unp));
        h.push_back(3);  // host OS: Unix
        Put32(h, e.isDir ? 0 : Crc32(data.data(), data.size()));
        Put32(h, UnixToDosTime(e.mtime));
        h.push_back(e.isDir ? 20 : encrypt ? 29 : 20);  // version needed: AES needs 2.9
        h.push_back(0x30);                             // stored
        Put16(h, uint32_t(name.size()));
        const uint32_t mode = e.mode ? e.mode : (e.isDir ? 0755 : 0644);
        Put32(h, (e.isDir ? 0040000u : 0100000u) | (mode & 07777));
        if (big) {
            Put32(h, uint32_t(uint64_t(packed.size()) >> 32));
            Put32(h, uint32_t(unp >> 32));
        }
        h.insert(h.end(), name.begin(), name.end());
        if (encrypt) h.insert(h.end(), salt_, salt_ + 8);
        if (h.size() > 0xFFFF) return false;
        Seal(h);
        Emit(h, out);
        out.insert(out.end(), packed.begin(), packed.end());
        return true;
    }

    bool End(std::vector<uint8_t>& out) override {
        std::vector<uint8_t> h = StartBlock(0x7B, 0x4000);
        Seal(h);
        Emit(h, out);
        return true;
    }

private:
    void Emit(std::vector<uint8_t> h, std::vector<uint8_t>& out) {
        if (!o_.encryptHeaders) {
            out.insert(out.end(), h.begin(), h.end());
            return;
        }
        h.resize((h.size() + 15) / 16 * 16, 0);
        AesCbc aes;
        aes.Init(key_.key, 128, key_.iv, true);
        aes.Process(h.data(), h.data(), h.size());
        out.insert(out.end(), salt_, salt_ + 8);
        out.insert(out.end(), h.begin(), h.end());
    }

    Options o_;
    uint8_t salt_[8] = {};
    Rar3Key key_{};
};

}  // namespace

std::unique_ptr<FormatWriter> MakeRar4Writer(const Options& o) { return std::make_unique<Rar4Writer>(o); }

}  // namespace pack
}  // namespace rar
