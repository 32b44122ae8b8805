#pragma once
// The host's message pump: one pending window event per call.

namespace platform {

// Takes at most one pending event and handles it. Escape pressed, the left
// mouse button pressed, or a request to close the window set *quit to true;
// nothing else touches it. Returns true when an event was taken.
bool HandleOneEvent(bool* quit);

}  // namespace platform
