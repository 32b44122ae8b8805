#pragma once
// One text value saved between two integer variables and loaded back into a
// fresh registry: what came back, and what the writer's rules say should
// (quotes dropped, line ends as spaces, an all-blank value empty). Shared by
// the round-trip test and the round-trip fuzz target.

#include <string>

#include "vars/VarList.h"
#include "vars/VarsFile.h"

struct VarsRoundTrip {
    std::string text;      // what the writer produced
    std::string got;       // the value read back
    std::string expected;  // the value the rules predict
    int before = 0, after = 0;  // the neighbours read back (5 and 7 when intact)
};

inline VarsRoundTrip RoundTripValue(const std::string& value) {
    VarsRoundTrip r;
    {
        CVarList list;
        list.RegisterInt("t_after", 7, VARF_SAVE, nullptr);
        list.RegisterString("t_text", value.c_str(), VARF_SAVE, nullptr);
        list.RegisterInt("t_before", 5, VARF_SAVE, nullptr);
        r.text = FormatVarsText(list);
    }
    CVarList list;
    CVariable* before = list.RegisterInt("t_before", 0, VARF_SAVE, nullptr);
    CVariable* got = list.RegisterString("t_text", "", VARF_SAVE, nullptr);
    CVariable* after = list.RegisterInt("t_after", 0, VARF_SAVE, nullptr);
    ApplyVarsText(list, r.text.data(), r.text.size());
    r.got = got->value.asString;
    r.before = before->value.asInt;
    r.after = after->value.asInt;

    for (char c : value) {
        if (c != '"') r.expected += (c == '\n' || c == '\r') ? ' ' : c;
    }
    if (r.expected.find_first_not_of(' ') == std::string::npos) r.expected.clear();
    return r;
}
