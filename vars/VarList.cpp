#include "vars/VarList.h"

#include <cstring>
#include <new>

#include "sdk/Services.h"

CVarList::CVarList() : head(nullptr), count(0) { SetProcessVars(this); }

CVarList::~CVarList() {
    CVariable* v = head;
    while (v) {
        CVariable* next = v->next;
        delete v;
        v = next;
    }
    head = nullptr;
    count = 0;
    if (GetProcessVars() == this) SetProcessVars(nullptr);
}

CVariable* CVarList::Find(const char* name) {
    if (!name) return nullptr;
    for (CVariable* v = head; v; v = v->next) {
        if (v->name && std::strcmp(v->name, name) == 0) return v;
    }
    return nullptr;
}

bool CVarList::Add(CVariable* variable) {
    if (!variable || Find(variable->name)) return false;
    variable->next = head;
    head = variable;
    ++count;
    return true;
}

namespace {

// A known name keeps its value and default; flags are replaced, a missing
// callback is filled in. A new one is created (and links itself in).
template <typename T>
CVariable* Register(CVarList& list, const char* name, T def, uint32_t flags, VarChangeCallback cb) {
    if (CVariable* found = list.Find(name)) {
        if (!found->onChange) found->onChange = cb;
        found->flags = flags;
        return found;
    }
    CVariable* created = new (std::nothrow) CVariable(name, def, flags, cb);
    // A variable links itself into the process's registry; a list that is not
    // (yet) the process's one still keeps what it created.
    if (created && !GetProcessVars()) list.Add(created);
    return created;
}

}  // namespace

CVariable* CVarList::RegisterString(const char* name, const char* def, uint32_t flags, VarChangeCallback cb) {
    return Register(*this, name, def, flags, cb);
}

CVariable* CVarList::RegisterFloat(const char* name, float def, uint32_t flags, VarChangeCallback cb) {
    return Register(*this, name, def, flags, cb);
}

CVariable* CVarList::RegisterInt(const char* name, int32_t def, uint32_t flags, VarChangeCallback cb) {
    return Register(*this, name, def, flags, cb);
}
