// The six calls of the C interface over the container readers, the ciphers
// and the decoders. One ArchiveHandle per RAROpenArchive; no global state.

#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "rar/ArchiveFile.h"
#include "rar/Checksum.h"
#include "rar/Container.h"
#include "rar/Limits.h"
#include "rar/MemoryArchive.h"
#include "rar/PackedStreams.h"
#include "rar/Unrar.h"
#include "rar/crypto/Blake2sp.h"
#include "rar/crypto/KeyCache.h"
#include "rar/unpack/Decoder.h"
#include "rar/unpack/Rar20Cipher.h"
#include "rar/unpack/StoreDecoder.h"

namespace rar {
namespace {

// Header flags in the RAR4 on-disk convention, whichever format the member
// came from (0xE0 marks a directory).
unsigned ReportedFlags(const Member& m) {
    unsigned flags = 0;
    if (m.splitBefore) flags |= RHDF_SPLITBEFORE;
    if (m.splitAfter) flags |= RHDF_SPLITAFTER;
    if (m.enc.cipher != Cipher::None) flags |= RHDF_ENCRYPTED;
    if (m.solid) flags |= RHDF_SOLID;
    if (m.isDir) flags |= RHDF_DIRECTORY;
    return flags;
}

// Counts, checksums and forwards unpacked bytes to the caller's callback,
// never more than the member's size.
class CallbackOutput : public UnpackedOutput {
public:
    CallbackOutput(UNRARCALLBACK cb, LPARAM user, uint64_t limit, bool deliver, bool blake)
        : cb_(cb), user_(user), limit_(limit), deliver_(deliver), blake_(blake) {}
    bool Write(const uint8_t* data, size_t n) override {
        if (n > limit_ - count_) {
            overflow_ = true;
            n = size_t(limit_ - count_);
            if (n == 0) return false;
        }
        crc_ = Crc32(crc_, data, n);
        if (blake_) hash_.Update(data, n);
        count_ += n;
        if (deliver_ && cb_ && n > 0) {
            // Pieces of at most 1 GB, so that a byte count always fits the callback's parameter.
            size_t off = 0;
            while (off < n) {
                size_t step = n - off > (size_t(1) << 30) ? (size_t(1) << 30) : n - off;
                if (cb_(UCM_PROCESSDATA, user_, LPARAM(data + off), LPARAM(step)) == -1) {
                    stopped_ = true;
                    return false;
                }
                off += step;
            }
        }
        return !overflow_;
    }
    uint64_t count() const { return count_; }
    uint32_t crc() const { return crc_; }
    void digest(uint8_t out[32]) { hash_.Final(out); }
    bool overflow() const { return overflow_; }
    bool stopped() const { return stopped_; }

private:
    UNRARCALLBACK cb_;
    LPARAM user_;
    uint64_t limit_;
    bool deliver_;
    bool blake_;
    uint64_t count_ = 0;
    uint32_t crc_ = 0;
    Blake2sp hash_;
    bool overflow_ = false;
    bool stopped_ = false;
};

struct ArchiveHandle {
    ArchiveFile file;
    std::unique_ptr<Container> container;
    KeyCache keys;
    std::string password;
    bool hasPassword = false;
    UNRARCALLBACK callback = nullptr;
    LPARAM userData = 0;
    std::string arcName;
    unsigned openMode = RAR_OM_EXTRACT;
    Member current;
    bool haveCurrent = false;  // a header was read and not yet processed
    // Decoder state carried between the members of a solid stream.
    std::unique_ptr<Decoder> rar5;
    uint64_t rar5Dict = 0;
    std::unique_ptr<Decoder> rar4;
    unsigned rar4Ver = 0;
    uint64_t rar4Dict = 0;
    bool solidBroken = false;

    ReadContext Context() {
        ReadContext c;
        c.file = &file;
        c.password = hasPassword ? &password : nullptr;
        c.keys = &keys;
        return c;
    }

