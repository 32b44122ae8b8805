#pragma once
// The variable registry shared by the host and the engine module: a singly
// linked list, most recently added variable first, that owns its variables.
// Constructing it makes it the process's registry (sdk/Services.h), into which
// new variables link themselves.
//
// The engine module calls the five operations of the table of virtual
// operations by position: Find, Add, RegisterString, RegisterFloat,
// RegisterInt. The destructor is not part of that table; only the host
// destroys the registry, with this concrete type.

#include "vars/Variable.h"

class CVarList final {
public:
    CVarList();
    ~CVarList();  // deletes every variable of the list
    CVarList(const CVarList&) = delete;
    CVarList& operator=(const CVarList&) = delete;

    // The variable whose name equals name byte for byte, or null.
    virtual CVariable* Find(const char* name);
    // Links variable in (it must come from new). False, and nothing changed,
    // when a variable of that name is present already.
    virtual bool Add(CVariable* variable);
    // Returns the variable of that name, creating it with the default when it
    // is new. A known variable keeps its value and default: only its flags are
    // replaced by flags, and onChange is set when it had none. Null when the
    // allocation fails.
    virtual CVariable* RegisterString(const char* name, const char* defaultValue, uint32_t flags,
                                      VarChangeCallback onChange);
    virtual CVariable* RegisterFloat(const char* name, float defaultValue, uint32_t flags,
                                     VarChangeCallback onChange);
    virtual CVariable* RegisterInt(const char* name, int32_t defaultValue, uint32_t flags,
                                   VarChangeCallback onChange);

    // vars.cfg in the working directory (format in vars/VarsFile.cpp).
    // Load: sets every VARF_SAVE variable the file names, through SetString;
    // a missing file is silent. Save: rewrites the file from the VARF_SAVE
    // variables, through a temporary file, so the old file survives a failure.
    void LoadVarsFile();
    void SaveVarsFile();

    CVariable* head;
    int32_t count;
};
