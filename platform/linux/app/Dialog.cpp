// The error report's message box over SDL2, with a text fallback.
#include <SDL.h>

#include <cstdio>
#include <cstring>

#include "platform/Dialog.h"
#include "platform/Window.h"

namespace platform {
namespace {

// Drivers that have no screen a person could look at.
bool IsHeadlessDriver(const char* driver) {
    return !driver || std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0;
}

}  // namespace

void ShowErrorBox(const char* caption, const char* text) {
    if (InitVideo() && !IsHeadlessDriver(SDL_GetCurrentVideoDriver()) &&
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, nullptr) == 0) {
        return;
    }
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
}

}  // namespace platform
