// The application window over SDL2.
//
// SDL positions a window by its client area. The host wants the outer frame
// centred on the screen, so the client origin is the frame's centred origin
// plus the left and top borders. The borders are known only after the window
// manager has framed the shown window; until then the window is placed as if
// it had no frame, and the event pump centres it again as soon as the frame
// is known (or gives up after a second, for a screen without window manager).
#include <SDL.h>

#include "platform/Window.h"
#include "platform/linux/app/WindowState.h"

namespace platform {
namespace detail {

const Uint32 kCentreWaitMs = 1000;

AppWindowState& WindowState() {
    static AppWindowState state;
    return state;
}

bool CentreByOuterSize(AppWindowState& state) {
    int top = 0, left = 0, bottom = 0, right = 0;
    bool known = SDL_GetWindowBordersSize(state.window, &top, &left, &bottom, &right) == 0 &&
                 (top | left | bottom | right) != 0;
    if (!known) top = left = bottom = right = 0;
    int outerWidth = state.placement.width + left + right;
    int outerHeight = state.placement.height + top + bottom;
    // Signed division truncating toward zero: a frame wider than the screen
    // gets a negative origin.
    int x = (state.screen.width - outerWidth) / 2 + left;
    int y = (state.screen.height - outerHeight) / 2 + top;
    SDL_SetWindowPosition(state.window, x, y);
    return known;
}

void UpdatePendingCentre(AppWindowState& state) {
    if (!state.centrePending) return;
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(state.window, &top, &left, &bottom, &right) == 0 &&
        (top | left | bottom | right) != 0) {
        CentreByOuterSize(state);
        state.centrePending = false;
    } else if (SDL_TICKS_PASSED(SDL_GetTicks(), state.centreDeadline)) {
        state.centrePending = false;
    }
}

void ReapplyHiddenCursor() {
    SDL_ShowCursor(SDL_DISABLE);
    SDL_SetCursor(nullptr);  // pushes the (hidden) cursor state to every window
}

}  // namespace detail

bool InitVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    // Ctrl+C in a terminal must end the process, not queue an event that the
    // host does not act on.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
}

ScreenSize GetScreenSize() {
    SDL_Rect bounds{0, 0, 0, 0};
    if (SDL_GetDisplayBounds(0, &bounds) != 0) return ScreenSize{0, 0};
    return ScreenSize{bounds.w, bounds.h};
}

void* CreateAppWindow(const WindowPlacement& placement) {
    detail::AppWindowState& state = detail::WindowState();
    state.placement = placement;
    state.screen = GetScreenSize();

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    int x = 0, y = 0;
    if (!placement.fullscreen) {
        if (placement.alwaysOnTop) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
        x = (state.screen.width - placement.width) / 2;
        y = (state.screen.height - placement.height) / 2;
    }
    state.window = SDL_CreateWindow("StageHost", x, y, placement.width, placement.height, flags);
    if (!state.window) {
        // A video driver without OpenGL (the headless dummy driver) still
        // gets its window; an engine that needs OpenGL finds out when it
        // makes its context.
        flags &= ~static_cast<Uint32>(SDL_WINDOW_OPENGL);
        state.window = SDL_CreateWindow("StageHost", x, y, placement.width, placement.height, flags);
    }
    if (!state.window) return nullptr;
    detail::ReapplyHiddenCursor();
    return state.window;
}

void ShowAppWindow(void* window) {
    detail::AppWindowState& state = detail::WindowState();
    SDL_ShowWindow(static_cast<SDL_Window*>(window));
    detail::ReapplyHiddenCursor();
    if (window == state.window && !state.placement.fullscreen) {
        state.centrePending = !detail::CentreByOuterSize(state);
        state.centreDeadline = SDL_GetTicks() + detail::kCentreWaitMs;
    }
}

}  // namespace platform
