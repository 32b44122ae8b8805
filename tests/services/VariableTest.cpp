// One variable: the three forms, the setters, the callback and the layout the
// engine module reads directly.
#include <cmath>
#include <cstddef>
#include <string>
#include <type_traits>

#include <gtest/gtest.h>

#include "sdk/Services.h"
#include "vars/VarList.h"

namespace {

// The engine module reads these records by position.
static_assert(std::is_standard_layout<CVariable>::value, "no virtual operations, plain layout");
static_assert(std::is_standard_layout<CVarValue>::value, "plain layout");
static_assert(!std::is_polymorphic<CVariable>::value, "no table of virtual operations");
static_assert(sizeof(CVarValue) == 4 + 4 + 256, "int, float, 256 characters");
static_assert(offsetof(CVarValue, asInt) == 0 && offsetof(CVarValue, asFloat) == 4 &&
                  offsetof(CVarValue, asString) == 8,
              "value forms in order");
static_assert(offsetof(CVariable, next) == 0, "next first");
static_assert(offsetof(CVariable, flags) == sizeof(void*), "then flags");
static_assert(offsetof(CVariable, defaultValue) == sizeof(void*) + 4, "then the default");
static_assert(offsetof(CVariable, value) == offsetof(CVariable, defaultValue) + sizeof(CVarValue), "value");
static_assert(offsetof(CVariable, name) >= offsetof(CVariable, value) + sizeof(CVarValue), "name");
static_assert(offsetof(CVariable, onChange) == offsetof(CVariable, name) + sizeof(void*), "callback last");
static_assert(sizeof(CVariable) == offsetof(CVariable, onChange) + sizeof(void*), "nothing after the callback");

// Variables made outside any registry, so each test owns what it creates.
class VariableTest : public ::testing::Test {
protected:
    void SetUp() override { SetProcessServices(nullptr, nullptr, nullptr); }
};

struct Forms {
    int32_t asInt;
    float asFloat;
    const char* asString;
};

void ExpectForms(const CVarValue& v, const Forms& f, const std::string& what) {
    EXPECT_EQ(v.asInt, f.asInt) << what;
    EXPECT_FLOAT_EQ(v.asFloat, f.asFloat) << what;
    EXPECT_STREQ(v.asString, f.asString) << what;
}

TEST_F(VariableTest, SetFloatRoundsHalfUpAndFormatsSixDecimals) {
    struct Case {
        float x;
        Forms f;
    } const cases[] = {
        {2.5f, {3, 2.5f, "2.500000"}},     {2.49f, {2, 2.49f, "2.490000"}},
        {-2.5f, {-2, -2.5f, "-2.500000"}}, {-2.7f, {-2, -2.7f, "-2.700000"}},
        {1.9f, {2, 1.9f, "1.900000"}},     {0.0166f, {0, 0.0166f, "0.016600"}},
        {0.0f, {0, 0.0f, "0.000000"}},
    };
    CVariable v("v", 0, 0, nullptr);
    for (const Case& c : cases) ExpectForms(v.SetFloat(c.x)->value, c.f, std::to_string(c.x));
}

TEST_F(VariableTest, SetStringConvertsTheWholeText) {
    struct Case {
        const char* s;
        Forms f;
    } const cases[] = {
        {"12abc", {12, 12.0f, "12abc"}}, {"abc", {0, 0.0f, "abc"}},   {"1.9", {1, 1.9f, "1.9"}},
        {"", {0, 0.0f, ""}},             {"-42", {-42, -42.0f, "-42"}}, {"  7", {7, 7.0f, "  7"}},
        {"2.500000", {2, 2.5f, "2.500000"}},
    };
    CVariable v("v", 0, 0, nullptr);
    for (const Case& c : cases) ExpectForms(v.SetString(c.s)->value, c.f, c.s);
}

TEST_F(VariableTest, SetIntFillsAllForms) {
    CVariable v("v", 0, 0, nullptr);
    ExpectForms(v.SetInt(-7)->value, {-7, -7.0f, "-7"}, "-7");
    ExpectForms(v.SetInt(INT32_MIN)->value, {INT32_MIN, -2147483648.0f, "-2147483648"}, "min");
}

TEST_F(VariableTest, NumbersBeyondTheIntegerRangeAreClamped) {
    CVariable v("v", 0, 0, nullptr);
    EXPECT_EQ(v.SetFloat(1e20f)->value.asInt, INT32_MAX);
    EXPECT_EQ(v.SetFloat(-1e20f)->value.asInt, INT32_MIN);
    EXPECT_EQ(v.SetFloat(std::nanf(""))->value.asInt, 0);
    EXPECT_EQ(v.SetString("99999999999")->value.asInt, INT32_MAX);
    EXPECT_EQ(v.SetString("-99999999999")->value.asInt, INT32_MIN);
    // The text form of the largest float still fits.
    EXPECT_EQ(std::string(v.SetFloat(3.4e38f)->value.asString).substr(0, 3), "339");
}

TEST_F(VariableTest, LongTextKeeps255CharactersAndReadsNumbersFromAll) {
    std::string text = "123" + std::string(297, 'z');
    CVariable v("v", 0, 0, nullptr);
    v.SetString(text.c_str());
    EXPECT_EQ(std::string(v.value.asString), text.substr(0, 255));
    EXPECT_EQ(v.value.asInt, 123);
    std::string digits(300, '1');  // the whole text is read: far past 255 characters
    EXPECT_EQ(v.SetString(digits.c_str())->value.asInt, INT32_MAX);
}

TEST_F(VariableTest, DefaultsOfEachKindFillDefaultAndValue) {
    CVariable f("f", 0.5f, 0, nullptr);
    ExpectForms(f.defaultValue, {1, 0.5f, "0.500000"}, "float default");
    ExpectForms(f.value, {1, 0.5f, "0.500000"}, "float value");
    CVariable i("i", 640, 0, nullptr);
    ExpectForms(i.value, {640, 640.0f, "640"}, "int");
    CVariable s("s", "3.75x", 0, nullptr);
    ExpectForms(s.value, {3, 3.75f, "3.75x"}, "text");
}

int g_calls;
CVariable* g_seen;
int g_seenInt;
std::string g_seenText;
void Remember(CVariable* v) {
    ++g_calls;
    g_seen = v;
    g_seenInt = v->value.asInt;
    g_seenText = v->value.asString;
}

TEST_F(VariableTest, CallbackRunsAfterEverySetWithAllFormsUpdated) {
    g_calls = 0;
    CVariable v("v", 5, 0, Remember);
    EXPECT_EQ(g_calls, 0) << "not called by construction";
    v.SetFloat(2.5f);
    EXPECT_EQ(g_calls, 1);
    EXPECT_EQ(g_seen, &v);
    EXPECT_EQ(g_seenInt, 3);
    EXPECT_EQ(g_seenText, "2.500000");
    v.SetString("9");
    v.SetInt(9);  // the same value still notifies
    EXPECT_EQ(g_calls, 3);
    v.ResetToDefault();
    EXPECT_EQ(g_calls, 3) << "reset does not notify";
    EXPECT_EQ(v.value.asInt, 5);
    EXPECT_EQ(v.defaultValue.asInt, 5) << "setters never touch the default";
}

}  // namespace
