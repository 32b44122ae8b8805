// What the services cost on the paths the frame loop and the engine take:
// publishing the frame's time, looking a variable up, one log line, opening
// and reading a small resource, normalising a name.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

#include "filesystem/NormalizePath.h"
#include "filesystem/RARFileSystem.h"
#include "log/LogService.h"
#include "sdk/Services.h"
#include "vars/HostVars.h"

namespace {

// Runs in a scratch directory so runtime.log and the test file land there.
struct Scratch {
    Scratch() {
        old = std::filesystem::current_path();
        dir = std::filesystem::temp_directory_path() / "stagehost-bench-services";
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
    }
    ~Scratch() {
        std::filesystem::current_path(old);
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::filesystem::path old, dir;
};

void BM_PublishFrameTime(benchmark::State& state) {
    CVarList list;
    HostVars v = RegisterHostVars(list);
    int32_t t = 0;
    for (auto _ : state) {
        t += 16;
        int32_t dt = t - v.time->value.asInt;
        v.time->SetInt(t);
        v.dt->SetInt(dt);
        v.df->SetFloat(static_cast<float>(dt) * 0.001f);
    }
}
BENCHMARK(BM_PublishFrameTime);

void BM_FindAmongFifty(benchmark::State& state) {
    CVarList list;
    RegisterHostVars(list);  // registered first: found last
    static char names[50][16];
    for (int i = 0; i < 44; ++i) {
        std::snprintf(names[i], sizeof names[i], "r_var%02d", i);
        list.RegisterInt(names[i], i, 0, nullptr);
    }
    for (auto _ : state) benchmark::DoNotOptimize(list.Find("s_time"));
}
BENCHMARK(BM_FindAmongFifty);

void BM_LogLine(benchmark::State& state) {
    Scratch scratch;
    CLogService log;
    for (auto _ : state) log.Log("frame %d took %d ms", 1234, 16);
}
BENCHMARK(BM_LogLine);

void BM_OpenReadClose4K(benchmark::State& state) {
    Scratch scratch;
    {
        std::FILE* f = std::fopen("res.bin", "wb");
        static char data[4096];
        std::fwrite(data, 1, sizeof data, f);
        std::fclose(f);
    }
    CVarList vars;
    RegisterHostVars(vars);
    CRARFileSystem fs;
    SetProcessServices(nullptr, &vars, &fs);
    static char buffer[4096];
    for (auto _ : state) {
        FileHandle h = fs.OpenFile("res.bin", "rb");
        benchmark::DoNotOptimize(fs.Read(h, buffer, fs.GetSize(h)));
        fs.CloseFile(h);
    }
    SetProcessServices(nullptr, nullptr, nullptr);
}
BENCHMARK(BM_OpenReadClose4K);

void BM_NormalizePath(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(NormalizePath("Data\\Textures\\Level01\\Wall_Diffuse.TGA"));
}
BENCHMARK(BM_NormalizePath);

}  // namespace
