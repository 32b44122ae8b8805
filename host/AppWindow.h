#pragma once
// Sizing and creating the application window from the window variables.

// Reads r_use_desktop_resolution, r_width_phys, r_height_phys, r_fullscreen
// and s_alwaysontop (the desktop size is written into r_width_phys and
// r_height_phys when asked for), creates the hidden window and stores it in
// g_host.window. False when the window cannot be created.
bool CreateAppWindow();

// Used for a window variable the engine did not register.
const int kDefaultWindowWidth = 640;
const int kDefaultWindowHeight = 480;
