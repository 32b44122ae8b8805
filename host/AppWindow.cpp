#include "host/AppWindow.h"

#include "host/HostState.h"
#include "platform/Window.h"
#include "vars/VarList.h"

namespace {

int IntOr(const CVariable* var, int fallback) { return var ? var->value.asInt : fallback; }

}  // namespace

bool CreateAppWindow() {
    if (!platform::InitVideo()) return false;
    const RenderVariables& v = g_host.render;
    platform::ScreenSize screen = platform::GetScreenSize();

    int width = IntOr(v.r_width_phys, kDefaultWindowWidth);
    int height = IntOr(v.r_height_phys, kDefaultWindowHeight);
    if (IntOr(v.r_use_desktop_resolution, 0) != 0) {
        // The variables keep the screen size for the rest of the run.
        if (v.r_width_phys) v.r_width_phys->SetInt(screen.width);
        if (v.r_height_phys) v.r_height_phys->SetInt(screen.height);
        width = screen.width;
        height = screen.height;
    }

    platform::WindowPlacement placement;
    placement.width = width;
    placement.height = height;
    placement.fullscreen = IntOr(v.r_fullscreen, 0) != 0;
    placement.alwaysOnTop = g_host.var.alwaysOnTop->value.asInt != 0;
    g_host.window = platform::CreateAppWindow(placement);
    return g_host.window != nullptr;
}
