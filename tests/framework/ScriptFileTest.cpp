#include "ScriptTestSupport.h"

#include "errors/Error.h"
#include "filesystem/RARFileSystem.h"
#include "framework/ScriptFile.h"

#include <cstring>
#include <fstream>

namespace {

struct ErrorDeleter
{
    void operator()(CError* e) const { DeleteError(e); }
};
using ErrorPtr = std::unique_ptr<CError, ErrorDeleter>;

// Runs f and returns the CError it raises (owned by the caller), or null.
template <class F>
ErrorPtr Raised(F f)
{
    try
    {
        f();
    }
    catch (CError* e)
    {
        return ErrorPtr(e);
    }
    return nullptr;
}

} // namespace

TEST_F(ScriptTest, ReaderLoadsTheWholeFileAndClosesIt)
{
    fs.files["level.txt"] = "name \"Level One\"\r\nsize 3";
    CScriptFile script("level.txt", false);
    EXPECT_EQ(fs.openCount, 0);
    EXPECT_EQ(fs.calls.front(), "OpenFile level.txt rb");
    EXPECT_FALSE(script.IsWriting());
    EXPECT_STREQ(script.GetName(), "level.txt");
    EXPECT_TRUE(script.ExpectToken("name"));
    EXPECT_STREQ(script.ReadToken('"'), "Level One");
    EXPECT_FALSE(script.ExpectToken("Size")); // case-sensitive, consumed anyway
    EXPECT_TRUE(script.ExpectToken(nullptr));
    EXPECT_TRUE(script.AtEnd());
}

TEST_F(ScriptTest, MissingFilesRaiseMissingResource)
{
    auto error = Raised([] { CScriptFile script("nope.txt", false); });
    ASSERT_TRUE(error);
    EXPECT_STREQ(error->GetTypeName(), "Missing Resource");
    EXPECT_STREQ(error->message, "Can't open 'nope.txt'");

    SetProcessFileSystem(nullptr);
    error = Raised([] { CScriptFile script("out.txt", true); });
    ASSERT_TRUE(error);
    EXPECT_STREQ(error->GetTypeName(), "Missing Resource");
    EXPECT_STREQ(error->message, "Can't open 'out.txt' for saving");
}

TEST_F(ScriptTest, LongNameIsKeptTo127Characters)
{
    const std::string name(200, 'n');
    fs.files[name] = "x";
    CScriptFile script(name.c_str(), false);
    EXPECT_EQ(std::string(script.GetName()), name.substr(0, 127));
}

TEST_F(ScriptTest, FindToken)
{
    const std::string text = "a stop b c";
    CScriptFile script(text.data(), static_cast<int32_t>(text.size()));

    EXPECT_FALSE(script.FindToken("b", "stop", false));
    EXPECT_EQ(script.GetPosition(), 0);

    EXPECT_TRUE(script.FindToken("b", nullptr, false));
    EXPECT_EQ(script.GetPosition(), 9); // just after "b" and its separator
    EXPECT_STREQ(script.ReadToken('"'), "c");

    EXPECT_FALSE(script.FindToken("a", nullptr, false));
    EXPECT_TRUE(script.FindToken("a", nullptr, true));
    EXPECT_STREQ(script.ReadToken('"'), "stop");

    // A token equal to both counts as the stop.
    EXPECT_FALSE(script.FindToken("c", "c", false));
    EXPECT_STREQ(script.ReadToken('"'), "b");
}

TEST_F(ScriptTest, FindTokenRestoresTheLineWhenNothingIsFound)
{
    const std::string text = "a\r\nb\r\nc\r\nd";
    CScriptFile script(text.data(), static_cast<int32_t>(text.size()));
    script.ReadToken('"');
    script.ReadToken('"');
    EXPECT_EQ(script.GetLine(), 2);
    EXPECT_FALSE(script.FindToken("zz", nullptr, true));
    EXPECT_EQ(script.GetLine(), 2);
    EXPECT_EQ(script.GetPosition(), 5);
    EXPECT_TRUE(script.FindToken("a", nullptr, true));
    EXPECT_EQ(script.GetLine(), 1);
}

