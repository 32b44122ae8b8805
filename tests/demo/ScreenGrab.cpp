#include "ScreenGrab.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <unordered_set>

namespace demotest {

std::vector<std::uint32_t> GrabRectangle(const std::string& display, int x, int y, int width, int height) {
    std::vector<std::uint32_t> pixels;
    Display* d = XOpenDisplay(display.c_str());
    if (!d) return pixels;
    XImage* image = XGetImage(d, DefaultRootWindow(d), x, y, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (image) {
        pixels.reserve(static_cast<size_t>(width) * height);
        for (int row = 0; row < height; ++row)
            for (int col = 0; col < width; ++col)
                pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, col, row) & 0xFFFFFF));
        XDestroyImage(image);
    }
    XCloseDisplay(d);
    return pixels;
}

size_t DistinctColours(const std::vector<std::uint32_t>& pixels) {
    return std::unordered_set<std::uint32_t>(pixels.begin(), pixels.end()).size();
}

}  // namespace demotest
