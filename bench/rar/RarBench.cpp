// Unpacking throughput of the archive reader and the cost of the key
// derivations. The 64 MB encrypted members are written with the archive
// writer on first use; the RAR5-compressed inputs are the real fixtures and
// a large stream from the tests' simple encoder.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "../../tests/rar/Rar5TestEncoder.h"
#include "rar/Unrar.h"
#include "rar/crypto/Rar3Kdf.h"
#include "rar/crypto/Rar5Kdf.h"
#include "rar/pack/ArchiveWriter.h"
#include "rar/unpack/Decoder.h"
#include "rar/unpack/MemoryInput.h"

namespace {

const char* const kHostPassword = "ArchiveStore::Mount : header digests mismatch (wrong key given?)";

int CALLBACK Discard(UINT msg, LPARAM user, LPARAM, LPARAM p2) {
    if (msg == UCM_PROCESSDATA) *reinterpret_cast<uint64_t*>(user) += uint64_t(p2);
    return msg == UCM_NEEDPASSWORD ? -1 : 1;
}

// Walks the whole archive with RAR_TEST; returns the bytes delivered.
uint64_t TestAll(const std::string& path, const char* password) {
    RAROpenArchiveData od;
    std::memset(&od, 0, sizeof od);
    std::string name = path;
    od.ArcName = &name[0];
    od.OpenMode = RAR_OM_EXTRACT;
    HANDLE h = RAROpenArchive(&od);
    if (!h) return 0;
    if (password) RARSetPassword(h, const_cast<char*>(password));
    uint64_t bytes = 0;
    RARSetCallback(h, Discard, LPARAM(&bytes));
    RARHeaderData hd;
    while (RARReadHeader(h, &hd) == 0) {
        if (RARProcessFile(h, RAR_TEST, nullptr, nullptr) != 0) { bytes = 0; break; }
    }
    RARCloseArchive(h);
    return bytes;
}

const std::string& BigArchive(rar::pack::Format f) {
    static std::map<int, std::string> made;
    auto it = made.find(int(f));
    if (it != made.end()) return it->second;
    rar::pack::Entry e;
    e.name = "big.bin";
    e.data.resize(64u << 20);
    std::mt19937 rng(1);
    for (auto& b : e.data) b = uint8_t(rng());
    rar::pack::Options o;
    o.format = f;
    o.password = kHostPassword;
    std::string path = std::string("/tmp/stagehost_bench_") + (f == rar::pack::Format::Rar5 ? "rar5" : "rar4") + ".rar";
    std::string error;
    if (!rar::pack::WriteArchive(path, {e}, o, error)) std::fprintf(stderr, "%s\n", error.c_str());
    return made[int(f)] = path;
}

void BM_StoredEncrypted64MB(benchmark::State& state) {
    const auto f = state.range(0) == 5 ? rar::pack::Format::Rar5 : rar::pack::Format::Rar4;
    const std::string& path = BigArchive(f);
    TestAll(path, kHostPassword);  // derive and cache the key outside the timing
    uint64_t total = 0;
    for (auto _ : state) {
        uint64_t n = TestAll(path, kHostPassword);
        if (n != (64u << 20)) state.SkipWithError("unpack failed");
        total += n;
    }
    state.SetBytesProcessed(int64_t(total));
    state.SetLabel(state.range(0) == 5 ? "RAR5 AES-256" : "RAR4 AES-128");
}
BENCHMARK(BM_StoredEncrypted64MB)->Arg(5)->Arg(4)->Unit(benchmark::kMillisecond);

void BM_Rar5Fixtures(benchmark::State& state) {
    const std::string dir = STAGEHOST_RAR_FIXTURES;
    const char* names[] = {"rar5-solid.rar", "rar5-blake.rar", "rar5-crc.rar", "rar5-dups.rar", "rar5-times.rar",
                           "rar5-solid-qo.rar", "rar5-hlink.rar"};
    uint64_t total = 0;
    for (auto _ : state) {
        for (const char* n : names) total += TestAll(dir + "/" + n, nullptr);
    }
    if (total == 0) state.SkipWithError("fixtures not found");
    state.SetBytesProcessed(int64_t(total));
}
BENCHMARK(BM_Rar5Fixtures)->Unit(benchmark::kMicrosecond);


class NullOutput : public rar::UnpackedOutput {
public:
    bool Write(const uint8_t*, size_t n) override {
        bytes += n;
        return true;
    }
    uint64_t bytes = 0;
};

void BM_Rar5Decoder64MB(benchmark::State& state) {
    // Text-like data: short literal runs and matches within 1 MB.
    static std::vector<uint8_t> packed;
    static size_t size = 0;
    if (packed.empty()) {
        rartest::Rar5TestEncoder enc;
        std::vector<uint8_t> plain;
        std::mt19937 rng(5);
        while (plain.size() < (64u << 20)) {
            if (plain.size() > 1024 && rng() % 4 != 0) {
                uint64_t dist = 1 + rng() % std::min<size_t>(plain.size(), 1 << 20);
                uint32_t len = 5 + rng() % 60;
                enc.Match(len, dist);
                for (uint32_t i = 0; i < len; ++i) plain.push_back(plain[plain.size() - dist]);
            } else {
                uint8_t b = uint8_t('a' + rng() % 26);
                enc.Literal(b);
                plain.push_back(b);
            }
        }
        size = plain.size();
        packed = enc.Finish(1 << 20);
    }
    uint64_t total = 0;
    auto dec = rar::MakeRar5Decoder(4u << 20);
    for (auto _ : state) {
        rar::MemoryInput in(packed);
        NullOutput out;
        if (dec->Decode(in, size, out, false) != rar::DecodeResult::Ok) state.SkipWithError("decode failed");
        total += out.bytes;
    }
    state.SetBytesProcessed(int64_t(total));
}
BENCHMARK(BM_Rar5Decoder64MB)->Unit(benchmark::kMillisecond);

void BM_Rar5Kdf(benchmark::State& state) {
    uint8_t salt[16] = {1, 2, 3};
    rar::Rar5Key k;
    for (auto _ : state) {
        salt[0]++;
        rar::DeriveRar5Key(kHostPassword, salt, unsigned(state.range(0)), k);
        benchmark::DoNotOptimize(k);
    }
    state.SetLabel("PBKDF2-HMAC-SHA256, 2^" + std::to_string(state.range(0)) + " + 32 rounds");
}
BENCHMARK(BM_Rar5Kdf)->Arg(15)->Unit(benchmark::kMillisecond);

void BM_Rar3Kdf(benchmark::State& state) {
    uint8_t salt[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    for (auto _ : state) {
        salt[0]++;
        rar::Rar3Key k = rar::DeriveRar3Key(kHostPassword, salt);
        benchmark::DoNotOptimize(k);
    }
    state.SetLabel("2^18 SHA-1 rounds, 64-character password");
}
BENCHMARK(BM_Rar3Kdf)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
