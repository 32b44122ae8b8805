#include "framework/FixedString.h"

#include <gtest/gtest.h>

#include <string>

TEST(FormatFixed, FormatsLikePrintf)
{
    EXPECT_STREQ(FormatFixed("%d", -12).c_str(), "-12");
    EXPECT_STREQ(FormatFixed("%f", 1.5).c_str(), "1.500000");
    EXPECT_STREQ(FormatFixed("%s-%s", "a", "b").c_str(), "a-b");
}

TEST(FormatFixed, KeepsFirst127CharactersOfLongOutput)
{
    const std::string longText(200, 'x');
    const CFixedString s = FormatFixed("%s", longText.c_str());
    EXPECT_EQ(s.Length(), 127u);
    EXPECT_EQ(std::string(s.c_str()), longText.substr(0, 127));
}

TEST(FormatFixed, OutputBeyondTheWorkBufferIsCutSafely)
{
    // Far more than 4095 characters of output: the old work buffer size.
    const std::string huge(10000, 'y');
    const CFixedString s = FormatFixed("%s%s", huge.c_str(), huge.c_str());
    EXPECT_EQ(std::string(s.c_str()), huge.substr(0, 127));
}

TEST(FixedString, ConstructorCutsAndIsCopiedByValue)
{
    const std::string longText(300, 'z');
    CFixedString a(longText.c_str());
    EXPECT_EQ(a.Length(), 127u);
    CFixedString b = a;
    a.text[0] = 'q';
    EXPECT_EQ(b.text[0], 'z');
    EXPECT_STREQ(CFixedString(nullptr).c_str(), "");
}

TEST(FixedString, IsNumber)
{
    struct Case { const char* text; bool allowPoint; bool expected; };
    const Case cases[] = {
        {"0042", false, true},  {"4.2", false, false}, {"4.2", true, true},
        {"4.2.1", true, false}, {"-1", true, false},   {"+1", false, false},
        {"", false, true},      {".", true, true},     {".", false, false},
        {"12.", true, true},    {".5", true, true},    {"1e5", true, false},
        {" 1", false, false},   {"1 ", false, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CFixedString(c.text).IsNumber(c.allowPoint), c.expected)
            << "'" << c.text << "' allowPoint=" << c.allowPoint;
}
