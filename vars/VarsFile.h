#pragma once
// The reading half of vars.cfg on text already in memory (LoadVarsFile reads
// the file and hands its bytes here).

#include <cstddef>

class CVarList;

// Sets every VARF_SAVE variable of list that the text names, in file order,
// through SetString (callbacks run). Unknown names and unsaved variables are
// passed over; a trailing name without a value is ignored.
void ApplyVarsText(CVarList& list, const char* text, size_t size);
