#pragma once
// The window procedure of the application window and the quit flag it sets.

#include <windows.h>

// Cursor hidden over the window, nothing painted, and Escape, a left click or
// a close request set the quit flag; every other message goes to
// DefWindowProcA.
LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

namespace platform {
namespace detail {

// Points the window procedure at the host's quit flag. A quit request that
// came before any flag was bound is passed on now.
void BindQuitFlag(bool* quit);

}  // namespace detail
}  // namespace platform
