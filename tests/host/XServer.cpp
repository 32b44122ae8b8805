#include "XServer.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <functional>

namespace hosttest {

XServer::XServer() {
    int fds[2];
    if (pipe(fds) != 0) {
        problem_ = "pipe failed";
        return;
    }
    pid_ = fork();
    if (pid_ == 0) {
        // Xvfb picks a free display itself and writes its number to fd 3.
        dup2(fds[1], 3);
        int quiet = open("/dev/null", 0);
        dup2(quiet, 1);
        dup2(quiet, 2);
        execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    struct pollfd wait = {fds[0], POLLIN, 0};
    char c;
    while (poll(&wait, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) {
        problem_ = "Xvfb did not start (is it installed?)";
        return;
    }
    name_ = ":" + number;
    display_ = XOpenDisplay(name_.c_str());
    if (!display_) problem_ = "cannot open " + name_;
}

XServer::~XServer() {
    if (windowManager_ > 0) {
        kill(windowManager_, SIGTERM);
        waitpid(windowManager_, nullptr, 0);
    }
    if (display_) XCloseDisplay(display_);
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

namespace {

// Reads up to count 32-bit items of a property into out; returns how many.
unsigned long ReadLongs(Display* display, Window window, const char* name, Atom type, long* out,
                        unsigned long count) {
    Atom actualType;
    int format;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, count, False, type,
                           &actualType, &format, &items, &after, &data) != Success || !data)
        return 0;
    const long* values = reinterpret_cast<const long*>(data);  // format 32 arrives as long
    for (unsigned long i = 0; i < items && i < count; ++i) out[i] = values[i];
    XFree(data);
    return items;
}

bool TitleIs(Display* display, Window window, const char* title) {
    XTextProperty name;
    if (!XGetWMName(display, window, &name)) return false;
    bool match = name.value && std::strlen(title) == name.nitems &&
                 std::memcmp(name.value, title, name.nitems) == 0;
    if (name.value) XFree(name.value);
    return match;
}

Window Search(Display* display, Window parent, const char* title) {
    Window root, up, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count)) return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        if (TitleIs(display, children[i], title)) found = children[i];
        else found = Search(display, children[i], title);  // framed by a window manager
    }
    if (children) XFree(children);
    return found;
}

}  // namespace

unsigned long XServer::FindWindow(const char* title) {
    XSync(display_, False);
    return Search(display_, DefaultRootWindow(display_), title);
}

WindowGeometry XServer::Geometry(unsigned long window) {
    XSync(display_, False);
    XWindowAttributes attributes;
    XGetWindowAttributes(display_, window, &attributes);
    Window child;
    WindowGeometry g{0, 0, attributes.width, attributes.height};
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &g.x, &g.y, &child);
    return g;
}

bool XServer::StartWindowManager() {
    windowManager_ = fork();
    if (windowManager_ == 0) {
        setenv("DISPLAY", name_.c_str(), 1);
        int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, 1);
        dup2(quiet, 2);
        execlp("openbox", "openbox", "--sm-disable", static_cast<char*>(nullptr));
        _exit(127);
    }
    // An EWMH window manager announces itself on the root window.
    for (int i = 0; i < 500; ++i) {
        long check = 0;
        if (ReadLongs(display_, DefaultRootWindow(display_), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, &check, 1))
            return true;
        if (waitpid(windowManager_, nullptr, WNOHANG) == windowManager_) break;
        usleep(10000);
    }
    return false;
}

bool XServer::FrameExtents(unsigned long window, int* left, int* right, int* top, int* bottom) {
    XSync(display_, False);
    long extents[4] = {0, 0, 0, 0};
    if (ReadLongs(display_, window, "_NET_FRAME_EXTENTS", XA_CARDINAL, extents, 4) != 4) return false;
    *left = static_cast<int>(extents[0]);
    *right = static_cast<int>(extents[1]);
    *top = static_cast<int>(extents[2]);
    *bottom = static_cast<int>(extents[3]);
    return true;
}

bool XServer::HasState(unsigned long window, const char* state) {
    Atom property = XInternAtom(display_, "_NET_WM_STATE", False);
    Atom wanted = XInternAtom(display_, state, False);
    Atom type;
    int format;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool found = false;
    if (XGetWindowProperty(display_, window, property, 0, 64, False, XA_ATOM, &type, &format, &count, &after,
                           &data) == Success &&
        data) {
        const Atom* atoms = reinterpret_cast<const Atom*>(data);
        for (unsigned long i = 0; i < count; ++i) found = found || atoms[i] == wanted;
        XFree(data);
    }
    return found;
}

bool XServer::CursorInvisible() {
    XSync(display_, False);
    XFixesCursorImage* image = XFixesGetCursorImage(display_);
    if (!image) return false;
    bool invisible = true;
    for (int i = 0; i < image->width * image->height; ++i)
        if ((image->pixels[i] >> 24) & 0xff) invisible = false;
    XFree(image);
    return invisible;
}

void XServer::MovePointer(int x, int y) {
    XWarpPointer(display_, None, DefaultRootWindow(display_), 0, 0, 0, 0, x, y);
    XSync(display_, False);
}

void XServer::RequestClose(unsigned long window) {
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &event);
    XSync(display_, False);
}

}  // namespace hosttest
