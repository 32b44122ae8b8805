// The error report's message box.
#include "platform/Dialog.h"

#include <windows.h>

namespace platform {

void ShowErrorBox(const char* caption, const char* text) {
    // No owner window, the error icon and the single OK button; returns when
    // the user dismisses it.
    MessageBoxA(nullptr, text, caption, MB_ICONERROR);
}

}  // namespace platform