    // Asks the callback for a password when none was set.
    bool EnsurePassword() {
        if (hasPassword) return true;
        if (!callback) return false;
        char buf[512];
        std::memset(buf, 0, sizeof buf);
        if (callback(UCM_NEEDPASSWORD, userData, LPARAM(buf), LPARAM(sizeof buf - 1)) == -1) return false;
        buf[sizeof buf - 1] = 0;
        if (buf[0] == 0) return false;
        password = buf;
        hasPassword = true;
        return true;
    }
};

void CopyCut(char* dst, size_t cap, const std::string& s) {
    size_t n = s.size() < cap - 1 ? s.size() : cap - 1;
    // Never end inside a UTF-8 sequence.
    if (n < s.size())
        while (n > 0 && (uint8_t(s[n]) & 0xC0) == 0x80) --n;
    std::memcpy(dst, s.data(), n);
    dst[n] = 0;
}

int MapResult(DecodeResult r) {
    switch (r) {
        case DecodeResult::Ok: return ERAR_SUCCESS;
        case DecodeResult::BadData: return ERAR_BAD_DATA;
        case DecodeResult::Stopped: return ERAR_UNKNOWN;
        case DecodeResult::NoMemory: return ERAR_NO_MEMORY;
        case DecodeResult::Unsupported: return ERAR_UNKNOWN_FORMAT;
    }
    return ERAR_UNKNOWN;
}

bool IsUnixLink(const Member& m) { return !m.isRar5 && m.hostOS == 3 && (m.attr & 0xF000) == 0xA000; }

// Picks the decoder for the member, keeping solid state. Null with rc set when none fits.
Decoder* PickDecoder(ArchiveHandle& h, const Member& m, int& rc) {
    if (m.method == 0) return nullptr;  // handled by the caller
    if (m.dictSize > kMaxDictionary) { rc = ERAR_LARGE_DICT; return nullptr; }
    const bool solid = m.solid;
    if (m.isRar5) {
        if (m.unpVer == 0 || m.method > 5) { rc = ERAR_UNKNOWN_FORMAT; return nullptr; }
        if (solid) {
            if (!h.rar5 || h.solidBroken) { rc = ERAR_BAD_DATA; return nullptr; }
            return h.rar5.get();
        }
        h.rar5 = m.unpVer == 70 ? MakeRar7Decoder(size_t(m.dictSize)) : MakeRar5Decoder(size_t(m.dictSize));
        h.rar5Dict = m.dictSize;
        if (!h.rar5) { rc = ERAR_UNKNOWN_FORMAT; return nullptr; }
        return h.rar5.get();
    }
    if (m.method > 5) { rc = ERAR_UNKNOWN_FORMAT; return nullptr; }
    if (solid) {
        if (!h.rar4 || h.solidBroken) {
            // Without a decoder for this version the member is out of reach either way.
            std::unique_ptr<Decoder> probe = MakeRar4Decoder(m.unpVer, size_t(m.dictSize));
            rc = probe ? ERAR_BAD_DATA : ERAR_UNKNOWN_FORMAT;
            return nullptr;
        }
        return h.rar4.get();
    }
    h.rar4 = MakeRar4Decoder(m.unpVer, size_t(m.dictSize));
    h.rar4Ver = m.unpVer;
    h.rar4Dict = m.dictSize;
    if (!h.rar4) { rc = ERAR_UNKNOWN_FORMAT; return nullptr; }
    return h.rar4.get();
}

// Unpacks the current member; deliver says whether the callback sees the bytes.
int Unpack(ArchiveHandle& h, bool deliver) {
    Member& m = h.current;
    if (m.isDir) return ERAR_SUCCESS;
    if (m.splitBefore || m.splitAfter) return ERAR_EOPEN;
    if (m.isLink || IsUnixLink(m)) return ERAR_SUCCESS;

    FileRangeInput range(h.file, m.dataOffset, m.packSize);
    PackedInput* in = &range;
    std::unique_ptr<AesInput> aes;
    std::unique_ptr<PackedInput> rar20;
    const Rar5Key* key5 = nullptr;
    if (m.enc.cipher != Cipher::None) {
        if (m.enc.cipher == Cipher::Legacy) return ERAR_UNKNOWN_FORMAT;
        if (!h.EnsurePassword()) return ERAR_MISSING_PASSWORD;
        if (m.enc.cipher == Cipher::Aes256) {
            if (m.enc.kdfCount > kRar5MaxKdfCount) return ERAR_BAD_DATA;
            key5 = h.keys.GetRar5(h.password, m.enc.salt.data(), m.enc.kdfCount);
            if (!key5) return ERAR_BAD_DATA;
            if (m.enc.hasCheck && std::memcmp(key5->check, m.enc.check.data(), 8) != 0) return ERAR_BAD_PASSWORD;
            aes = std::make_unique<AesInput>(range, key5->key, 256, m.enc.iv.data());
        } else if (m.enc.cipher == Cipher::Aes128) {
            const Rar3Key* k = h.keys.GetRar3(h.password, m.enc.hasSalt ? m.enc.salt.data() : nullptr);
            aes = std::make_unique<AesInput>(range, k->key, 128, k->iv);
        } else {
            rar20 = MakeRar20DecryptInput(range, h.password);
            if (!rar20) return ERAR_UNKNOWN_FORMAT;
            in = rar20.get();
        }
        if (aes) in = aes.get();
    }

    int rc = ERAR_SUCCESS;
    std::unique_ptr<Decoder> store;
    Decoder* dec = nullptr;
    if (m.method == 0) {
        store = MakeStoreDecoder();
        dec = store.get();
    } else {
        dec = PickDecoder(h, m, rc);
        if (!dec) {
            if (m.solid || rc == ERAR_BAD_DATA) h.solidBroken = true;
            return rc;
        }
    }

    const uint64_t limit = m.unpSizeKnown ? m.unpSize : UINT64_MAX;
    CallbackOutput out(h.callback, h.userData, limit, deliver, m.hasBlake);
    DecodeResult r = dec->Decode(*in, limit, out, m.method != 0 && m.solid);
    if (m.method != 0) h.solidBroken = r != DecodeResult::Ok;
    if (out.stopped()) return ERAR_UNKNOWN;
    if (range.Truncated() || out.overflow()) return ERAR_BAD_DATA;
    rc = MapResult(r);
    if (rc != ERAR_SUCCESS) return rc;
    if (m.unpSizeKnown && out.count() != m.unpSize) return ERAR_BAD_DATA;

    const bool tweak = m.enc.cipher == Cipher::Aes256 && m.enc.tweakedChecksums && key5;
    if (m.hasBlake) {
        uint8_t d[32];
        out.digest(d);
        if (tweak) Rar5TweakDigest(key5->hashKey, d);
        if (std::memcmp(d, m.blake.data(), 32) != 0) return ERAR_BAD_DATA;
    } else if (m.hasCrc) {
        uint32_t c = out.crc();
        if (tweak) c = Rar5TweakCrc(key5->hashKey, c);
        if (c != m.crc) return ERAR_BAD_DATA;
    }
    return ERAR_SUCCESS;
}

// What RAR_SKIP does: in a solid archive compressed members are decoded
// without output so that the next solid member finds its dictionary.
void Skip(ArchiveHandle& h) {
    const Member& m = h.current;
    if (h.openMode != RAR_OM_EXTRACT) return;  // listing only: nothing will be unpacked
    if (!h.container->Solid() || m.method == 0 || m.isDir || m.isLink) return;
    if (m.enc.cipher != Cipher::None && !h.hasPassword) {
        h.solidBroken = true;
        return;
    }
    if (Unpack(h, false) != ERAR_SUCCESS) h.solidBroken = true;
}

}  // namespace
}  // namespace rar

