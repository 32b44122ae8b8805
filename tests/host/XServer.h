#pragma once
// A private Xvfb for the window tests, and what the tests ask of the X server
// about the host's window: placement, state, cursor; plus a close request.

#include <sys/types.h>

#include <string>

typedef struct _XDisplay Display;

namespace hosttest {

struct WindowGeometry {
    int x, y;           // client area's top-left corner on the screen
    int width, height;  // client area
};

class XServer {
public:
    // Starts Xvfb on a free display with a 1024x768 screen. Check Ok().
    XServer();
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    bool Ok() const { return display_ != nullptr; }
    // Starts openbox on the server and waits until it manages windows.
    bool StartWindowManager();
    const std::string& Name() const { return name_; }  // ":N"
    const std::string& Problem() const { return problem_; }

    // The top-level window titled title, or 0.
    unsigned long FindWindow(const char* title);
    WindowGeometry Geometry(unsigned long window);
    // Whether _NET_WM_STATE of the window lists the atom named state.
    bool HasState(unsigned long window, const char* state);
    // The frame a window manager put around the window, from _NET_FRAME_EXTENTS.
    bool FrameExtents(unsigned long window, int* left, int* right, int* top, int* bottom);
    // Whether the cursor now on the screen has no visible pixel.
    bool CursorInvisible();
    // Moves the pointer to a point of the screen.
    void MovePointer(int x, int y);
    // Asks the window to close, as a window manager's close box does.
    void RequestClose(unsigned long window);

private:
    pid_t pid_ = -1;
    pid_t windowManager_ = -1;
    std::string name_;
    std::string problem_;
    Display* display_ = nullptr;
};

}  // namespace hosttest
