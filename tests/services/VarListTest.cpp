// The registry: lookup, linking, registration rules and the host's variables.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "errors/Error.h"
#include "sdk/Services.h"
#include "vars/HostVars.h"
#include "vars/VarList.h"

namespace {

std::vector<std::string> Walk(const CVarList& list) {
    std::vector<std::string> names;
    for (CVariable* v = list.head; v; v = v->next) names.push_back(v->name);
    return names;
}

void FirstCallback(CVariable*) {}
void SecondCallback(CVariable*) {}

TEST(VarList, ConstructionMakesItTheProcessRegistryUntilDestroyed) {
    auto* list = new CVarList;
    EXPECT_EQ(GetProcessVars(), list);
    EXPECT_EQ(list->head, nullptr);
    EXPECT_EQ(list->count, 0);
    delete list;  // an empty registry goes quietly
    EXPECT_EQ(GetProcessVars(), nullptr);
}

TEST(VarList, NewestVariableComesFirst) {
    CVarList list;
    list.RegisterInt("A", 1, 0, nullptr);
    list.RegisterFloat("B", 2.0f, 0, nullptr);
    list.RegisterString("C", "3", 0, nullptr);
    EXPECT_EQ(Walk(list), (std::vector<std::string>{"C", "B", "A"}));
    EXPECT_EQ(list.count, 3);
}

TEST(VarList, FindComparesWholeNamesCaseSensitively) {
    CVarList list;
    CVariable* t = list.RegisterInt("s_time", 0, 4, nullptr);
    EXPECT_EQ(list.Find("s_time"), t);
    EXPECT_EQ(list.Find("S_TIME"), nullptr);
    EXPECT_EQ(list.Find("s_tim"), nullptr);
    EXPECT_EQ(list.Find("s_time "), nullptr);
    EXPECT_EQ(list.Find(nullptr), nullptr);
}

TEST(VarList, NameIsBorrowedNotCopied) {
    static const char name[] = "r_width";
    CVarList list;
    EXPECT_EQ(list.RegisterInt(name, 800, 1, nullptr)->name, name);
}

TEST(VarList, RegisteringAgainKeepsValueAndDefaultAndReplacesFlags) {
    CVarList list;
    CVariable* t = list.RegisterInt("s_time", 0, 4, nullptr);
    t->SetInt(1234);
    CVariable* again = list.RegisterInt("s_time", 5, VARF_SAVE, nullptr);
    EXPECT_EQ(again, t);
    EXPECT_EQ(t->flags, static_cast<uint32_t>(VARF_SAVE));
    EXPECT_EQ(t->value.asInt, 1234);
    EXPECT_EQ(t->defaultValue.asInt, 0);
    // Another kind of default is ignored as well.
    EXPECT_EQ(list.RegisterString("s_time", "zzz", 0, nullptr), t);
    EXPECT_EQ(list.RegisterFloat("s_time", 9.5f, 0, nullptr), t);
    EXPECT_STREQ(t->value.asString, "1234");
    EXPECT_EQ(t->flags, 0u);
    EXPECT_EQ(list.count, 1);
}

TEST(VarList, FirstCallbackStaysAndNullNeverRemovesOne) {
    CVarList list;
    CVariable* v = list.RegisterInt("v", 0, 0, nullptr);
    EXPECT_EQ(v->onChange, nullptr);
    list.RegisterInt("v", 0, 0, FirstCallback);
    EXPECT_EQ(v->onChange, &FirstCallback);
    list.RegisterInt("v", 0, 0, SecondCallback);
    EXPECT_EQ(v->onChange, &FirstCallback);
    list.RegisterInt("v", 0, 0, nullptr);
    EXPECT_EQ(v->onChange, &FirstCallback);
}

TEST(VarList, AddLinksNewNamesAndRefusesKnownOnes) {
    CVarList list;
    list.RegisterInt("a", 1, 0, nullptr);

    SetProcessVars(nullptr);  // build variables that do not link themselves
    auto* duplicate = new CVariable("a", 2, 0, nullptr);
    auto* fresh = new CVariable("b", 3, 0, nullptr);
    SetProcessVars(&list);

    EXPECT_FALSE(list.Add(duplicate));
    EXPECT_EQ(list.count, 1);
    EXPECT_EQ(list.Find("a")->value.asInt, 1);
    EXPECT_TRUE(list.Add(fresh));
    EXPECT_EQ(list.count, 2);
    EXPECT_EQ(list.head, fresh);
    EXPECT_FALSE(list.Add(nullptr));
    delete duplicate;  // still its caller's; fresh belongs to the list now
}

TEST(VarList, VariablesBuiltDirectlyLinkIntoTheProcessRegistry) {
    CVarList list;
    auto* v = new CVariable("direct", 1, 0, nullptr);
    EXPECT_EQ(list.Find("direct"), v);
    EXPECT_EQ(list.count, 1);
}

TEST(VarList, RegistryOutsideTheProcessSlotStillOwnsWhatItCreates) {
    CVarList list;
    SetProcessVars(nullptr);
    CVariable* v = list.RegisterInt("loose", 1, 0, nullptr);
    EXPECT_EQ(list.Find("loose"), v);
    EXPECT_EQ(list.count, 1);
}

TEST(HostVars, SixVariablesInOrderWithTheirDefaultsAndFlags) {
    CVarList list;
    HostVars h = RegisterHostVars(list);
    struct Expected {
        CVariable* v;
        const char* name;
        int32_t value;
        uint32_t flags;
    } const expected[] = {
        {h.time, "s_time", 0, 4},
        {h.dt, "s_dt", 0, 4},
        {h.df, "s_df", 0, 4},
        {h.disableMemoryCache, "s_disablememorycache", 0, VARF_SAVE},
        {h.dontUsePack, "s_dontusepack", 1, VARF_SAVE},
        {h.alwaysOnTop, "s_alwaysontop", 0, VARF_SAVE},
    };
    for (const Expected& e : expected) {
        ASSERT_NE(e.v, nullptr) << e.name;
        EXPECT_EQ(list.Find(e.name), e.v);
        EXPECT_EQ(e.v->value.asInt, e.value) << e.name;
        EXPECT_EQ(e.v->flags, e.flags) << e.name;
        EXPECT_EQ(e.v->onChange, nullptr) << e.name;
    }
    EXPECT_EQ(Walk(list), (std::vector<std::string>{"s_alwaysontop", "s_dontusepack", "s_disablememorycache",
                                                    "s_df", "s_dt", "s_time"}));
}

}  // namespace