TEST_F(ScriptTest, AnchorsSaveAndRestorePositions)
{
    const std::string text = "one\r\ntwo\r\nthree";
    CScriptFile script(text.data(), static_cast<int32_t>(text.size()));
    script.ReadToken('"');
    const int anchor = script.SetAnchor();
    EXPECT_EQ(anchor, 0);
    EXPECT_STREQ(script.ReadToken('"'), "two");
    script.ReadToken('"');
    script.RewindToAnchor(anchor, false);
    EXPECT_EQ(script.GetLine(), 1);
    EXPECT_STREQ(script.ReadToken('"'), "two");
    script.RewindToAnchor(anchor, false); // may be repeated
    EXPECT_STREQ(script.ReadToken('"'), "two");
    script.RewindToAnchor(anchor, true);
    EXPECT_STREQ(script.ReadToken('"'), "two");
    EXPECT_TRUE(LogLines().empty());

    script.RewindToAnchor(anchor, true); // released: warning, nothing moves
    EXPECT_STREQ(script.ReadToken('"'), "three");
    const auto lines = LogLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "Warning: non-existant anchor 0 used for rewinding in file '$internal$'");
}

TEST_F(ScriptTest, BadAnchorIndexesAreLoggedAndChangeNothing)
{
    fs.files["a.txt"] = "x y";
    CScriptFile script("a.txt", false);
    script.ReadToken('"');
    script.RewindToAnchor(4, true);
    script.RewindToAnchor(-1, false);
    script.RemoveAnchor(7);
    script.RemoveAnchor(2);
    EXPECT_EQ(script.GetPosition(), 2);
    const std::vector<std::string> expected = {
        "Warning: invalid anchor 4 used for rewinding in file 'a.txt'",
        "Warning: invalid anchor -1 used for rewinding in file 'a.txt'",
        "Warning: invalid anchor 7 removed in file 'a.txt'",
        "Warning: non-existant anchor 2 removed in file 'a.txt'",
    };
    EXPECT_EQ(LogLines(), expected);
}

TEST_F(ScriptTest, FifthAnchorRaisesAndNamesTheSource)
{
    fs.files["a.txt"] = "x";
    CScriptFile fromFile("a.txt", false);
    const std::string text = "x";
    CScriptFile inMemory(text.data(), 1);
    for (CScriptFile* script : {&fromFile, &inMemory})
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(script->SetAnchor(), i);

    auto error = Raised([&] { fromFile.SetAnchor(); });
    ASSERT_TRUE(error);
    EXPECT_STREQ(error->GetTypeName(), "Runtime");
    EXPECT_STREQ(error->message, "Error: too many anchors for file 'a.txt'");
    error = Raised([&] { inMemory.SetAnchor(); });
    ASSERT_TRUE(error);
    EXPECT_STREQ(error->message, "Error: too many anchors for file '$internal$'");

    // Raised with its own class's pointer type.
    try
    {
        inMemory.SetAnchor();
        ADD_FAILURE() << "no error raised";
    }
    catch (CErrorRuntime* e)
    {
        DeleteError(e);
    }

    // Anchors stay as they were; freeing one makes it the next to be taken.
    inMemory.RemoveAnchor(2);
    EXPECT_EQ(inMemory.SetAnchor(), 2);
}

TEST_F(ScriptTest, WriterHoldsTheFileOpenUntilDestroyed)
{
    {
        CScriptFile script("out.txt", true);
        EXPECT_TRUE(script.IsWriting());
        EXPECT_EQ(fs.openCount, 1);
        EXPECT_EQ(fs.calls.front(), "OpenFile out.txt wb");
        EXPECT_TRUE(script.AtEnd()); // a writer reads an empty text
    }
    EXPECT_EQ(fs.openCount, 0);
    EXPECT_EQ(fs.calls.back(), "CloseFile 1");
}

