// Decoding the demo's TGA textures: pixel order, both origins and depths,
// and every kind of file that must be refused.
#include <gtest/gtest.h>

#include <vector>

#include "TestErrors.h"
#include "TgaImage.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A 2 x 2 image; pixels given in file order as blue, green, red (, alpha).
Bytes Tga(int depth, int descriptor, const Bytes& pixels, int width = 2, int height = 2, int type = 2,
          int idLength = 0) {
    Bytes b = {static_cast<std::uint8_t>(idLength), 0, static_cast<std::uint8_t>(type), 0, 0, 0, 0, 0, 0, 0, 0, 0,
               static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(width >> 8),
               static_cast<std::uint8_t>(height), static_cast<std::uint8_t>(height >> 8),
               static_cast<std::uint8_t>(depth), static_cast<std::uint8_t>(descriptor)};
    b.insert(b.end(), idLength, 0xEE);
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

// Four pixels whose red channel numbers them 1..4 in file order.
Bytes Numbered(int bytesPerPixel) {
    Bytes p;
    for (int i = 1; i <= 4; ++i) {
        p.push_back(10 * i);  // blue
        p.push_back(0);       // green
        p.push_back(i);       // red
        if (bytesPerPixel == 4) p.push_back(100 + i);
    }
    return p;
}

std::vector<int> Reds(const CImage& image) {
    std::vector<int> reds;
    for (size_t i = 0; i < image.rgba.size(); i += 4) reds.push_back(image.rgba[i]);
    return reds;
}

TEST(TgaImage, PixelOrderFollowsTheOriginBits) {
    struct Case {
        const char* what;
        int descriptor;
        std::vector<int> reds;  // output order: top row first, left to right
    } cases[] = {
        {"bottom-left origin", 0x00, {3, 4, 1, 2}},
        {"top-left origin", 0x20, {1, 2, 3, 4}},
        {"bottom-right origin", 0x10, {4, 3, 2, 1}},
        {"top-right origin", 0x30, {2, 1, 4, 3}},
    };
    for (const Case& c : cases) {
        const Bytes file = Tga(24, c.descriptor, Numbered(3));
        const CImage image = DecodeTga(file.data(), file.size(), "t.tga");
        EXPECT_EQ(Reds(image), c.reds) << c.what;
    }
}

TEST(TgaImage, ChannelsAndAlpha) {
    const Bytes file24 = Tga(24, 0x20, Numbered(3), 2, 2, 2, 3);  // an image id is skipped
    const CImage a = DecodeTga(file24.data(), file24.size(), "a.tga");
    ASSERT_EQ(a.width, 2);
    ASSERT_EQ(a.height, 2);
    EXPECT_EQ((Bytes{a.rgba.begin(), a.rgba.begin() + 4}), (Bytes{1, 0, 10, 255}));

    const Bytes file32 = Tga(32, 0x28, Numbered(4));
    const CImage b = DecodeTga(file32.data(), file32.size(), "b.tga");
    EXPECT_EQ((Bytes{b.rgba.begin(), b.rgba.begin() + 4}), (Bytes{1, 0, 10, 101}));
}

TEST(TgaImage, RefusesWhatItCannotShow) {
    Bytes truncated = Tga(24, 0, Numbered(3));
    truncated.pop_back();
    Bytes colourMapped = Tga(24, 0, Numbered(3));
    colourMapped[1] = 1;
    const struct {
        const char* what;
        Bytes file;
    } cases[] = {
        {"short header", Bytes(17, 0)},
        {"run-length coded", Tga(24, 0, Numbered(3), 2, 2, 10)},
        {"grey scale", Tga(24, 0, Numbered(3), 2, 2, 3)},
        {"colour map", colourMapped},
        {"16 bits per pixel", Tga(16, 0, Bytes(8, 0))},
        {"no width", Tga(24, 0, {}, 0, 2)},
        {"too wide", Tga(24, 0, {}, 5000, 1)},
        {"one byte short", truncated},
        {"id longer than the file", Tga(24, 0, {}, 2, 2, 2, 0) /* header only */},
    };
    for (const auto& c : cases) {
        const CaughtError e = Catch([&] { DecodeTga(c.file.data(), c.file.size(), "bad.tga"); });
        EXPECT_TRUE(e.thrown) << c.what;
        EXPECT_EQ(e.type, "Bad Resource") << c.what;
        EXPECT_NE(e.message.find("DecodeTga : 'bad.tga'"), std::string::npos) << c.what << ": " << e.message;
    }
    EXPECT_TRUE(Catch([] { DecodeTga(nullptr, 100, "null.tga"); }).thrown);
}

}  // namespace
