// A test engine module for the Windows end-to-end tests. It records every
// call it receives, with what it can see of the host (socket, module handle,
// variables, window placement), one line each in calls.txt of the working
// directory, and behaves as engine.txt of the working directory asks:
//
//   create_null            CreateDemoEngine returns null
//   configure 0            Configure returns false
//   initialize -1          Initialize returns this status
//   frames N               Frame returns false on the Nth call (0: never)
//   throw SITE KIND        SITE: plug create configure initialize precache frame
//                          KIND: init runtime missing bad null int
//   open NAME              Precache opens NAME through the file system and
//                          records its size and first line
//   log TEXT               Precache writes TEXT to the log through the socket
//
// Built several times; ENGINE_NO_CREATE, ENGINE_NO_PLUG and ENGINE_NO_UNPLUG
// leave out an export. "unload" is recorded when the host unloads the module
// (not when the process ends with the module still loaded).
#include <windows.h>

#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sdk/Services.h"
#include "sdk/StageHost.h"

namespace {

struct Behaviour {
    bool createNull = false;
    bool configureResult = true;
    int initializeResult = 0;
    int frames = 0;
    char throwSite[32] = "";
    char throwKind[32] = "";
    char openName[MAX_PATH] = "";
    char logText[256] = "";
};

Behaviour s_behaviour;
SystemSocket* s_socket;
std::FILE* s_calls;
int s_frameCount;
DWORD s_firstFrameTick;

void Record(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Record(const char* format, ...) {
    if (!s_calls) s_calls = std::fopen("calls.txt", "wb");
    if (!s_calls) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(s_calls, format, args);
    va_end(args);
    std::fputc('\n', s_calls);
    std::fflush(s_calls);  // the process may end in the error report
}

[[maybe_unused]] void ReadBehaviour() {
    std::FILE* file = std::fopen("engine.txt", "rb");
    if (!file) return;
    char line[512];
    while (std::fgets(line, sizeof line, file)) {
        line[std::strcspn(line, "\r\n")] = '\0';
        Behaviour& b = s_behaviour;
        int number = 0;
        if (std::strcmp(line, "create_null") == 0) b.createNull = true;
        else if (std::sscanf(line, "configure %d", &number) == 1) b.configureResult = number != 0;
        else if (std::sscanf(line, "initialize %d", &number) == 1) b.initializeResult = number;
        else if (std::sscanf(line, "frames %d", &number) == 1) b.frames = number;
        else if (std::sscanf(line, "throw %31s %31s", b.throwSite, b.throwKind) == 2) {}
        else if (std::strncmp(line, "open ", 5) == 0) std::snprintf(b.openName, sizeof b.openName, "%s", line + 5);
        else if (std::strncmp(line, "log ", 4) == 0) std::snprintf(b.logText, sizeof b.logText, "%s", line + 4);
    }
    std::fclose(file);
}

void MaybeThrow(const char* site) {
    if (std::strcmp(s_behaviour.throwSite, site) != 0) return;
    const char* kind = s_behaviour.throwKind;
    Record("throw %s %s", site, kind);
    const char* message = FormatText("CRecordingEngine::%s : thrown on request", site);
    if (std::strcmp(kind, "init") == 0) throw new CErrorInit(message);
    if (std::strcmp(kind, "runtime") == 0) throw new CErrorRuntime(message);
    if (std::strcmp(kind, "missing") == 0) throw new CErrorMissingResource(message);
    if (std::strcmp(kind, "bad") == 0) throw new CErrorBadResource(message);
    if (std::strcmp(kind, "null") == 0) throw static_cast<CError*>(nullptr);
    throw 42;  // not of the error family
}

int IntOf(const char* name) {
    CVariable* var = s_socket ? s_socket->varList->Find(name) : nullptr;
    return var ? var->value.asInt : -999999;
}

// Whether the host passed the handle of this very module.
int IsOurModule(EngineModuleHandle module) {
    return module != nullptr && module == reinterpret_cast<EngineModuleHandle>(GetModuleHandleA("render.dll"));
}

void RecordWindow(const char* when, HWND window) {
    RECT outer{}, client{};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    char title[64] = "";
    GetWindowTextA(window, title, sizeof title);
    LONG style = GetWindowLongA(window, GWL_STYLE);
    LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    Record("%s window class='%s' title='%s' visible=%d client=%ldx%ld outer=%ld,%ld,%ldx%ld topmost=%d "
           "overlapped=%d screen=%dx%d maxtrack=%dx%d",
           when, className, title, IsWindowVisible(window) ? 1 : 0, client.right, client.bottom, outer.left,
           outer.top, outer.right - outer.left, outer.bottom - outer.top, (exStyle & WS_EX_TOPMOST) ? 1 : 0,
           (style & WS_OVERLAPPEDWINDOW) == WS_OVERLAPPEDWINDOW ? 1 : 0, GetSystemMetrics(SM_CXSCREEN),
           GetSystemMetrics(SM_CYSCREEN), GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK));
}

void OpenRequestedFile() {
    CFileSystem* files = s_socket->fileSystem;
    FileHandle file = files->OpenFile(s_behaviour.openName, "rb");
    if (!file) {
        Record("open '%s' handle=0", s_behaviour.openName);
        return;
    }
    char text[128] = "";
    int32_t size = files->GetSize(file);
    int32_t got = files->Read(file, text, sizeof text - 1);
    text[got > 0 ? got : 0] = '\0';
    text[std::strcspn(text, "\r\n")] = '\0';
    Record("open '%s' handle=%d size=%d text='%s' eof=%d", s_behaviour.openName, file, size, text,
           files->IsEof(file) ? 1 : 0);
    files->CloseFile(file);
}

class CRecordingEngine final : public IDemoEngine {
public:
    CRecordingEngine() {
        // The window variables the host reads, as a real engine registers them.
        CVarList* vars = s_socket->varList;
        vars->RegisterInt("r_width_phys", 800, VARF_SAVE, nullptr);
        vars->RegisterInt("r_height_phys", 600, VARF_SAVE, nullptr);
        vars->RegisterInt("r_use_desktop_resolution", 0, VARF_SAVE, nullptr);
        vars->RegisterInt("r_fullscreen", 0, VARF_SAVE, nullptr);
        vars->RegisterInt("r_width", 800, VARF_SAVE, nullptr);
        vars->RegisterInt("r_height", 600, VARF_SAVE, nullptr);
    }

