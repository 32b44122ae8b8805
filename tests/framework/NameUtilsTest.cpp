#include "framework/NameUtils.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

TEST(GetNameBeforeDot, CutsAtFirstDotAndLowerCases)
{
    EXPECT_STREQ(GetNameBeforeDot("Data/Model.X"), "data/model");
    EXPECT_STREQ(GetNameBeforeDot("archive.tar.gz"), "archive");
    EXPECT_STREQ(GetNameBeforeDot("NoDot"), "nodot");
    EXPECT_STREQ(GetNameBeforeDot("My.Dir/File.txt"), "my");
    EXPECT_STREQ(GetNameBeforeDot(nullptr), "");
}

TEST(GetNameBeforeDot, RingOfFourBuffers)
{
    const char* r[5];
    const char* inputs[5] = {"A", "B", "C", "D", "E"};
    for (int i = 0; i < 5; ++i)
        r[i] = GetNameBeforeDot(inputs[i]);
    // Four results live at once; the fifth call reuses the first buffer.
    EXPECT_EQ(r[4], r[0]);
    EXPECT_STREQ(r[1], "b");
    EXPECT_STREQ(r[2], "c");
    EXPECT_STREQ(r[3], "d");
    EXPECT_STREQ(r[4], "e");
}

TEST(GetNameBeforeDot, LongTextIsCutAt255)
{
    const std::string longText(1000, 'K');
    const char* r = GetNameBeforeDot(longText.c_str());
    EXPECT_EQ(std::string(r), std::string(255, 'k'));
}

TEST(GetNameBeforeDot, EarlierResultMayBePassedBackIn)
{
    const char* first = GetNameBeforeDot("Keep.Me");
    GetNameBeforeDot("x");
    GetNameBeforeDot("y");
    GetNameBeforeDot("z");
    // The next call takes first's own buffer.
    EXPECT_STREQ(GetNameBeforeDot(first), "keep");
}

TEST(GetExtension, Table)
{
    EXPECT_STREQ(GetExtension("Texture.TGA"), "tga");
    EXPECT_STREQ(GetExtension("a.b.JPG"), "jpg");
    EXPECT_STREQ(GetExtension("name."), "");
    EXPECT_STREQ(GetExtension("dir.v2/File"), "v2/file");

    const char* readme = "readme";
    EXPECT_EQ(GetExtension(readme), readme);
    const char* hidden = ".Hidden";
    EXPECT_EQ(GetExtension(hidden), hidden);
    const char* empty = "";
    EXPECT_EQ(GetExtension(empty), empty);
    EXPECT_EQ(GetExtension(nullptr), nullptr);
}

TEST(HasExtension, Table)
{
    EXPECT_TRUE(HasExtension("Texture.TGA"));
    EXPECT_TRUE(HasExtension("x."));
    EXPECT_FALSE(HasExtension("readme"));
    EXPECT_FALSE(HasExtension(".hidden"));
    EXPECT_FALSE(HasExtension(""));
    EXPECT_FALSE(HasExtension(nullptr));
}

TEST(GetExtension, LongExtensionIsCutAt127)
{
    const std::string name = "file." + std::string(500, 'E');
    EXPECT_EQ(std::string(GetExtension(name.c_str())), std::string(127, 'e'));
}

TEST(GetFileName, Table)
{
    EXPECT_STREQ(GetFileName("Maps\\Level1.Map"), "level1.map");
    EXPECT_STREQ(GetFileName("a/b/C.TXT"), "c.txt");
    EXPECT_STREQ(GetFileName("dir/"), "");
    const char* bare = "Level1.Map";
    EXPECT_EQ(GetFileName(bare), bare);
    EXPECT_STREQ(GetFileName(bare), "Level1.Map");
    const char* rooted = "/Root";
    EXPECT_EQ(GetFileName(rooted), rooted);
}

TEST(GetFileName, LongNameIsCutAt127)
{
    const std::string path = "dir/" + std::string(400, 'N');
    EXPECT_EQ(std::string(GetFileName(path.c_str())), std::string(127, 'n'));
}

TEST(GetTailFrom, Table)
{
    EXPECT_STREQ(GetTailFrom("Data/Textures/Wall.TGA", "Textures"), "textures/wall.tga");
    EXPECT_STREQ(GetTailFrom("Data/Textures/Wall.TGA", "textures"), "data/textures/wall.tga");
    EXPECT_STREQ(GetTailFrom("Data/X", nullptr), "data/x");
    EXPECT_STREQ(GetTailFrom("Data/X", ""), "data/x");
}

TEST(GetTailFrom, LowersOnlyFromTheOccurrence)
{
    const char* tail = GetTailFrom("ABC/Def/GHI", "Def");
    EXPECT_STREQ(tail, "def/ghi");
    // The part before the occurrence stays as it was in the same buffer.
    EXPECT_EQ(std::string(tail - 4, 4), "ABC/");
}

TEST(GetTailFrom, LongTextIsCutAt255AndPatternBeyondIsNotFound)
{
    const std::string text = std::string(300, 'A') + "Mark";
    const char* r = GetTailFrom(text.c_str(), "Mark");
    EXPECT_EQ(std::string(r), std::string(255, 'a'));
}

TEST(LowerCase, OnlyAsciiLettersChangeInUtf8Names)
{
    // "Ÿ" is C5 B8 and "Ä" is C3 84 in UTF-8: their bytes must survive.
    const char* name = "Dir/\xC3\x84pfel\xC5\xB8.PNG";
    EXPECT_STREQ(GetNameBeforeDot(name), "dir/\xC3\x84pfel\xC5\xB8");
    EXPECT_STREQ(GetExtension(name), "png");

    // Under a single-byte locale the library would lower-case 0xC3 (or 0xC5)
    // as Latin-1 letters; the bytes still have to stay.
    const char* old = std::setlocale(LC_CTYPE, nullptr);
    std::string saved = old ? old : "C";
    if (std::setlocale(LC_CTYPE, "en_US.ISO-8859-1") || std::setlocale(LC_CTYPE, "de_DE.ISO-8859-1"))
    {
        EXPECT_STREQ(GetNameBeforeDot(name), "dir/\xC3\x84pfel\xC5\xB8");
    }
    std::setlocale(LC_CTYPE, saved.c_str());
}
