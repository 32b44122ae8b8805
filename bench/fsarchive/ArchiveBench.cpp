// CacheArchive throughput and peak memory on a stored, encrypted archive of a
// few hundred MB, and the cost of an uncached OpenFile as the archive grows
// (the walk passes every member before the one asked for).
//
// Environment: FSARCHIVE_BENCH_MB (default 300) sets the big archive's
// unpacked size; FSARCHIVE_BENCH_DIR (default a directory under /tmp) is
// where the archives are made and kept between runs.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "filesystem/RARFileSystem.h"
#include "log/LogService.h"
#include "sdk/Services.h"
#include "vars/HostVars.h"

namespace fs = std::filesystem;

namespace {

fs::path BenchRoot() {
    const char* dir = std::getenv("FSARCHIVE_BENCH_DIR");
    return dir ? fs::path(dir) : fs::temp_directory_path() / "stagehost-fsarchive-bench";
}

long long EnvInt(const char* name, long long fallback) {
    const char* v = std::getenv(name);
    return v ? std::atoll(v) : fallback;
}

// Peak resident set size of the process so far, in bytes (VmHWM).
long long PeakRss() {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::atoll(line.c_str() + 6) * 1024;
    }
    return -1;
}

// Packs `count` members of `size` bytes each into <root>/<name>/resources.heap
// (once; an archive already there is kept). Returns the directory.
fs::path MakeArchive(const std::string& name, int count, long long size, const std::string& options = "") {
    fs::path dir = BenchRoot() / name;
    if (fs::exists(dir / "resources.heap")) return dir;
    fs::path src = BenchRoot() / (name + ".src");
    fs::create_directories(src / "data");
    fs::create_directories(dir);
    std::vector<char> bytes(static_cast<size_t>(size));
    for (int i = 0; i < count; ++i) {
        for (size_t j = 0; j < bytes.size(); ++j) bytes[j] = static_cast<char>((j * 131 + i * 7) >> 3);
        char member[64];
        std::snprintf(member, sizeof member, "data/member%05d.bin", i);
        std::ofstream(src / member, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::string cmd = std::string(HEAPTOOL_BIN) + " " + options + " pack '" + (dir / "resources.heap").string() +
                      "' '" + src.string() + "' > /dev/null";
    if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "pack failed: %s\n", cmd.c_str());
    fs::remove_all(src);
    return dir;
}

// The services of a run, in the archive's directory, with the archive enabled.
struct Services {
    explicit Services(const fs::path& dir) : old(fs::current_path()) {
        fs::current_path(dir);
        vars = new CVarList;
        host = RegisterHostVars(*vars);
        host.dontUsePack->SetInt(0);
        log = new CLogService;
        fileSystem = new CRARFileSystem;
        SetProcessServices(log, vars, fileSystem);
    }
    ~Services() {
        delete fileSystem;
        delete log;
        delete vars;
        fs::current_path(old);
    }
    fs::path old;
    CVarList* vars;
    HostVars host;
    CLogService* log;
    CRARFileSystem* fileSystem;
};

void BM_CacheArchive(benchmark::State& state) {
    const long long totalMb = EnvInt("FSARCHIVE_BENCH_MB", 300);
    const int count = static_cast<int>(totalMb / 4);
    const long long memberSize = 4LL << 20;
    fs::path dir = MakeArchive("cache-" + std::to_string(totalMb) + "mb", count, memberSize);
    const long long unpacked = count * memberSize;

    Services s(dir);
    const long long before = PeakRss();
    for (auto _ : state) {
        s.fileSystem->CacheArchive();
        benchmark::DoNotOptimize(s.fileSystem->cacheTable.entries);
        state.PauseTiming();
        if (s.fileSystem->cacheTable.count != count) state.SkipWithError("not every member was cached");
        s.fileSystem->ReleaseArchiveCache();
        state.ResumeTiming();
    }
    const long long peak = PeakRss();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * unpacked);
    state.counters["unpacked_MB"] = static_cast<double>(unpacked) / (1 << 20);
    state.counters["archive_MB"] = static_cast<double>(fs::file_size(dir / "resources.heap")) / (1 << 20);
    state.counters["peak_rss_MB"] = static_cast<double>(peak) / (1 << 20);
    state.counters["peak_growth_MB"] = static_cast<double>(peak - before) / (1 << 20);
    state.counters["peak_growth_per_unpacked"] = static_cast<double>(peak - before) / static_cast<double>(unpacked);
}
BENCHMARK(BM_CacheArchive)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// Uncached OpenFile (and CloseFile) of the last or the first of N members of 1 KB.
void OpenMember(benchmark::State& state, bool last, const std::string& options, const std::string& tag) {
    const int count = static_cast<int>(state.range(0));
    fs::path dir = MakeArchive("walk-" + tag + "-" + std::to_string(count), count, 1024, options);
    Services s(dir);
    char name[64];
    std::snprintf(name, sizeof name, "data/member%05d.bin", last ? count - 1 : 0);
    for (auto _ : state) {
        FileHandle h = s.fileSystem->OpenFile(name, "rb");
        if (!h) {
            state.SkipWithError("member not found");
            break;
        }
        s.fileSystem->CloseFile(h);
    }
    state.counters["members"] = count;
    state.counters["time_per_member_walked"] = benchmark::Counter(
        static_cast<double>(last ? count : 1), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_OpenLastMember(benchmark::State& state) { OpenMember(state, true, "", "data-enc"); }
void BM_OpenFirstMember(benchmark::State& state) { OpenMember(state, false, "", "data-enc"); }
void BM_OpenLastMemberHeadersEncrypted(benchmark::State& state) { OpenMember(state, true, "-e", "head-enc"); }

BENCHMARK(BM_OpenLastMember)->RangeMultiplier(4)->Range(16, 4096)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenFirstMember)->Arg(16)->Arg(4096)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenLastMemberHeadersEncrypted)->RangeMultiplier(4)->Range(16, 4096)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
