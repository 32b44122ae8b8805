// A test engine that records every call it receives, with what it saw, as
// lines in ./engine.record, and behaves as ./engine.script asks. Script lines
// are key=value:
//   create=null          CreateDemoEngine returns null
//   configure=false      Configure declines
//   initialize=N         Initialize returns N (default 0)
//   frames=N             Frame returns false on its Nth call (0: never; default 3)
//   frame_sleep_ms=N     each Frame sleeps this long (window tests)
//   throw=WHERE:KIND     WHERE is precache or frame; KIND cerror or other
//   vars=none            register none of the r_* variables
//   read=NAME            Precache reads NAME through the file system
// Built without some exports (ENGINE_NO_CREATE, ENGINE_NO_PLUG,
// ENGINE_NO_UNPLUG) it stands for a broken module.
#include <SDL.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>

#include "sdk/Services.h"
#include "sdk/StageHost.h"

namespace {

SystemSocket* g_socket;
[[maybe_unused]] SystemSocket g_socketCopy;  // fields as they were when plugged
std::map<std::string, std::string> g_script;

void Record(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Record(const char* format, ...) {
    std::FILE* f = std::fopen("engine.record", "a");
    if (!f) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(f, format, args);
    va_end(args);
    std::fputc('\n', f);
    std::fclose(f);
}

void LoadScript() {
    std::FILE* f = std::fopen("engine.script", "r");
    if (!f) return;
    char line[512];
    while (std::fgets(line, sizeof line, f)) {
        line[std::strcspn(line, "\r\n")] = '\0';
        char* eq = std::strchr(line, '=');
        if (!eq) continue;
        *eq = '\0';
        g_script[line] = eq + 1;
    }
    std::fclose(f);
}

std::string Script(const char* key, const char* fallback = "") {
    static bool loaded = false;
    if (!loaded) LoadScript();
    loaded = true;
    auto it = g_script.find(key);
    return it == g_script.end() ? fallback : it->second;
}

// Whether module is the handle of ./render.so, the module this code is in.
const char* ModuleVerdict(void* module) {
    void* self = dlopen("./render.so", RTLD_NOW | RTLD_NOLOAD);
    if (self) dlclose(self);
    return self && self == module ? "loaded" : "other";
}

int IntOf(const char* name) {
    CVariable* var = g_socket->varList->Find(name);
    return var ? var->value.asInt : -999;
}

void MaybeThrow(const char* where) {
    std::string what = Script("throw");
    if (what == std::string(where) + ":cerror")
        throw new CErrorRuntime(FormatText("CRecordingEngine::%s : failed on purpose", where));
    if (what == std::string(where) + ":other") throw std::runtime_error("not a CError");
}

class CRecordingEngine final : public IDemoEngine {
public:
    CRecordingEngine() {
        if (Script("vars") == "none") return;
        CVarList* vars = g_socket->varList;
        vars->RegisterInt("r_width_phys", 800, VARF_SAVE, nullptr);
        vars->RegisterInt("r_height_phys", 600, VARF_SAVE, nullptr);
        vars->RegisterInt("r_use_desktop_resolution", 0, VARF_SAVE, nullptr);
        vars->RegisterInt("r_width", 800, VARF_SAVE, nullptr);
        vars->RegisterInt("r_height", 600, VARF_SAVE, nullptr);
        vars->RegisterInt("r_max_particles", 100, VARF_SAVE, nullptr);
        vars->RegisterInt("r_max_sprites", 200, VARF_SAVE, nullptr);
        vars->RegisterInt("r_fullscreen", 0, VARF_SAVE, nullptr);
        vars->RegisterString("r_title", "two words", VARF_SAVE, nullptr);
    }

    int32_t Initialize(EngineModuleHandle module, AppWindowHandle window) override {
        int w = 0, h = 0;
        SDL_Window* sdlWindow = static_cast<SDL_Window*>(window);
        SDL_GetWindowSize(sdlWindow, &w, &h);
        bool shown = (SDL_GetWindowFlags(sdlWindow) & SDL_WINDOW_SHOWN) != 0;
        Record("Initialize module=%s window=%dx%d shown=%d title=%s", ModuleVerdict(module), w, h,
               shown ? 1 : 0, SDL_GetWindowTitle(sdlWindow));
        return std::atoi(Script("initialize", "0").c_str());
    }

    void Shutdown() override { Record("Shutdown"); }

    bool Configure(EngineModuleHandle module) override {
        Record("Configure module=%s r_width_phys=%d r_height_phys=%d r_fullscreen=%d s_alwaysontop=%d "
               "s_dontusepack=%d",
               ModuleVerdict(module), IntOf("r_width_phys"), IntOf("r_height_phys"),
               IntOf("r_fullscreen"), IntOf("s_alwaysontop"), IntOf("s_dontusepack"));
        return Script("configure") != "false";
    }

    int32_t Precache() override {
        Record("Precache");
        std::string name = Script("read");
        if (!name.empty()) {
            CFileSystem* fs = g_socket->fileSystem;
            FileHandle file = fs->OpenFile(name.c_str(), "rb");
            char data[256] = {};
            int32_t n = file ? fs->Read(file, data, sizeof data - 1) : 0;
            Record("Read %s handle=%d size=%d data=%s", name.c_str(), file, file ? fs->GetSize(file) : 0,
                   data);
            if (file) fs->CloseFile(file);
            (void)n;
        }
        MaybeThrow("precache");
        return 0;
    }

    void Reserved() override { Record("Reserved"); }

    bool Frame() override {
        ++frames_;
        CVariable* df = g_socket->varList->Find("s_df");
        Record("Frame n=%d s_time=%d s_dt=%d s_df=%.9g", frames_, IntOf("s_time"), IntOf("s_dt"),
               df ? df->value.asFloat : -1.0);
        MaybeThrow("frame");
        int sleepMs = std::atoi(Script("frame_sleep_ms", "0").c_str());
        if (sleepMs > 0) usleep(sleepMs * 1000);
        int last = std::atoi(Script("frames", "3").c_str());
        return last == 0 || frames_ < last;
    }

    void Release() override {
        Record("Release");
        delete this;
    }

private:
    int frames_ = 0;
};

}  // namespace

#ifndef ENGINE_NO_PLUG
STAGEHOST_ENGINE_EXPORT void PlugSystemSocket(SystemSocket* socket) {
    g_socket = socket;
    g_socketCopy = *socket;
    bool fieldsInOrder = socket->logService == GetProcessLog() && socket->varList == GetProcessVars() &&
                         socket->fileSystem == GetProcessFileSystem();
    bool hostVars = socket->varList->Find("s_time") && socket->varList->Find("s_alwaysontop");
    Record("PlugSystemSocket fields=%s hostvars=%d", fieldsInOrder ? "log,vars,fs" : "wrong",
           hostVars ? 1 : 0);
    socket->logService->Log("engine: plugged in");
}
#endif

#ifndef ENGINE_NO_CREATE
STAGEHOST_ENGINE_EXPORT IDemoEngine* CreateDemoEngine() {
    Record("CreateDemoEngine");
    if (Script("create") == "null") return nullptr;
    return new CRecordingEngine();
}
#endif

#ifndef ENGINE_NO_UNPLUG
STAGEHOST_ENGINE_EXPORT void UnplugSystemSocket() {
    bool same = g_socket && std::memcmp(g_socket, &g_socketCopy, sizeof g_socketCopy) == 0;
    Record("UnplugSystemSocket socket=%s", same ? "unchanged" : "changed");
    g_socket = nullptr;
}
#endif