using rar::ArchiveHandle;

namespace rar {

void* OpenArchiveMemory(const uint8_t* bytes, size_t size, int* result) {
    std::unique_ptr<ArchiveHandle> h(new (std::nothrow) ArchiveHandle);
    if (!h) { *result = ERAR_NO_MEMORY; return nullptr; }
    h->arcName = "(memory)";
    h->file.OpenMemory(bytes, size);
    h->container = DetectContainer(h->file);
    if (!h->container) { *result = ERAR_BAD_ARCHIVE; return nullptr; }
    ReadContext ctx = h->Context();
    *result = h->container->Start(ctx);
    if (*result != ERAR_SUCCESS) return nullptr;
    return h.release();
}

}  // namespace rar

extern "C" {

HANDLE PASCAL RAROpenArchive(struct RAROpenArchiveData* data) {
    if (!data) return nullptr;
    data->OpenResult = ERAR_SUCCESS;
    data->CmtSize = 0;
    data->CmtState = 0;
    if (!data->ArcName) {
        data->OpenResult = ERAR_EOPEN;
        return nullptr;
    }
    std::unique_ptr<ArchiveHandle> h(new (std::nothrow) ArchiveHandle);
    if (!h) {
        data->OpenResult = ERAR_NO_MEMORY;
        return nullptr;
    }
    h->arcName = data->ArcName;
    h->openMode = data->OpenMode;
    if (!h->file.Open(h->arcName)) {
        data->OpenResult = ERAR_EOPEN;
        return nullptr;
    }
    h->container = rar::DetectContainer(h->file);
    if (!h->container) {
        data->OpenResult = ERAR_BAD_ARCHIVE;
        return nullptr;
    }
    rar::ReadContext ctx = h->Context();
    int rc = h->container->Start(ctx);
    if (rc != ERAR_SUCCESS) {
        data->OpenResult = unsigned(rc);
        return nullptr;
    }
    return h.release();
}

int PASCAL RARCloseArchive(HANDLE hArcData) {
    if (!hArcData) return ERAR_ECLOSE;
    delete static_cast<ArchiveHandle*>(hArcData);
    return ERAR_SUCCESS;
}

int PASCAL RARReadHeader(HANDLE hArcData, struct RARHeaderData* hd) {
    if (!hArcData || !hd) return ERAR_UNKNOWN;
    ArchiveHandle& h = *static_cast<ArchiveHandle*>(hArcData);
    if (h.haveCurrent) {
        h.haveCurrent = false;
        rar::Skip(h);
    }
    rar::Member m;
    rar::ReadContext ctx = h.Context();
    int rc = h.container->Next(ctx, m);
    if (rc == ERAR_MISSING_PASSWORD && h.EnsurePassword()) {
        ctx = h.Context();
        rc = h.container->Next(ctx, m);
    }
    if (rc != ERAR_SUCCESS) return rc;
    h.current = m;
    h.haveCurrent = true;
    rar::CopyCut(hd->ArcName, sizeof hd->ArcName, h.arcName);
    rar::CopyCut(hd->FileName, sizeof hd->FileName, m.name);
    hd->Flags = rar::ReportedFlags(m);
    hd->PackSize = m.packSize > 0xFFFFFFFFu ? 0xFFFFFFFFu : unsigned(m.packSize);
    hd->UnpSize = m.unpSize > 0xFFFFFFFFu ? 0xFFFFFFFFu : unsigned(m.unpSize);
    hd->HostOS = m.hostOS;
    hd->FileCRC = m.crc;
    hd->FileTime = m.fileTime;
    hd->UnpVer = m.isRar5 ? 50 : (m.isDir ? 20 : m.unpVer);
    hd->Method = 0x30 + m.method;
    hd->FileAttr = m.attr;
    hd->CmtSize = 0;
    hd->CmtState = 0;
    return ERAR_SUCCESS;
}

int PASCAL RARProcessFile(HANDLE hArcData, int Operation, char* DestPath, char* DestName) {
    (void)DestPath;
    (void)DestName;
    if (!hArcData) return ERAR_UNKNOWN;
    ArchiveHandle& h = *static_cast<ArchiveHandle*>(hArcData);
    if (!h.haveCurrent) return ERAR_UNKNOWN;
    h.haveCurrent = false;
    if (Operation == RAR_SKIP) {
        rar::Skip(h);
        return ERAR_SUCCESS;
    }
    // Nothing is ever written to disk: RAR_EXTRACT unpacks and checks like RAR_TEST.
    return rar::Unpack(h, true);
}

void PASCAL RARSetCallback(HANDLE hArcData, UNRARCALLBACK Callback, LPARAM UserData) {
    if (!hArcData) return;
    ArchiveHandle& h = *static_cast<ArchiveHandle*>(hArcData);
    h.callback = Callback;
    h.userData = UserData;
}

void PASCAL RARSetPassword(HANDLE hArcData, char* Password) {
    if (!hArcData) return;
    ArchiveHandle& h = *static_cast<ArchiveHandle*>(hArcData);
    if (!Password) {
        h.hasPassword = false;
        h.password.clear();
        return;
    }
    h.password = Password;
    h.hasPassword = true;
}

}  // extern "C"