    int32_t Initialize(EngineModuleHandle module, AppWindowHandle window) override {
        Record("initialize module_ok=%d", IsOurModule(module));
        RecordWindow("initialize", static_cast<HWND>(window));
        MaybeThrow("initialize");
        return s_behaviour.initializeResult;
    }
    void Shutdown() override {
        // The host answers every cursor request over its window with no cursor.
        Record("shutdown frames=%d cursor=%s", s_frameCount, GetCursor() ? "shown" : "none");
    }
    bool Configure(EngineModuleHandle module) override {
        Record("configure module_ok=%d locale='%s' r_width_phys=%d r_height_phys=%d r_fullscreen=%d "
               "s_alwaysontop=%d",
               IsOurModule(module), std::setlocale(LC_ALL, nullptr), IntOf("r_width_phys"),
               IntOf("r_height_phys"), IntOf("r_fullscreen"), IntOf("s_alwaysontop"));
        MaybeThrow("configure");
        return s_behaviour.configureResult;
    }
    int32_t Precache() override {
        Record("precache");
        if (s_behaviour.logText[0]) s_socket->logService->Log("%s", s_behaviour.logText);
        if (s_behaviour.openName[0]) OpenRequestedFile();
        MaybeThrow("precache");
        return 0;
    }
    void Reserved() override { Record("reserved"); }
    bool Frame() override {
        ++s_frameCount;
        HWND window = FindWindowA("CQx Stagehost", "StageHost");
        if (s_frameCount == 1) {
            s_firstFrameTick = GetTickCount();
            Record("frame 1 s_time=%d s_dt=%d s_df_ok=%d", IntOf("s_time"), IntOf("s_dt"),
                   FrameSecondsMatch() ? 1 : 0);
            if (window) RecordWindow("frame", window);
            Record("ready");  // the tests send input from here on
        }
        MaybeThrow("frame");
        if (s_behaviour.frames > 0 && s_frameCount >= s_behaviour.frames) return false;
        if (GetTickCount() - s_firstFrameTick > 20000) {
            Record("gave up waiting");  // input never came: end instead of hanging
            return false;
        }
        Sleep(1);
        return true;
    }
    void Release() override {
        Record("release");
        delete this;
    }

private:
    static bool FrameSecondsMatch() {
        CVariable* dt = s_socket->varList->Find("s_dt");
        CVariable* df = s_socket->varList->Find("s_df");
        return dt && df && df->value.asFloat == static_cast<float>(dt->value.asInt) * 0.001f;
    }
};

}  // namespace

#ifndef ENGINE_NO_PLUG
STAGEHOST_ENGINE_EXPORT void PlugSystemSocket(SystemSocket* socket) {
    ReadBehaviour();
    s_socket = socket;
    Record("plug log=%d vars=%d fs=%d", socket->logService == GetProcessLog() ? 1 : 0,
           socket->varList == GetProcessVars() ? 1 : 0, socket->fileSystem == GetProcessFileSystem() ? 1 : 0);
    MaybeThrow("plug");
}
#endif

#ifndef ENGINE_NO_CREATE
STAGEHOST_ENGINE_EXPORT IDemoEngine* CreateDemoEngine() {
    Record("create");
    MaybeThrow("create");
    if (s_behaviour.createNull) return nullptr;
    return new CRecordingEngine();
}
#endif

#ifndef ENGINE_NO_UNPLUG
STAGEHOST_ENGINE_EXPORT void UnplugSystemSocket() {
    Record("unplug");
    s_socket = nullptr;
}
#endif

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    // A null reserved on detach: FreeLibrary, not the end of the process.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) Record("unload");
    return TRUE;
}
