// Decoding throughput of the RAR 1.5-4.x coders, in bytes of unpacked data per
// second, on the largest real members at hand (and a long LZ stream written
// with the test stream writer).
#include <benchmark/benchmark.h>

#include <map>
#include <string>

#include "Rar4TestArchive.h"
#include "StreamWriter.h"
#include "rar/unpack4/BitReader.h"
#include "rar/unpack4/PpmdModel.h"

using namespace rar4test;

namespace {

class NullOutput final : public rar::UnpackedOutput {
public:
    bool Write(const uint8_t*, size_t) override { return true; }
};

// The largest compressed member of an archive file, or none.
bool LargestMember(const std::string& path, Member& out) {
    std::vector<uint8_t> img;
    std::vector<Member> ms;
    if (!ReadFile(path, img) || !ParseRar4(img, ms)) return false;
    bool found = false;
    for (Member& m : ms) {
        if (m.method == 0x30 || m.Encrypted() || m.Split() || m.Solid()) continue;
        if (!found || m.unpSize > out.unpSize) {
            out = m;
            found = true;
        }
    }
    return found;
}

void DecodeLoop(benchmark::State& state, unsigned ver, const std::vector<uint8_t>& packed, uint64_t size,
                size_t dict) {
    auto dec = rar::MakeRar4Decoder(ver, dict);
    for (auto _ : state) {
        rar::MemoryInput in(packed);
        NullOutput out;
        if (dec->Decode(in, size, out, false) != rar::DecodeResult::Ok) {
            state.SkipWithError("decode failed");
            return;
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
}

void BenchMember(benchmark::State& state, const std::string& path) {
    Member m;
    if (!LargestMember(path, m)) {
        state.SkipWithError("archive not found");
        return;
    }
    state.SetLabel(m.name + " v" + std::to_string(m.unpVer) + " " + std::to_string(m.unpSize) + " bytes");
    DecodeLoop(state, m.unpVer, m.packed, m.unpSize, m.Dictionary());
}

const std::string kData = STAGEHOST_RAR4_TESTDATA;
const std::string kFixtures = STAGEHOST_RAR_FIXTURES;

void BM_Rar29_PpmdAndLz(benchmark::State& s) { BenchMember(s, kData + "/ppmd_lzss_conversion.rar"); }
void BM_Rar29_LzFilter(benchmark::State& s) { BenchMember(s, kData + "/filter_incomplete_block.rar"); }
void BM_Rar29_LzFixture(benchmark::State& s) { BenchMember(s, kFixtures + "/seektest.rar"); }
void BM_Rar20_Fixture(benchmark::State& s) { BenchMember(s, kFixtures + "/rar2-unix-owner.rar"); }
void BM_Rar15_Fixture(benchmark::State& s) { BenchMember(s, kFixtures + "/rar15-comment.rar"); }

// 16 MB of literals and matches over a 4 MB window.
void BM_Rar29_LzLongStream(benchmark::State& state) {
    Lz29Writer w;
    uint64_t size = 0;
    uint32_t x = 12345;
    while (size < (16u << 20)) {
        x = x * 1103515245u + 12345u;
        if (size < 300 || (x >> 28) < 4) {
            w.Literal(uint8_t(x >> 16));
            size += 1;
        } else {
            unsigned len = 3 + (x >> 20) % 60;
            uint32_t dist = 1 + (x >> 8) % uint32_t(size < 0x1f00 ? size : 0x1f00);
            w.Match(len, dist);
            size += len;
        }
    }
    w.EndOfFile();
    state.SetLabel("crafted LZ, 16 MB");
    DecodeLoop(state, 29, w.Bytes(), size, 0x400000);
}


// The PPMd model on its own: 300 KB of text coded at order 6 with 1 MB of
// model memory (a 7z-made stream; the model is the one RAR 2.9 uses).
void BM_PpmdModel_Text(benchmark::State& state) {
    std::vector<uint8_t> packed;
    if (!ReadFile(kData + "/ppmd_text_o6.bin", packed)) {
        state.SkipWithError("data not found");
        return;
    }
    const size_t size = 300005;
    for (auto _ : state) {
        rar::MemoryInput in(packed);
        rar::unpack4::BitReader bits;
        bits.Reset(&in);
        rar::unpack4::PpmdModel model;
        model.InitSevenZip(bits, 6, 1);
        unsigned sum = 0;
        for (size_t i = 0; i < size; ++i) {
            if (bits.NeedRefill()) bits.Refill();
            sum += unsigned(model.DecodeChar());
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
}

}  // namespace

BENCHMARK(BM_PpmdModel_Text)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rar29_PpmdAndLz)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rar29_LzLongStream)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rar29_LzFilter)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Rar29_LzFixture)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Rar20_Fixture)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Rar15_Fixture)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
