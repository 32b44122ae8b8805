// The host's message pump: at most one queued message per call.
#include "platform/Events.h"

#include <windows.h>

#include "platform/win32/app/WindowProc.h"

namespace platform {

bool HandleOneEvent(bool* quit) {
    detail::BindQuitFlag(quit);
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return false;
    TranslateMessage(&message);
    DispatchMessageA(&message);  // HostWindowProc may set *quit here
    return true;
}

}  // namespace platform
