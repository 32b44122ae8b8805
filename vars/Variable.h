#pragma once
// A configuration variable: one value held at once as a 32-bit integer, a
// 32-bit float and a text of at most 255 characters, kept in step by whichever
// setter ran last, plus its default, flags and an optional change callback.
//
// The engine module reads these records directly, so the layout is fixed:
// field order and types exactly as below, no virtual operations, no other
// members. Users read value.asInt / asFloat / asString and write only through
// SetInt, SetFloat and SetString, so that every form and the callback follow.
//
// Conversions (runtime library, under the process locale):
//   from an integer v: v, (float)v, "%d";
//   from a float x:    integer = (double)x + 0.5 truncated toward zero
//                      (2.5 -> 3, -2.5 -> -2), x, "%f" (0.5 -> "0.500000");
//   from a text s:     integer and float read from the start of the whole of s
//                      (strtol / strtod: "12abc" -> 12, "abc" -> 0, "1.9" -> 1),
//                      text = the first 255 characters of s.
// Numbers that do not fit a 32-bit integer are clamped to its range.

#include <cstdint>

enum : uint32_t {
    VARF_SAVE = 1,  // written to vars.cfg at shutdown, read from it at start-up
};

struct CVariable;
using VarChangeCallback = void (*)(CVariable* variable);

struct CVarValue {
    enum { kTextSize = 256 };

    int32_t asInt;
    float asFloat;
    char asString[kTextSize];  // always NUL-terminated
};

struct CVariable {
    // The new variable takes its default, then links itself into the
    // process's registry (sdk/Services.h) when there is one. name and
    // onChange are borrowed; the callback is not called here.
    CVariable(const char* name, int32_t defaultValue, uint32_t flags, VarChangeCallback onChange);
    CVariable(const char* name, float defaultValue, uint32_t flags, VarChangeCallback onChange);
    CVariable(const char* name, const char* defaultValue, uint32_t flags, VarChangeCallback onChange);

    // Set all three forms of value, then call onChange (when set).
    CVariable* SetInt(int32_t v);
    CVariable* SetFloat(float x);
    CVariable* SetString(const char* s);

    // value = defaultValue; onChange is not called.
    void ResetToDefault();
    // next = null, then Add to the process's registry when there is one.
    void AttachToList();

    CVariable* next;
    uint32_t flags;
    CVarValue defaultValue;
    CVarValue value;
    const char* name;
    VarChangeCallback onChange;
};
