#include "host/EngineModule.h"

#include "errors/Error.h"
#include "host/HostState.h"
#include "log/LogService.h"
#include "platform/Module.h"

#ifdef _WIN32
const char* const kEngineModulePath = "render.dll";  // found by the loader's usual search
#else
const char* const kEngineModulePath = "./render.so";
#endif

namespace {

void* RequireExport(const char* name, const char* message) {
    void* address = platform::FindModuleSymbol(g_host.module, name);
    if (!address) throw new CErrorInit(message);
    return address;
}

}  // namespace

EngineEntries LoadEngineModule() {
    g_host.module = platform::LoadModule(kEngineModulePath);
    if (!g_host.module) {
        // The loader's reason (missing file, unresolved symbol, wrong
        // architecture) is what the user needs to mend it.
        g_host.log->Log("Can't load '%s': %s", kEngineModulePath, platform::ModuleError());
        throw new CErrorInit("Main demo DLL not found");
    }
    EngineEntries entries;
    entries.create = reinterpret_cast<EngineCreateFn>(
        RequireExport("CreateDemoEngine", "Demo DLL does not export required fuction CreateDemoEngine"));
    entries.plug = reinterpret_cast<SocketPlugFn>(
        RequireExport("PlugSystemSocket", "Demo DLL does not export required fuction PlugSystemSocket"));
    g_host.unplug = reinterpret_cast<SocketUnplugFn>(
        RequireExport("UnplugSystemSocket", "Demo DLL does not export required fuction UnplugSystemSocket"));
    return entries;
}
