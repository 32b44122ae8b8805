// The application window over Win32: class "CQx Stagehost", title
// "StageHost", created hidden. Windowed, the client area has the asked size
// and the outer frame is centred on the screen by its outer size; full-screen,
// the window keeps (0,0) and the unadjusted size.
#include "platform/Window.h"

#include <windows.h>

#include "platform/win32/app/WindowProc.h"

namespace platform {
namespace {

const char kClassName[] = "CQx Stagehost";
const char kTitle[] = "StageHost";
const DWORD kStyle = WS_OVERLAPPEDWINDOW;

void RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_CLASSDC;
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    // A failed registration shows up as a failed window creation.
    RegisterClassExA(&windowClass);
}

}  // namespace

bool InitVideo() { return true; }  // the window system is always there

ScreenSize GetScreenSize() { return ScreenSize{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

void* CreateAppWindow(const WindowPlacement& placement) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    RegisterWindowClass(instance);
    ScreenSize screen = GetScreenSize();

    int width = placement.width;
    int height = placement.height;
    if (!placement.fullscreen) {
        RECT frame;
        SetRect(&frame, 0, 0, width, height);
        AdjustWindowRect(&frame, kStyle, FALSE);
        width = frame.right - frame.left;
        height = frame.bottom - frame.top;
    }

    HWND window = CreateWindowExA(0, kClassName, kTitle, kStyle, 0, 0, width, height, GetDesktopWindow(), nullptr,
                                  instance, nullptr);
    if (!window) return nullptr;

    if (!placement.fullscreen) {
        // Signed division truncating toward zero: a frame larger than the
        // screen gets a negative position.
        SetWindowPos(window, placement.alwaysOnTop ? HWND_TOPMOST : HWND_TOP, (screen.width - width) / 2,
                     (screen.height - height) / 2, 0, 0, SWP_NOSIZE);
    }
    return window;
}

void ShowAppWindow(void* window) { ShowWindow(static_cast<HWND>(window), SW_SHOW); }

}  // namespace platform
