// Any text value written to vars.cfg loads back as itself, less its double
// quotes and with line ends as spaces, and the variables around it keep
// their values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "vars/VarList.h"
#include "vars/VarsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string value(reinterpret_cast<const char*>(data), size);
    value = value.substr(0, value.find('\0')).substr(0, 255);

    std::string text;
    {
        CVarList list;
        list.RegisterInt("t_after", 7, VARF_SAVE, nullptr);
        list.RegisterString("t_text", value.c_str(), VARF_SAVE, nullptr);
        list.RegisterInt("t_before", 5, VARF_SAVE, nullptr);
        text = FormatVarsText(list);
    }
    CVarList list;
    CVariable* before = list.RegisterInt("t_before", 0, VARF_SAVE, nullptr);
    CVariable* got = list.RegisterString("t_text", "", VARF_SAVE, nullptr);
    CVariable* after = list.RegisterInt("t_after", 0, VARF_SAVE, nullptr);
    ApplyVarsText(list, text.data(), text.size());

    std::string expected;
    for (char c : value) {
        if (c != '"') expected += (c == '\n' || c == '\r') ? ' ' : c;
    }
    if (expected.find_first_not_of(' ') == std::string::npos) expected.clear();
    if (std::strcmp(got->value.asString, expected.c_str()) != 0) std::abort();
    if (before->value.asInt != 5 || after->value.asInt != 7) std::abort();
    return 0;
}
