// The precache step and the frame loop.
#include "filesystem/RARFileSystem.h"
#include "host/DemoHost.h"
#include "host/FrameClock.h"
#include "host/HostState.h"
#include "platform/Events.h"
#include "platform/Tick.h"
#include "vars/VarList.h"

void RunPrecache() {
    if (g_host.quit) return;
    g_host.engine->Precache();  // a failed precache is not a failure of the host
    g_host.fileSystem->ReleaseArchiveCache();
    g_host.startTick = GetMillisecondTick();  // time 0 is the end of loading
}

void RunFrames() {
    if (g_host.quit) return;
    const HostVars& v = g_host.var;
    for (;;) {
        FrameTime frame = ComputeFrameTime(GetMillisecondTick(), g_host.startTick, v.time->value.asInt);
        v.time->SetInt(frame.time);
        v.dt->SetInt(frame.delta);
        v.df->SetFloat(frame.seconds);

        platform::HandleOneEvent(&g_host.quit);

        // A quit request taken just now still lets this frame run.
        if (!g_host.engine->Frame()) {
            g_host.quit = true;
            return;
        }
        if (g_host.quit) return;
    }
}
