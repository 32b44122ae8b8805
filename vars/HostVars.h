#pragma once
// The host's own variables, registered right after the registry is created.

#include "vars/VarList.h"

struct HostVars {
    CVariable* time;                // s_time, 0, flags 4: ms since the start tick
    CVariable* dt;                  // s_dt, 0, flags 4: ms since the previous frame
    CVariable* df;                  // s_df, 0, flags 4: s_dt in seconds
    CVariable* disableMemoryCache;  // s_disablememorycache, 0, VARF_SAVE
    CVariable* dontUsePack;         // s_dontusepack, 1, VARF_SAVE
    CVariable* alwaysOnTop;         // s_alwaysontop, 0, VARF_SAVE
};

enum : uint32_t { VARF_HOST_TIMING = 4 };

// Registers the six with RegisterInt, in the order above. Throws CErrorInit
// naming the variable when a registration returns null.
HostVars RegisterHostVars(CVarList& list);
