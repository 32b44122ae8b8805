#include "DemoVars.h"

#include <cmath>

#include "log/LogService.h"
#include "vars/VarList.h"

namespace {

void ClampInt(CVariable* v, int32_t low, int32_t high, CLogService* log) {
    if (!v) return;
    const int32_t value = v->value.asInt;
    const int32_t fixed = value < low ? low : (value > high ? high : value);
    if (fixed == value) return;
    v->SetInt(fixed);
    if (log) log->Log("Demo: %s %d is out of range, using %d", v->name, value, fixed);
}

}  // namespace

CDemoVars RegisterDemoVars(CVarList* vars) {
    CDemoVars v;
    v.widthPhys = vars->RegisterInt("r_width_phys", 800, VARF_SAVE, nullptr);
    v.heightPhys = vars->RegisterInt("r_height_phys", 600, VARF_SAVE, nullptr);
    v.useDesktopResolution = vars->RegisterInt("r_use_desktop_resolution", 0, VARF_SAVE, nullptr);
    v.width = vars->RegisterInt("r_width", 0, VARF_SAVE, nullptr);
    v.height = vars->RegisterInt("r_height", 0, VARF_SAVE, nullptr);
    v.maxParticles = vars->RegisterInt("r_max_particles", 4096, VARF_SAVE, nullptr);
    v.maxSprites = vars->RegisterInt("r_max_sprites", 1024, VARF_SAVE, nullptr);
    v.fullscreen = vars->RegisterInt("r_fullscreen", 0, VARF_SAVE, nullptr);
    v.vsync = vars->RegisterInt("r_vsync", 1, VARF_SAVE, nullptr);
    v.wireframe = vars->RegisterInt("r_wireframe", 0, VARF_SAVE, nullptr);
    v.scene = vars->RegisterString("demo_scene", "scene.txt", VARF_SAVE, nullptr);
    v.speed = vars->RegisterFloat("demo_speed", 1.0f, VARF_SAVE, nullptr);
    v.time = vars->Find("s_time");
    v.frameSeconds = vars->Find("s_df");
    return v;
}

void AdjustDemoVars(const CDemoVars& v, CLogService* log) {
    ClampInt(v.widthPhys, 320, 7680, log);
    ClampInt(v.heightPhys, 200, 4320, log);
    ClampInt(v.maxSprites, 0, 4096, log);
    ClampInt(v.maxParticles, 0, 65536, log);
    if (v.width && v.width->value.asInt <= 0 && v.widthPhys) v.width->SetInt(v.widthPhys->value.asInt);
    if (v.height && v.height->value.asInt <= 0 && v.heightPhys) v.height->SetInt(v.heightPhys->value.asInt);
    if (v.speed) {
        const float speed = v.speed->value.asFloat;
        if (!(speed >= 0.1f && speed <= 10.0f)) {
            const float fixed = std::isnan(speed) || speed < 0.1f ? 0.1f : 10.0f;
            v.speed->SetFloat(fixed);
            if (log) log->Log("Demo: demo_speed %g is out of range, using %g", speed, fixed);
        }
    }
    if (v.scene && v.scene->value.asString[0] == '\0') v.scene->SetString(v.scene->defaultValue.asString);
}
