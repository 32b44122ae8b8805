#pragma once
// The engine module's side of the contract.
//
// An engine module (render.so) exports three plain C functions:
//   IDemoEngine* CreateDemoEngine();            null: no engine was created
//   void PlugSystemSocket(SystemSocket* socket); called before CreateDemoEngine
//   void UnplugSystemSocket();                  called after Release
// and returns from CreateDemoEngine an object of this interface. The host calls
// the operations by their position in the table, so the order of the seven
// slots below is binding; the interface has no virtual destructor (only
// Release ends the object's life). The fifth slot is never called by the
// host but must exist so that Frame and Release sit where the host calls them.
//
// Call order seen by the module in a normal run:
//   PlugSystemSocket, CreateDemoEngine, Configure, Initialize, Precache,
//   Frame (repeatedly), Shutdown, Release, UnplugSystemSocket.
// When Configure returns false, Initialize, Precache and Frame are skipped but
// Shutdown and Release still come.

#include <cstdint>

#include "sdk/SystemSocket.h"

// Opaque handle of the loaded engine module (the handle dlopen returned).
typedef void* EngineModuleHandle;
// Opaque handle of the application window: an SDL_Window* on Linux. The window
// is created with SDL_WINDOW_OPENGL, so the engine can make a GL context on it.
typedef void* AppWindowHandle;

class IDemoEngine {
public:
    // 1. Negative status: start-up ends with "Can't initialize demo engine".
    virtual int32_t Initialize(EngineModuleHandle module, AppWindowHandle window) = 0;
    // 2. Result ignored; also called when Initialize never was.
    virtual void Shutdown() = 0;
    // 3. False ends the run before a window exists (orderly shutdown follows).
    virtual bool Configure(EngineModuleHandle module) = 0;
    // 4. Loading step; the host goes on whatever the status.
    virtual int32_t Precache() = 0;
    // 5. Not called by the host; the engine may give it any meaning.
    virtual void Reserved() = 0;
    // 6. True: call again; false: the demo is finished.
    virtual bool Frame() = 0;
    // 7. Last call on the object; the host never touches it afterwards.
    virtual void Release() = 0;

protected:
    // Only Release ends an engine object; nobody deletes it through this type.
    ~IDemoEngine() = default;
};

// The three exports, as the host looks them up.
typedef IDemoEngine* (*EngineCreateFn)();
typedef void (*SocketPlugFn)(SystemSocket* socket);
typedef void (*SocketUnplugFn)();

// Use on the three exports of an engine module: plain names, visible.
#ifdef _WIN32
#define STAGEHOST_ENGINE_EXPORT extern "C" __declspec(dllexport)
#else
#define STAGEHOST_ENGINE_EXPORT extern "C" __attribute__((visibility("default")))
#endif
