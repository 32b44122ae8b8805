#pragma once
// Process-wide state of the host: zero at program start, owned by the host.

#include <cstdint>

#include "sdk/IDemoEngine.h"
#include "sdk/SystemSocket.h"
#include "vars/HostVars.h"

class CLogService;
class CRARFileSystem;

// Handles of the engine's variables the host looks up once. They may be null
// when the engine did not register them.
struct RenderVariables {
    CVariable* r_width_phys;
    CVariable* r_height_phys;
    CVariable* r_use_desktop_resolution;
    CVariable* r_width;
    CVariable* r_height;
    CVariable* r_max_particles;
    CVariable* r_max_sprites;
    CVariable* r_fullscreen;
};

struct HostState {
    bool quit;                  // once set, never cleared again
    void* window;               // the application window
    void* module;               // the loaded engine module
    IDemoEngine* engine;
    SocketUnplugFn unplug;
    uint32_t startTick;         // time 0 of the frame loop
    CLogService* log;
    CVarList* vars;
    CRARFileSystem* fileSystem;
    HostVars var;       // the host's own six
    RenderVariables render;
};

extern HostState g_host;
extern SystemSocket g_systemSocket;
