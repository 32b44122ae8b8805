#include "vars/HostVars.h"

#include "errors/Error.h"
#include "errors/FormatText.h"

namespace {

CVariable* RegisterOrThrow(CVarList& list, const char* name, int32_t def, uint32_t flags) {
    CVariable* v = list.RegisterInt(name, def, flags, nullptr);
    // The frame loop, the window and the file system use the handles without
    // a test, so a failed registration must stop the start-up here.
    if (!v) throw new CErrorInit(FormatText("Can't register host variable %s", name));
    return v;
}

}  // namespace

HostVars RegisterHostVars(CVarList& list) {
    HostVars h{};
    h.time = RegisterOrThrow(list, "s_time", 0, VARF_HOST_TIMING);
    h.dt = RegisterOrThrow(list, "s_dt", 0, VARF_HOST_TIMING);
    h.df = RegisterOrThrow(list, "s_df", 0, VARF_HOST_TIMING);
    h.disableMemoryCache = RegisterOrThrow(list, "s_disablememorycache", 0, VARF_SAVE);
    h.dontUsePack = RegisterOrThrow(list, "s_dontusepack", 1, VARF_SAVE);
    h.alwaysOnTop = RegisterOrThrow(list, "s_alwaysontop", 0, VARF_SAVE);
    return h;
}
