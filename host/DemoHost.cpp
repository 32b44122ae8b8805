// Start-up and shutdown sequences of the host, in their fixed order.
#include "host/DemoHost.h"

#include "errors/Error.h"
#include "filesystem/RARFileSystem.h"
#include "host/AppWindow.h"
#include "host/EngineModule.h"
#include "host/HostState.h"
#include "log/LogService.h"
#include "platform/Module.h"
#include "platform/Tick.h"
#include "platform/Window.h"
#include "sdk/Services.h"
#include "vars/VarList.h"

HostState g_host;
SystemSocket g_systemSocket;

namespace {

CDemoHost* s_instance;

// The window reads these four; one the engine did not register is replaced by
// a default, with a warning line. The other four are only kept.
CVariable* FindWindowVar(const char* name, int fallback) {
    CVariable* var = g_host.vars->Find(name);
    if (!var) g_host.log->Log("Warning: engine did not register '%s', using %d", name, fallback);
    return var;
}

void FindRenderVariables() {
    RenderVariables& r = g_host.render;
    r.r_width_phys = FindWindowVar("r_width_phys", kDefaultWindowWidth);
    r.r_height_phys = FindWindowVar("r_height_phys", kDefaultWindowHeight);
    r.r_use_desktop_resolution = FindWindowVar("r_use_desktop_resolution", 0);
    r.r_width = g_host.vars->Find("r_width");
    r.r_height = g_host.vars->Find("r_height");
    r.r_max_particles = g_host.vars->Find("r_max_particles");
    r.r_max_sprites = g_host.vars->Find("r_max_sprites");
    r.r_fullscreen = FindWindowVar("r_fullscreen", 0);
}

}  // namespace

CDemoHost::CDemoHost() {
    g_host.quit = false;

    g_host.vars = new CVarList();
    g_host.var = RegisterHostVars(*g_host.vars);  // before the log exists
    g_host.log = new CLogService();
    g_host.fileSystem = new CRARFileSystem();  // touches no file

    g_systemSocket.logService = g_host.log;
    g_systemSocket.varList = g_host.vars;
    g_systemSocket.fileSystem = g_host.fileSystem;
    SetProcessServices(g_host.log, g_host.vars, g_host.fileSystem);

    EngineEntries entries = LoadEngineModule();
    entries.plug(&g_systemSocket);
    g_host.engine = entries.create();
    if (!g_host.engine) throw new CErrorInit("Can't create demo engine");

    FindRenderVariables();
    // Saved values reach the host's and the engine's variables alike.
    g_host.vars->LoadVarsFile();

    if (!g_host.engine->Configure(g_host.module)) {
        g_host.quit = true;  // orderly end: no window, no frames
        return;
    }

    g_host.fileSystem->CacheArchive();
    if (!CreateAppWindow()) throw new CErrorInit("Can't create application window");
    if (g_host.engine->Initialize(g_host.module, g_host.window) < 0)
        throw new CErrorInit("Can't initialize demo engine");
    platform::ShowAppWindow(g_host.window);
    g_host.startTick = GetMillisecondTick();
}

CDemoHost::~CDemoHost() {
    g_host.log->Log("--------------------");
    // Saved while the module is loaded: the names of its variables live there.
    g_host.vars->SaveVarsFile();
    g_host.engine->Shutdown();
    g_host.engine->Release();
    g_host.engine = nullptr;
    g_host.unplug();
    platform::UnloadModule(g_host.module);
    g_host.module = nullptr;

    // Each service clears its own process-wide slot as it goes.
    delete g_host.fileSystem;
    g_host.fileSystem = nullptr;
    delete g_host.log;  // writes the closing line
    g_host.log = nullptr;
    delete g_host.vars;
    g_host.vars = nullptr;
}

void CreateHost() {
    // When the constructor raises, new releases the memory and the pointer
    // stays null.
    s_instance = new CDemoHost();
}

void DestroyHost() {
    delete s_instance;
    s_instance = nullptr;
}
