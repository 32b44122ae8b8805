// Registrations whose allocation fails. The nothrow allocation of the whole
// test program is replaced here so that it can be made to fail on demand;
// otherwise it behaves as the standard one.
#include <cstring>
#include <new>
#include <string>

#include <gtest/gtest.h>

#include "errors/Error.h"
#include "vars/HostVars.h"
#include "vars/VarList.h"

namespace {
int g_failAfter = -1;  // allocations still allowed; -1: never fail
}  // namespace

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (g_failAfter == 0) return nullptr;
    if (g_failAfter > 0) --g_failAfter;
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}

namespace {

struct FailGuard {
    explicit FailGuard(int after) { g_failAfter = after; }
    ~FailGuard() { g_failAfter = -1; }
};

TEST(AllocationFailure, RegistrationReturnsNullAndLeavesTheListAlone) {
    CVarList list;
    list.RegisterInt("kept", 1, 0, nullptr);
    {
        FailGuard fail(0);
        EXPECT_EQ(list.RegisterFloat("lost", 1.0f, 0, nullptr), nullptr);
        // A known name needs no allocation.
        EXPECT_NE(list.RegisterInt("kept", 2, 0, nullptr), nullptr);
    }
    EXPECT_EQ(list.count, 1);
    EXPECT_EQ(list.Find("lost"), nullptr);
}

TEST(AllocationFailure, HostRegistrationThatFailsStopsWithTheVariableName) {
    const char* names[] = {"s_time", "s_dt", "s_df", "s_disablememorycache", "s_dontusepack", "s_alwaysontop"};
    for (int i = 0; i < 6; ++i) {
        CVarList list;
        FailGuard fail(i);
        try {
            RegisterHostVars(list);
            ADD_FAILURE() << "no error when registration " << i << " fails";
        } catch (CError* e) {
            EXPECT_STREQ(e->GetTypeName(), "Init");
            EXPECT_EQ(std::string(e->message), std::string("Can't register host variable ") + names[i]);
            DeleteError(e);
        }
        EXPECT_EQ(list.count, i);
    }
}

}  // namespace
