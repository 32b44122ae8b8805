#pragma once
// State the window and the event pump share inside the Linux app layer.

#include <SDL.h>

#include "platform/Window.h"

namespace platform {
namespace detail {

struct AppWindowState {
    SDL_Window* window = nullptr;
    WindowPlacement placement{};
    ScreenSize screen{};
    // The frame's size is only known some time after the window is shown;
    // until then (or until the deadline) the pump tries to centre it again.
    bool centrePending = false;
    Uint32 centreDeadline = 0;
};

AppWindowState& WindowState();

// Centres the window's outer frame on the screen by its outer size, as far as
// the frame is known. Returns true when the frame's size was known.
bool CentreByOuterSize(AppWindowState& state);

// Gives up or finishes a pending re-centring; cheap, called once per event poll.
void UpdatePendingCentre(AppWindowState& state);

// Hides the cursor over the window again (after the window was shown,
// re-created or entered).
void ReapplyHiddenCursor();

}  // namespace detail
}  // namespace platform
