#pragma once
// The demo's configuration variables. The window variables the host reads
// (r_width_phys, r_height_phys, r_use_desktop_resolution, r_fullscreen) and
// the other r_* it looks up are registered with VARF_SAVE while the engine
// is created, so vars.cfg reaches them; a few of the demo's own follow.
#include <cstdint>

class CLogService;
class CVarList;
struct CVariable;

struct CDemoVars {
    CVariable* widthPhys = nullptr;
    CVariable* heightPhys = nullptr;
    CVariable* useDesktopResolution = nullptr;
    CVariable* width = nullptr;
    CVariable* height = nullptr;
    CVariable* maxParticles = nullptr;
    CVariable* maxSprites = nullptr;
    CVariable* fullscreen = nullptr;
    CVariable* vsync = nullptr;      // r_vsync: wait for the display's refresh
    CVariable* wireframe = nullptr;  // r_wireframe: outlines instead of faces
    CVariable* scene = nullptr;      // demo_scene: the scene script's name
    CVariable* speed = nullptr;      // demo_speed: playback speed, 1 = real time
    CVariable* time = nullptr;       // the host's s_time (milliseconds)
    CVariable* frameSeconds = nullptr;  // the host's s_df (seconds)
};

// Registers the demo's variables and finds the host's timing variables.
CDemoVars RegisterDemoVars(CVarList* vars);

// Brings loaded values into range before the window is made: the window at
// least 320 x 200 and at most 7680 x 4320, r_width / r_height following the
// window when 0, sprites 0 to 4096, speed 0.1 to 10, an empty scene name back
// to its default. Each change is logged (log may be null).
void AdjustDemoVars(const CDemoVars& vars, CLogService* log);
