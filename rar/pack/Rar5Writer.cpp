// Writes the RAR5 container (see Rar5Container.cpp for the layout) with
// stored members. One salt per archive: the headers' key and every member's
// key come from it, each member has its own IV.

#include <cstring>

#include "rar/Checksum.h"
#include "rar/crypto/Aes.h"
#include "rar/crypto/CryptoBackend.h"
#include "rar/crypto/Rar5Kdf.h"
#include "rar/pack/ArchiveWriter.h"

namespace rar {
namespace pack {

namespace {

void PutVint(std::vector<uint8_t>& v, uint64_t x) {
    do {
        uint8_t b = uint8_t(x & 0x7F);
        x >>= 7;
        if (x) b |= 0x80;
        v.push_back(b);
    } while (x);
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(uint8_t(x >> (8 * i)));
}

class Rar5Writer : public FormatWriter {
public:
    explicit Rar5Writer(const Options& o) : o_(o) {}

    bool Begin(std::vector<uint8_t>& out) override {
        static const uint8_t sig[8] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x01, 0x00};
        out.insert(out.end(), sig, sig + 8);
        if (!o_.password.empty()) {
            if (!RandomBytes(salt_, 16)) return false;
            if (!DeriveRar5Key(o_.password, salt_, o_.rar5KdfCount, key_)) return false;
            std::memcpy(check_, key_.check, 8);
            uint8_t d[32];
            if (!Sha256(check_, 8, d)) return false;
            std::memcpy(check_ + 8, d, 4);
        }
        if (o_.encryptHeaders) {
            std::vector<uint8_t> body;
            PutVint(body, 4);  // archive encryption header
            PutVint(body, 0);  // header flags
            PutVint(body, 0);  // AES-256
            PutVint(body, 1);  // password check present
            body.push_back(uint8_t(o_.rar5KdfCount));
            body.insert(body.end(), salt_, salt_ + 16);
            body.insert(body.end(), check_, check_ + 12);
            EmitPlain(body, out);
        }
        std::vector<uint8_t> main;
        PutVint(main, 1);  // main header
        PutVint(main, 0);  // header flags
        PutVint(main, 0);  // archive flags
        return Emit(main, out);
    }

    bool Add(const Entry& e, const std::vector<uint8_t>& data, std::vector<uint8_t>& out) override {
        const bool encrypt = !o_.password.empty() && !e.isDir;
        const bool tweak = encrypt && !o_.encryptHeaders;
        std::vector<uint8_t> extra;
        uint8_t iv[16] = {};
        if (encrypt) {
            if (!RandomBytes(iv, 16)) return false;
            std::vector<uint8_t> rec;
            PutVint(rec, 1);                 // encryption record
            PutVint(rec, 0);                 // AES-256
            PutVint(rec, tweak ? 3 : 1);     // check present, tweaked checksums
            rec.push_back(uint8_t(o_.rar5KdfCount));
            rec.insert(rec.end(), salt_, salt_ + 16);
            rec.insert(rec.end(), iv, iv + 16);
            rec.insert(rec.end(), check_, check_ + 12);
            PutVint(extra, rec.size());
            extra.insert(extra.end(), rec.begin(), rec.end());
        }
        std::vector<uint8_t> packed;
        if (!e.isDir) {
            packed = data;
            if (encrypt) {
                packed.resize((packed.size() + 15) / 16 * 16 + (packed.empty() ? 16 : 0), 0);
                AesCbc aes;
                if (!aes.Init(key_.key, 256, iv, true) || !aes.Process(packed.data(), packed.data(), packed.size()))
                    return false;
            }
        }
        uint32_t crc = Crc32(data.data(), data.size());
        if (tweak) crc = Rar5TweakCrc(key_.hashKey, crc);

        std::vector<uint8_t> body;
        PutVint(body, 2);  // file header
        uint64_t hflags = 0x02 | (extra.empty() ? 0 : 0x01);
        PutVint(body, hflags);
        if (!extra.empty()) PutVint(body, extra.size());
        PutVint(body, packed.size());
        const uint64_t fileFlags = e.isDir ? (0x01 | 0x02) : (0x02 | 0x04);
        PutVint(body, fileFlags);
        PutVint(body, e.isDir ? 0 : data.size());
        const uint32_t mode = e.mode ? e.mode : (e.isDir ? 0755 : 0644);
        PutVint(body, (e.isDir ? 0040000u : 0100000u) | (mode & 07777));
        Put32(body, uint32_t(e.mtime < 0 ? 0 : e.mtime));
        if (!e.isDir) Put32(body, crc);
        PutVint(body, 0);  // compression: RAR5 version, stored, smallest dictionary
        PutVint(body, 1);  // host OS: Unix
        PutVint(body, e.name.size());
        body.insert(body.end(), e.name.begin(), e.name.end());
        body.insert(body.end(), extra.begin(), extra.end());
        if (!Emit(body, out)) return false;
        out.insert(out.end(), packed.begin(), packed.end());
        return true;
    }

    bool End(std::vector<uint8_t>& out) override {
        std::vector<uint8_t> body;
        PutVint(body, 5);  // end of archive
        PutVint(body, 0);
        PutVint(body, 0);  // last volume
        return Emit(body, out);
    }

private:
    // CRC32 | size vint | body.
    static void EmitPlain(const std::vector<uint8_t>& body, std::vector<uint8_t>& out) {
        std::vector<uint8_t> h;
        PutVint(h, body.size());
        h.insert(h.end(), body.begin(), body.end());
        Put32(out, Crc32(h.data(), h.size()));
        out.insert(out.end(), h.begin(), h.end());
    }
    bool Emit(const std::vector<uint8_t>& body, std::vector<uint8_t>& out) {
        if (!o_.encryptHeaders) {
            EmitPlain(body, out);
            return true;
        }
        std::vector<uint8_t> plain;
        EmitPlain(body, plain);
        plain.resize((plain.size() + 15) / 16 * 16, 0);
        uint8_t iv[16];
        if (!RandomBytes(iv, 16)) return false;
        AesCbc aes;
        if (!aes.Init(key_.key, 256, iv, true) || !aes.Process(plain.data(), plain.data(), plain.size())) return false;
        out.insert(out.end(), iv, iv + 16);
        out.insert(out.end(), plain.begin(), plain.end());
        return true;
    }

    Options o_;
    uint8_t salt_[16] = {};
    Rar5Key key_{};
    uint8_t check_[12] = {};
};

}  // namespace

std::unique_ptr<FormatWriter> MakeRar5Writer(const Options& o) { return std::make_unique<Rar5Writer>(o); }

}  // namespace pack
}  // namespace rar
