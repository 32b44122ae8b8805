// Module loading over the dynamic linker.
#include "platform/Module.h"

#include <dlfcn.h>

#include <cstdio>

namespace platform {
namespace {

char s_error[1024];

void KeepLoaderError() {
    const char* text = dlerror();
    std::snprintf(s_error, sizeof s_error, "%s", text ? text : "");
}

}  // namespace

ModuleHandle LoadModule(const char* path) {
    ModuleHandle module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!module) KeepLoaderError();
    return module;
}

void* FindModuleSymbol(ModuleHandle module, const char* name) {
    dlerror();  // clear a stale error so a null result can be told apart
    void* address = dlsym(module, name);
    if (!address) KeepLoaderError();
    return address;
}

void UnloadModule(ModuleHandle module) {
    if (module) dlclose(module);
}

const char* ModuleError() { return s_error; }

}  // namespace platform
