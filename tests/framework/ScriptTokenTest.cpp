// The token stream rules, as tables of input text and the tokens it yields.
#include "framework/ScriptFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TokenCase
{
    const char* what;
    std::string input;
    std::vector<std::string> tokens; // then the empty text
    int quote = '"';
};

std::vector<std::string> AllTokens(const std::string& input, int quote)
{
    CScriptFile script(input.data(), static_cast<int32_t>(input.size()));
    std::vector<std::string> tokens;
    for (int guard = 0; guard < 1000; ++guard)
    {
        const std::string token = script.ReadToken(quote);
        if (token.empty())
            break;
        tokens.push_back(token);
    }
    return tokens;
}

const std::string k300(300, 'x');

const TokenCase kCases[] = {
    {"separators", "alpha, beta;gamma\tdelta", {"alpha", "beta", "gamma", "delta"}},
    {"leading separators", ",,, x", {"x"}},
    {"all separators", " \t;,\r\n", {}},
    {"empty", "", {}},
    {"quoted keeps separators", "\"a b\" c", {"a b", "c"}},
    {"quotes toggle inside a token", "ab\"c d\"e", {"abc de"}},
    {"quotes may stand anywhere", "a\"\"b \"\"c", {"ab", "c"}},
    {"empty quotes make no token", "\"\" x", {"x"}},
    {"unclosed quote runs to the end", "a \"b c,d", {"a", "b c,d"}},
    {"quoted line ends", "\"a\r\nb\"", {"a\r\nb"}},
    {"quoted NUL is dropped", std::string("\"a\0b\"", 5), {"ab"}},
    {"other quote character", "'a b' \"c", {"a b", "\"c"}, '\''},
    {"no quote character", "\"a b\"", {"\"a", "b\""}, -1},
    {"NUL separates", std::string("a\0b", 3), {"a", "b"}},
    {"line comment CRLF", "// note\r\nvalue", {"value"}},
    {"line comment LF", "// note\nvalue", {"value"}},
    {"line comment CR", "// note\rvalue", {"value"}},
    {"glued line comment LF", "//note\nvalue\nmore", {"value", "more"}},
    {"bare // at line end LF", "//\nvalue\nmore", {"value", "more"}},
    {"bare // at line end CRLF", "//\r\nvalue\r\nmore", {"value", "more"}},
    {"comment after a token", "a // b c\nd", {"a", "d"}},
    {"comment only at a token's start", "x//y z", {"x//y", "z"}},
    {"block comment", "/* a b */ value", {"value"}},
    {"glued close does not end a block", "/*a*/ value", {}},
    {"close at a token's start ends a block", "/*a*/ value */x more", {"more"}},
    {"line comment inside a block is ignored", "/* // */ v", {"v"}},
    {"close outside a block is a token", "*/ a", {"*/", "a"}},
    {"quoted comment marker is a comment", "\"//\"a b\nc", {"c"}},
    {"comment then comment", "// a\n/* b */ // c\nd", {"d"}},
    {"ends inside a block", "a /* b c", {"a"}},
    {"ends after a closing marker", "a /* b */", {"a"}},
    {"last line is a comment", "a\n// tail", {"a"}},
    {"300 characters: 255 then 45", k300, {std::string(255, 'x'), std::string(45, 'x')}},
    {"cut then separator", std::string(255, 'y') + " z", {std::string(255, 'y'), "z"}},
    {"cut inside quotes", "\"" + std::string(260, 'q') + "\"", {std::string(255, 'q'), std::string(5, 'q')}},
    {"high bytes are characters", "\xC3\xA4\xFF x", {"\xC3\xA4\xFF", "x"}},
};

} // namespace

TEST(ScriptTokens, Table)
{
    for (const TokenCase& c : kCases)
        EXPECT_EQ(AllTokens(c.input, c.quote), c.tokens) << c.what;
}

