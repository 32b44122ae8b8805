#pragma once
// Loading a shared module and looking up its exports (the engine module).

namespace platform {

typedef void* ModuleHandle;

// Loads the module at path (resolved by the platform loader as given; a path
// with a slash is taken relative to the working directory). Returns null on
// failure; ModuleError() then describes why.
ModuleHandle LoadModule(const char* path);

// Address of the exported symbol name, or null when the module has none.
void* FindModuleSymbol(ModuleHandle module, const char* name);

// Drops the reference LoadModule took.
void UnloadModule(ModuleHandle module);

// The loader's text for the last failure of LoadModule or FindModuleSymbol;
// never null (empty when the loader gave none).
const char* ModuleError();

}  // namespace platform
