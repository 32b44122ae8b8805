// The smallest useful engine module: registers the window variables, reads
// one resource through the host's file system, and ends the demo after
// minimal_length_ms milliseconds. docs/engine-guide.md walks through it.
#include "sdk/StageHost.h"

namespace {

SystemSocket* g_socket = nullptr;  // valid from PlugSystemSocket to UnplugSystemSocket

class CMinimalEngine final : public IDemoEngine {
public:
    // Runs inside CreateDemoEngine: the host looks the window variables up
    // right after it and then loads vars.cfg into them.
    CMinimalEngine() {
        CVarList* vars = g_socket->varList;
        vars->RegisterInt("r_width_phys", 640, VARF_SAVE, nullptr);
        vars->RegisterInt("r_height_phys", 480, VARF_SAVE, nullptr);
        vars->RegisterInt("r_use_desktop_resolution", 0, VARF_SAVE, nullptr);
        vars->RegisterInt("r_fullscreen", 0, VARF_SAVE, nullptr);
        length_ = vars->RegisterInt("minimal_length_ms", 1000, VARF_SAVE, nullptr);
        time_ = vars->Find("s_time");
    }

    bool Configure(EngineModuleHandle) override { return true; }

    // window is the host's SDL_Window*, made with SDL_WINDOW_OPENGL.
    int32_t Initialize(EngineModuleHandle, AppWindowHandle window) override { return window ? 0 : -1; }

    // Resources come from the working directory or from resources.heap.
    int32_t Precache() override {
        CFileSystem* files = g_socket->fileSystem;
        FileHandle file = files->OpenFile("greeting.txt", "rb");
        if (file == 0)
            throw new CErrorMissingResource(FormatText("CMinimalEngine::Precache : '%s' is missing", "greeting.txt"));
        char text[128] = {};
        files->Read(file, text, sizeof text - 1);
        files->CloseFile(file);
        g_socket->logService->Log("Minimal engine: %s", text);
        return 0;
    }

    void Reserved() override {}

    // s_time: milliseconds since the end of Precache.
    bool Frame() override { return time_->value.asInt < length_->value.asInt; }

    void Shutdown() override {}
    void Release() override { delete this; }

private:
    CVariable* time_ = nullptr;
    CVariable* length_ = nullptr;
};

}  // namespace

STAGEHOST_ENGINE_EXPORT void PlugSystemSocket(SystemSocket* socket) { g_socket = socket; }
STAGEHOST_ENGINE_EXPORT IDemoEngine* CreateDemoEngine() { return new CMinimalEngine(); }
STAGEHOST_ENGINE_EXPORT void UnplugSystemSocket() { g_socket = nullptr; }
