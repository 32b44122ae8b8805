#include "platform/win32/app/WindowProc.h"

namespace platform {
namespace detail {
namespace {

bool* s_quit;
bool s_quitBeforeBinding;

void RequestQuit() {
    if (s_quit)
        *s_quit = true;
    else
        s_quitBeforeBinding = true;
}

}  // namespace

void BindQuitFlag(bool* quit) {
    s_quit = quit;
    if (quit && s_quitBeforeBinding) *quit = true;
}

}  // namespace detail
}  // namespace platform

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        SetCursor(nullptr);
        return 0;
    case WM_PAINT:
        // The engine draws; the host only declares the window painted.
        ValidateRect(window, nullptr);
        return 0;
    case WM_CLOSE:
        // The window stays until the process ends.
        platform::detail::RequestQuit();
        return 0;
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return TRUE;
    case WM_KEYDOWN:
        // Every key is swallowed; only Escape ends the demo.
        if (wParam == VK_ESCAPE) platform::detail::RequestQuit();
        return 0;
    case WM_LBUTTONDOWN:
        platform::detail::RequestQuit();
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
