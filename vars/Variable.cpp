#include "vars/Variable.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sdk/Services.h"
#include "vars/VarList.h"

namespace {

int32_t ClampToInt32(double d) {
    if (std::isnan(d)) return 0;
    if (d >= 2147483647.0) return INT32_MAX;
    if (d <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(d);  // truncates toward zero
}

void FromInt(CVarValue& v, int32_t i) {
    v.asInt = i;
    v.asFloat = static_cast<float>(i);
    std::snprintf(v.asString, sizeof v.asString, "%d", i);
}

void FromFloat(CVarValue& v, float x) {
    v.asFloat = x;
    v.asInt = ClampToInt32(static_cast<double>(x) + 0.5);
    std::snprintf(v.asString, sizeof v.asString, "%f", static_cast<double>(x));
}

void FromString(CVarValue& v, const char* s) {
    if (!s) s = "";
    std::memset(v.asString, 0, sizeof v.asString);
    std::strncpy(v.asString, s, sizeof v.asString - 1);
    v.asFloat = static_cast<float>(std::strtod(s, nullptr));
    long i = std::strtol(s, nullptr, 10);
    v.asInt = i > INT32_MAX ? INT32_MAX : i < INT32_MIN ? INT32_MIN : static_cast<int32_t>(i);
}

}  // namespace

CVariable::CVariable(const char* name_, int32_t def, uint32_t flags_, VarChangeCallback cb)
    : next(nullptr), flags(flags_), name(name_), onChange(cb) {
    FromInt(defaultValue, def);
    ResetToDefault();
    AttachToList();
}

CVariable::CVariable(const char* name_, float def, uint32_t flags_, VarChangeCallback cb)
    : next(nullptr), flags(flags_), name(name_), onChange(cb) {
    FromFloat(defaultValue, def);
    ResetToDefault();
    AttachToList();
}

CVariable::CVariable(const char* name_, const char* def, uint32_t flags_, VarChangeCallback cb)
    : next(nullptr), flags(flags_), name(name_), onChange(cb) {
    FromString(defaultValue, def);
    ResetToDefault();
    AttachToList();
}

CVariable* CVariable::SetInt(int32_t v) {
    FromInt(value, v);
    if (onChange) onChange(this);
    return this;
}

CVariable* CVariable::SetFloat(float x) {
    FromFloat(value, x);
    if (onChange) onChange(this);
    return this;
}

CVariable* CVariable::SetString(const char* s) {
    FromString(value, s);
    if (onChange) onChange(this);
    return this;
}

void CVariable::ResetToDefault() { value = defaultValue; }

void CVariable::AttachToList() {
    next = nullptr;
    if (CVarList* list = GetProcessVars()) list->Add(this);
}
