#pragma once
// The application window, as the host needs it: one top-level window created
// hidden with an OpenGL-capable surface, placed by the host's rules, shown
// later, never destroyed before the process ends.

namespace platform {

struct ScreenSize {
    int width;
    int height;
};

// How to create the window. In windowed mode width x height is the client
// area and the outer frame is centred on the screen (re-centred once the
// frame's size is known after showing); a frame larger than the screen gets a
// negative position. In full-screen mode the window stays at (0,0) with
// width x height unadjusted and is never kept on top.
struct WindowPlacement {
    int width;
    int height;
    bool fullscreen;
    bool alwaysOnTop;  // honoured only when windowed
};

// Brings the video subsystem up (idempotent). False when no display can be used.
bool InitVideo();

// Size of the primary screen; valid after InitVideo succeeded.
ScreenSize GetScreenSize();

// Creates the hidden window; null on failure. Title "StageHost", the mouse
// cursor hidden while it is over the window.
void* CreateAppWindow(const WindowPlacement& placement);

// Shows the window created by CreateAppWindow.
void ShowAppWindow(void* window);

}  // namespace platform