TEST_F(ScriptTest, WriterOutput)
{
    {
        CScriptFile script("out.txt", true);
        script.WriteString("two words", '"');
        script.WriteChar('|');
        script.WriteString("one", '"');
        script.WriteChar('|');
        script.WriteString(" ", '"');
        script.WriteChar('|');
        script.WriteString("", '"');
        script.WriteToken("a b c", 3, '"');
        script.WriteToken("ab", 10, '"'); // cut at the NUL
        script.WriteChar('|');
        script.WriteFloat(3.0f);
        script.WriteFloat(0.125f);
        script.WriteFloat(1.5f);
        script.WriteFloat(0.0f);
        script.WriteFloat(-0.25f);
        script.WriteFloat(100.0f);
        script.WriteInt(-7);
        script.WriteVector3(CVector3{1, 2, 3});
        script.WriteVector4(CQuaternion{0, 0, 0, 1});
    }
    EXPECT_EQ(fs.files["out.txt"],
              "\"two words\"|one| |\"a b\"ab|3 0.125 1.5 0 -0.25 100 -7 1 2 3 0 0 0 1 ");
}

TEST_F(ScriptTest, WritingOnAReaderWritesNothingAndWarns)
{
    const std::string text = "x";
    CScriptFile script(text.data(), 1);
    script.WriteInt(5);
    EXPECT_TRUE(fs.calls.empty());
    const auto lines = LogLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "Warning: script file '$internal$' is not open for writing");
}

TEST_F(ScriptTest, WrittenScriptReadsBack)
{
    const std::vector<std::string> words = {"plain", "with space", "semi;colon", "comma,here", "tab\there",
                                            "line\r\nend", "x//y", "\xC3\xA4nderung"};
    {
        CScriptFile script("round.txt", true);
        for (const std::string& w : words)
        {
            script.WriteString(w.c_str(), '"');
            script.WriteChar(' ');
        }
        script.WriteString("\r\n", '"');
        script.WriteFloat(-12.5f);
        script.WriteInt(2147483647);
        script.WriteVector3(CVector3{0.5f, -1.75f, 1000000.0f});
        script.WriteVector4(CVector4{0.001f, 2.0f, -3.0f, 4.25f});
        script.WriteString("//", '"');
        script.WriteChar(' ');
        script.WriteString("comment", '"');
        script.WriteString("\r\n", '"'); // separators only: unquoted
        script.WriteString("last", '"');
    }
    CScriptFile script("round.txt", false);
    for (const std::string& w : words)
        EXPECT_EQ(script.ReadToken('"'), w);
    const std::vector<std::string> numbers = {"-12.5", "2147483647", "0.5", "-1.75", "1000000",
                                              "0.001", "2", "-3", "4.25"};
    for (const std::string& n : numbers)
        EXPECT_EQ(script.ReadToken('"'), n);
    // The comment line written token by token is skipped.
    EXPECT_STREQ(script.ReadToken('"'), "last");
    EXPECT_TRUE(script.AtEnd());
}

TEST_F(ScriptTest, ReadsThroughTheHostFileSystem)
{
    CRARFileSystem host;
    SetProcessFileSystem(&host);
    {
        std::ofstream out(Dir() / "plain.txt", std::ios::binary);
        out << "alpha /* skipped */ beta\r\n";
    }
    CScriptFile script("plain.txt", false);
    EXPECT_STREQ(script.ReadToken('"'), "alpha");
    EXPECT_STREQ(script.ReadToken('"'), "beta");
    EXPECT_EQ(script.GetLine(), 1);
    EXPECT_TRUE(script.AtEnd());

    auto error = Raised([] { CScriptFile missing("missing.txt", false); });
    ASSERT_TRUE(error);
    EXPECT_STREQ(error->message, "Can't open 'missing.txt'");
    SetProcessFileSystem(&fs);
}
