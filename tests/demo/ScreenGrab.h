#pragma once
// Reading back what an X server shows: the pixels of a screen rectangle.
#include <cstdint>
#include <string>
#include <vector>

namespace demotest {

// 0xRRGGBB per pixel, row after row; empty when the display cannot be
// opened or the rectangle read.
std::vector<std::uint32_t> GrabRectangle(const std::string& display, int x, int y, int width, int height);

// How many different colours the pixels hold.
size_t DistinctColours(const std::vector<std::uint32_t>& pixels);

}  // namespace demotest
