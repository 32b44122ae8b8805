// Feeds arbitrary bytes to the vars.cfg reader: tokens are cut, never
// overrun, and every value that reaches a variable is a terminated text of at
// most 255 characters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "vars/VarList.h"
#include "vars/VarsFile.h"

namespace {

void CheckValue(CVariable* v) {
    if (std::memchr(v->value.asString, '\0', sizeof v->value.asString) == nullptr) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CVarList list;
    list.RegisterString("t_text", "", VARF_SAVE, CheckValue);
    list.RegisterFloat("t_float", 0.5f, VARF_SAVE, CheckValue);
    list.RegisterInt("s_alwaysontop", 0, VARF_SAVE, CheckValue);
    list.RegisterInt("s_time", 0, 4, CheckValue);
    ApplyVarsText(list, reinterpret_cast<const char*>(data), size);
    if (list.Find("s_time")->value.asInt != 0) std::abort();  // never loaded: not saved
    return 0;
}
