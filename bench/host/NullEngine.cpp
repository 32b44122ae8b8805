// Benchmark engine: its Frame does nothing but count. It runs the number of
// frames written in ./frames and writes the monotonic clock at the first and
// at the last frame, in nanoseconds, to ./frames.time.
#include <time.h>

#include <cstdio>

#include "sdk/StageHost.h"

namespace {

SystemSocket* g_socket;

long long NowNs() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

class CNullEngine final : public IDemoEngine {
public:
    CNullEngine() {
        CVarList* vars = g_socket->varList;
        vars->RegisterInt("r_width_phys", 64, 0, nullptr);
        vars->RegisterInt("r_height_phys", 64, 0, nullptr);
        vars->RegisterInt("r_use_desktop_resolution", 0, 0, nullptr);
        vars->RegisterInt("r_fullscreen", 0, 0, nullptr);
        if (std::FILE* f = std::fopen("frames", "r")) {
            if (std::fscanf(f, "%ld", &frames_) != 1) frames_ = 1;
            std::fclose(f);
        }
    }
    int32_t Initialize(EngineModuleHandle, AppWindowHandle) override { return 0; }
    void Shutdown() override {}
    bool Configure(EngineModuleHandle) override { return true; }
    int32_t Precache() override { return 0; }
    void Reserved() override {}
    bool Frame() override {
        if (count_ == 0) first_ = NowNs();
        if (++count_ < frames_) return true;
        long long last = NowNs();
        if (std::FILE* f = std::fopen("frames.time", "w")) {
            std::fprintf(f, "%lld %lld\n", first_, last);
            std::fclose(f);
        }
        return false;
    }
    void Release() override { delete this; }

private:
    long frames_ = 1;
    long count_ = 0;
    long long first_ = 0;
};

}  // namespace

STAGEHOST_ENGINE_EXPORT void PlugSystemSocket(SystemSocket* socket) { g_socket = socket; }
STAGEHOST_ENGINE_EXPORT IDemoEngine* CreateDemoEngine() { return new CNullEngine(); }
STAGEHOST_ENGINE_EXPORT void UnplugSystemSocket() { g_socket = nullptr; }
