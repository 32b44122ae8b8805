#include "TgaImage.h"

#include "errors/Error.h"
#include "errors/FormatText.h"

namespace {

const std::size_t kHeaderSize = 18;
const int kMaxSide = 4096;

int Le16(const std::uint8_t* p) { return p[0] | (p[1] << 8); }

[[noreturn]] void Bad(const char* name, const char* why) {
    throw new CErrorBadResource(FormatText("DecodeTga : '%s' %s", name, why));
}

}  // namespace

CImage DecodeTga(const std::uint8_t* bytes, std::size_t size, const char* name) {
    if (!bytes || size < kHeaderSize) Bad(name, "is too short for a TGA header");
    const int idLength = bytes[0];
    const int colourMapType = bytes[1];
    const int imageType = bytes[2];
    const int width = Le16(bytes + 12);
    const int height = Le16(bytes + 14);
    const int depth = bytes[16];
    const int descriptor = bytes[17];

    if (colourMapType != 0 || imageType != 2) Bad(name, "is not an uncompressed true-colour TGA");
    if (depth != 24 && depth != 32) Bad(name, "has a pixel depth other than 24 or 32 bits");
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) Bad(name, "has an unusable size");

    const std::size_t pixelSize = static_cast<std::size_t>(depth / 8);
    const std::size_t start = kHeaderSize + static_cast<std::size_t>(idLength);
    const std::size_t needed = static_cast<std::size_t>(width) * height * pixelSize;
    if (size < start || size - start < needed) Bad(name, "ends before its last pixel");

    CImage image;
    image.width = width;
    image.height = height;
    image.rgba.resize(static_cast<std::size_t>(width) * height * 4);
    const bool topFirst = (descriptor & 0x20) != 0;   // origin in the upper-left corner
    const bool rightFirst = (descriptor & 0x10) != 0;  // pixels run right to left
    const std::uint8_t* src = bytes + start;
    for (int row = 0; row < height; ++row) {
        const int outRow = topFirst ? row : height - 1 - row;
        for (int col = 0; col < width; ++col, src += pixelSize) {
            const int outCol = rightFirst ? width - 1 - col : col;
            std::uint8_t* out = &image.rgba[(static_cast<std::size_t>(outRow) * width + outCol) * 4];
            out[0] = src[2];  // stored as blue, green, red, alpha
            out[1] = src[1];
            out[2] = src[0];
            out[3] = pixelSize == 4 ? src[3] : 255;
        }
    }
    return image;
}
