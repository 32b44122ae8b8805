// The host's message pump over SDL2 events.
#include <SDL.h>

#include "platform/Events.h"
#include "platform/linux/app/WindowState.h"

namespace platform {

bool HandleOneEvent(bool* quit) {
    detail::UpdatePendingCentre(detail::WindowState());

    SDL_Event event;
    if (!SDL_PollEvent(&event)) return false;
    switch (event.type) {
    case SDL_KEYDOWN:
        if (event.key.keysym.sym == SDLK_ESCAPE) *quit = true;
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.button == SDL_BUTTON_LEFT) *quit = true;
        break;
    case SDL_WINDOWEVENT:
        switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            *quit = true;
            break;
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_ENTER:
            // The engine may have re-created the native window.
            detail::ReapplyHiddenCursor();
            break;
        default:
            break;
        }
        break;
    default:
        break;
    }
    return true;
}

}  // namespace platform
