#pragma once
// Uncompressed true-colour TGA images (image type 2, 24 or 32 bits per
// pixel), decoded from bytes in memory into RGBA rows, top row first, as
// OpenGL takes them with its origin flipped by the texture coordinates.
#include <cstdint>
#include <vector>

struct CImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // width * height * 4 bytes, top row first
};

// Throws CErrorBadResource naming `name` when the bytes are not such an image
// (wrong type, colour map, pixel depth, a size of 0 or above 4096, or too
// few bytes for the pixels).
CImage DecodeTga(const std::uint8_t* bytes, std::size_t size, const char* name);
