// Module loading over the Windows loader.
#include "platform/Module.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace platform {
namespace {

char s_error[1024];

// Keeps the system's text for the last error, without its trailing CR LF.
void KeepLoaderError() {
    DWORD code = GetLastError();
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                  0, s_error, sizeof s_error, nullptr);
    if (length == 0) {
        std::snprintf(s_error, sizeof s_error, "error %lu", static_cast<unsigned long>(code));
        return;
    }
    while (length > 0 && (s_error[length - 1] == '\n' || s_error[length - 1] == '\r' || s_error[length - 1] == ' '))
        s_error[--length] = '\0';
}

}  // namespace

ModuleHandle LoadModule(const char* path) {
    // The plain name is found by the loader's usual search, which starts in
    // the executable's own folder.
    HMODULE module = LoadLibraryA(path);
    if (!module) KeepLoaderError();
    return reinterpret_cast<ModuleHandle>(module);
}

void* FindModuleSymbol(ModuleHandle module, const char* name) {
    FARPROC address = GetProcAddress(static_cast<HMODULE>(module), name);
    if (!address) KeepLoaderError();
    return reinterpret_cast<void*>(address);
}

void UnloadModule(ModuleHandle module) {
    if (module) FreeLibrary(static_cast<HMODULE>(module));
}

const char* ModuleError() { return s_error; }

}  // namespace platform
