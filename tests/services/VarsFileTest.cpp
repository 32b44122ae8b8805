// vars.cfg: reading, writing and the round trip.
#include <filesystem>
#include <random>
#include <string>

#include "VarsRoundTrip.h"
#include "WorkDir.h"
#include "sdk/Services.h"
#include "vars/HostVars.h"
#include "vars/VarList.h"
#include "vars/VarsFile.h"

namespace {

class VarsFileTest : public WorkDirTest {
protected:
    void SetUp() override {
        WorkDirTest::SetUp();
        list_ = new CVarList;
        host_ = RegisterHostVars(*list_);
    }
    void TearDown() override {
        delete list_;
        WorkDirTest::TearDown();
    }
    CVarList* list_ = nullptr;
    HostVars host_{};
};

const char kDefaultFile[] = "s_alwaysontop \"0\"\ns_dontusepack \"1\"\ns_disablememorycache \"0\"\n";

TEST_F(VarsFileTest, MissingFileKeepsDefaultsAndSaveWritesThem) {
    list_->LoadVarsFile();
    EXPECT_EQ(host_.dontUsePack->value.asInt, 1);
    EXPECT_FALSE(std::filesystem::exists("vars.cfg"));
    list_->SaveVarsFile();
    EXPECT_EQ(ReadFile("vars.cfg"), kDefaultFile);
    EXPECT_FALSE(std::filesystem::exists("vars.cfg.tmp"));
}

TEST_F(VarsFileTest, SaveWritesOnlySavedVariablesNewestFirst) {
    list_->RegisterString("r_title", "Hello", VARF_SAVE, nullptr);
    list_->RegisterInt("r_unsaved", 5, 0, nullptr);
    list_->RegisterFloat("r_gamma", 1.5f, VARF_SAVE | 4, nullptr);
    host_.time->SetInt(99);
    list_->SaveVarsFile();
    EXPECT_EQ(ReadFile("vars.cfg"), std::string("r_gamma \"1.500000\"\nr_title \"Hello\"\n") + kDefaultFile);
}

// Each file is loaded into a fresh set of host variables plus t_text (a
// saved text variable) and t_float; then the listed variable is checked.
struct LoadCase {
    const char* name;
    std::string file;
    const char* variable;
    const char* text;
    int32_t asInt;
};

TEST_F(VarsFileTest, LoadReadsPairsOfTokens) {
    const LoadCase cases[] = {
        {"quoted", "s_alwaysontop \"1\"\n", "s_alwaysontop", "1", 1},
        {"unquoted", "s_alwaysontop 1\n", "s_alwaysontop", "1", 1},
        {"pair over two lines", "s_alwaysontop\n\"1\"\n", "s_alwaysontop", "1", 1},
        {"crlf", "s_dontusepack \"0\"\r\ns_alwaysontop \"1\"\r\n", "s_dontusepack", "0", 0},
        {"crlf second", "s_dontusepack \"0\"\r\ns_alwaysontop \"1\"\r\n", "s_alwaysontop", "1", 1},
        {"tabs and blank lines", "\n\n\ts_alwaysontop\t\t\"1\"\n\n", "s_alwaysontop", "1", 1},
        {"not saved", "s_time \"500\"\n", "s_time", "0", 0},
        {"unknown name", "r_nothing \"5\"\ns_alwaysontop \"1\"\n", "s_alwaysontop", "1", 1},
        {"empty quotes", "t_text \"\"\n", "t_text", "", 0},
        {"only spaces", "t_text \"   \"\n", "t_text", "", 0},
        {"quote inside", "t_text 1\"2\n", "t_text", "12", 12},
        {"many quotes", "t_text \"\"\"7\"\"\n", "t_text", "7", 7},
        {"quoted name", "\"s_alwaysontop\" \"1\"\n", "s_alwaysontop", "0", 0},
        {"later wins", "s_alwaysontop \"1\"\ns_alwaysontop \"2\"\n", "s_alwaysontop", "2", 2},
        {"trailing name", "s_alwaysontop \"1\"\ns_dontusepack\n", "s_dontusepack", "1", 1},
        {"case matters", "S_ALWAYSONTOP \"1\"\n", "s_alwaysontop", "0", 0},
        {"float text", "t_float \"2.500000\"\n", "t_float", "2.500000", 2},
        {"spaces in quotes", "t_text \"a b  c\"\ns_alwaysontop \"1\"\n", "t_text", "a b  c", 0},
        {"pairs after spaces", "t_text \"a b  c\"\ns_alwaysontop \"1\"\n", "s_alwaysontop", "1", 1},
        {"two pairs on a line", "t_text \"x\" s_alwaysontop \"1\"", "s_alwaysontop", "1", 1},
        {"open quote ends at white space", "t_text \"a b\ns_alwaysontop 1\n", "t_text", "a", 0},
        {"closed quote runs plain", "t_text \"1\"x s_alwaysontop \"1\"\n", "t_text", "1x", 1},
        {"closed quote pairs on", "t_text \"1\"x s_alwaysontop \"1\"\n", "s_alwaysontop", "1", 1},
        {"lone quote then spaces", "t_text \" x\"\n", "t_text", " x", 0},
        {"quote too far away", "t_text \"a " + std::string(300, 'b') + "\"\ns_alwaysontop 1\n", "t_text", "a", 0},
        {"no final line end", "s_alwaysontop \"3\"", "s_alwaysontop", "3", 3},
        {"empty file", "", "s_alwaysontop", "0", 0},
    };
    for (const LoadCase& c : cases) {
        CVarList list;
        HostVars h = RegisterHostVars(list);
        (void)h;
        list.RegisterString("t_text", "unset", VARF_SAVE, nullptr);
        list.RegisterFloat("t_float", 0.0f, VARF_SAVE, nullptr);
        WriteFile("vars.cfg", c.file);
        list.LoadVarsFile();
        CVariable* v = list.Find(c.variable);
        ASSERT_NE(v, nullptr) << c.name;
        EXPECT_STREQ(v->value.asString, c.text) << c.name;
        EXPECT_EQ(v->value.asInt, c.asInt) << c.name;
    }
}

TEST_F(VarsFileTest, SavedFloatLoadsBackByTextConversion) {
    CVariable* f = list_->RegisterFloat("t_float", 2.5f, VARF_SAVE, nullptr);
    EXPECT_EQ(f->value.asInt, 3);
    list_->SaveVarsFile();
    f->SetInt(0);
    list_->LoadVarsFile();
    EXPECT_EQ(f->value.asInt, 2);
    EXPECT_FLOAT_EQ(f->value.asFloat, 2.5f);
}

int g_loads = 0;
void CountLoad(CVariable*) { ++g_loads; }

TEST_F(VarsFileTest, LoadRunsTheChangeCallback) {
    g_loads = 0;
    list_->RegisterInt("r_width_phys", 800, VARF_SAVE, CountLoad);
    WriteFile("vars.cfg", "r_width_phys \"1024\"\nr_other \"1\"\n");
    list_->LoadVarsFile();
    EXPECT_EQ(g_loads, 1);
    EXPECT_EQ(list_->Find("r_width_phys")->value.asInt, 1024);
}

TEST_F(VarsFileTest, LongTokensAreCutAndThePairingHolds) {
    CVariable* text = list_->RegisterString("t_text", "", VARF_SAVE, nullptr);
    const std::string longValue(1000, 'v');
    const std::string longName(5000, 'n');
    WriteFile("vars.cfg", longName + " \"x\"\nt_text \"" + longValue + "\"\ns_alwaysontop \"1\"\n");
    list_->LoadVarsFile();
    EXPECT_EQ(std::string(text->value.asString), longValue.substr(0, 255));
    EXPECT_EQ(host_.alwaysOnTop->value.asInt, 1);
}

TEST_F(VarsFileTest, TextValuesRoundTrip) {
    const std::string longest = "x" + std::string(253, ' ') + "y";  // 255 characters
    const char* values[] = {longest.c_str(), "plain", "two words", "  leading and trailing  ", "tab\there", "", "x", "50%"};
    for (const char* value : values) {
        {
            CVarList list;
            list.RegisterString("t_text", value, VARF_SAVE, nullptr);
            list.RegisterInt("t_after", 7, VARF_SAVE, nullptr);
            list.SaveVarsFile();
        }
        CVarList list;
        CVariable* text = list.RegisterString("t_text", "other", VARF_SAVE, nullptr);
        CVariable* after = list.RegisterInt("t_after", 0, VARF_SAVE, nullptr);
        list.LoadVarsFile();
        std::string expected = value;
        if (expected.find_first_not_of(' ') == std::string::npos) expected.clear();
        EXPECT_EQ(std::string(text->value.asString), expected) << "'" << value << "'";
        EXPECT_EQ(after->value.asInt, 7) << "'" << value << "'";
    }
}

TEST_F(VarsFileTest, OddValuesAndNamesNeverShiftTheLinesAfterThem) {
    struct Case {
        const char* value;
        const char* loaded;
    } const cases[] = {
        {"say \"hi\" now", "say hi now"},
        {"two\nlines", "two lines"},
        {"crlf\r\nend", "crlf  end"},
        {"\"", ""},
        {"a\" ", "a "},
    };
    for (const Case& c : cases) {
        {
            CVarList list;
            list.RegisterInt("t_after", 7, VARF_SAVE, nullptr);
            list.RegisterString("t_text", c.value, VARF_SAVE, nullptr);
            list.RegisterInt("has space", 3, VARF_SAVE, nullptr);
            list.RegisterInt("", 4, VARF_SAVE, nullptr);
            list.RegisterInt("t_before", 5, VARF_SAVE, nullptr);
            list.SaveVarsFile();
        }
        CVarList list;
        CVariable* before = list.RegisterInt("t_before", 0, VARF_SAVE, nullptr);
        CVariable* text = list.RegisterString("t_text", "other", VARF_SAVE, nullptr);
        CVariable* after = list.RegisterInt("t_after", 0, VARF_SAVE, nullptr);
        list.LoadVarsFile();
        EXPECT_EQ(before->value.asInt, 5) << c.value;
        EXPECT_STREQ(text->value.asString, c.loaded) << c.value;
        EXPECT_EQ(after->value.asInt, 7) << c.value;
    }
    EXPECT_EQ(ReadFile("vars.cfg"), "t_before \"5\"\nt_text \"a \"\nt_after \"7\"\n");
}

TEST(VarsText, RandomValuesRoundTrip) {
    std::mt19937 rng(12345);
    const char alphabet[] = "ab \t\n\r\v\f\"\\x1%";
    for (int round = 0; round < 2000; ++round) {
        std::string value;
        for (size_t n = rng() % 12; n > 0; --n) value += alphabet[rng() % (sizeof alphabet - 1)];
        const VarsRoundTrip r = RoundTripValue(value);
        ASSERT_EQ(r.got, r.expected) << r.text;
        ASSERT_EQ(r.before, 5) << r.text;
        ASSERT_EQ(r.after, 7) << r.text;
    }
}

TEST_F(VarsFileTest, FailedSaveLeavesTheOldFile) {
    WriteFile("vars.cfg", "s_alwaysontop \"1\"\n");
    std::filesystem::create_directory("vars.cfg.tmp");  // the temporary file cannot be created
    host_.alwaysOnTop->SetInt(0);
    list_->SaveVarsFile();
    EXPECT_EQ(ReadFile("vars.cfg"), "s_alwaysontop \"1\"\n");
}

TEST_F(VarsFileTest, SaveReplacesTheFileAndLeavesNoTemporary) {
    WriteFile("vars.cfg", std::string(10000, '#'));
    list_->SaveVarsFile();
    EXPECT_EQ(ReadFile("vars.cfg"), kDefaultFile);
    EXPECT_FALSE(std::filesystem::exists("vars.cfg.tmp"));
}

TEST_F(VarsFileTest, NulBytesInTheFileDoNotEndIt) {
    WriteFile("vars.cfg", std::string("r_x \"a\0b\"\ns_alwaysontop \"1\"\n", 28));
    list_->LoadVarsFile();
    EXPECT_EQ(host_.alwaysOnTop->value.asInt, 1);
}

}  // namespace
