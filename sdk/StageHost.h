#pragma once
// Everything an engine module includes to work with the host: the module
// contract (exports, SystemSocket, IDemoEngine) and the interfaces of the
// three services it receives, plus the error family it may throw:
//
//     throw new CErrorRuntime(FormatText("CMyEngine::Precache : '%s' is damaged", name));
//
// Link the module against stagehost_core (libstagehost.so): the host links the
// same library, so every process-wide service and type exists exactly once.

#include "errors/Error.h"
#include "errors/FormatText.h"
#include "filesystem/FileSystem.h"
#include "log/LogService.h"
#include "sdk/IDemoEngine.h"
#include "sdk/SystemSocket.h"
#include "vars/VarList.h"
