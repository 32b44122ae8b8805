#pragma once
// Loading the engine module and binding its three exports.

#include "sdk/IDemoEngine.h"

struct EngineEntries {
    EngineCreateFn create;
    SocketPlugFn plug;
};

// Loads ./render.so from the working directory and looks up CreateDemoEngine,
// PlugSystemSocket and UnplugSystemSocket in that order, each tested before
// the next. Stores the module and the unplug entry in g_host and returns the
// other two. Raises CErrorInit with the fixed messages.
EngineEntries LoadEngineModule();

// The module's file name, relative to the working directory.
extern const char* const kEngineModulePath;