TEST(ScriptTokens, AtEndMatchesTheNextTokenAndDoesNotMove)
{
    for (const TokenCase& c : kCases)
    {
        CScriptFile script(c.input.data(), static_cast<int32_t>(c.input.size()));
        for (std::size_t i = 0; i <= c.tokens.size(); ++i)
        {
            if (c.quote != '"')
                break; // AtEnd reads with the double quote
            const int32_t position = script.GetPosition();
            const int32_t line = script.GetLine();
            EXPECT_EQ(script.AtEnd(), i == c.tokens.size()) << c.what << " token " << i;
            EXPECT_EQ(script.GetPosition(), position);
            EXPECT_EQ(script.GetLine(), line);
            script.ReadToken('"');
        }
    }
}

TEST(ScriptTokens, LineCountsCarriageReturns)
{
    struct LineCase { const char* text; int tokens; int line; };
    const LineCase cases[] = {
        {"a\r\nb\r\nc", 3, 2},
        {"a\r\nb\r\nc\r\n", 3, 3},
        {"a\nb\nc\n", 3, 0},   // bare LF is not counted
        {"a\rb\rc", 3, 2},     // CR alone is
        {"// x\r\n// y\r\nz", 1, 2},
        {"/* \r\n\r\n */ z", 1, 2},
        {"\"a\r\nb\" c", 2, 1},
    };
    for (const LineCase& c : cases)
    {
        CScriptFile script(c.text, static_cast<int32_t>(std::string(c.text).size()));
        for (int i = 0; i < c.tokens; ++i)
            EXPECT_STRNE(script.ReadToken('"'), "") << c.text;
        EXPECT_EQ(script.GetLine(), c.line) << c.text;
        EXPECT_STREQ(script.ReadToken('"'), "") << c.text;
    }
}

TEST(ScriptTokens, SkipLineStopsAfterCrOrLf)
{
    const std::string text = "a b\r\nc d\ne";
    CScriptFile script(text.data(), static_cast<int32_t>(text.size()));
    EXPECT_STREQ(script.ReadToken('"'), "a");
    script.SkipLine(); // rest of "b\r"
    EXPECT_EQ(script.GetLine(), 1);
    EXPECT_STREQ(script.ReadToken('"'), "c");
    script.SkipLine(); // "d\n"
    EXPECT_STREQ(script.ReadToken('"'), "e");
    script.SkipLine();
    EXPECT_EQ(script.GetPosition(), script.GetSize());
}

TEST(ScriptTokens, DataNeedNotBeTerminated)
{
    // Reads stop at the size even though the bytes after it are not NUL.
    const char text[] = {'a', 'b', ' ', 'c', 'd', 'X', 'X'};
    CScriptFile script(text, 5);
    EXPECT_STREQ(script.ReadToken('"'), "ab");
    EXPECT_STREQ(script.ReadToken('"'), "cd");
    EXPECT_STREQ(script.ReadToken('"'), "");
}

TEST(ScriptTokens, EightTokenBuffersInRotation)
{
    const std::string text = "t0 t1 t2 t3 t4 t5 t6 t7 t8";
    CScriptFile script(text.data(), static_cast<int32_t>(text.size()));
    const char* tokens[9];
    for (const char*& t : tokens)
        t = script.ReadToken('"');
    EXPECT_EQ(tokens[8], tokens[0]);
    EXPECT_STREQ(tokens[0], "t8");
    EXPECT_STREQ(tokens[1], "t1");
    EXPECT_STREQ(tokens[7], "t7");
    // The scratch buffer is the next of the same ring.
    EXPECT_EQ(NextScratchBuffer(), tokens[1]);
}

TEST(ScriptTokens, AttachStartsOverAndNullDataIsEmpty)
{
    const std::string first = "a b", second = "c";
    CScriptFile script(first.data(), 3);
    script.ReadToken('"');
    script.Attach(second.data(), 1);
    EXPECT_EQ(script.GetPosition(), 0);
    EXPECT_STREQ(script.ReadToken('"'), "c");
    script.Attach(nullptr, 10);
    EXPECT_EQ(script.GetSize(), 0);
    EXPECT_TRUE(script.AtEnd());
    CScriptFile negative("abc", -4);
    EXPECT_STREQ(negative.ReadToken('"'), "");
}
