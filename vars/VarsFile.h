#pragma once
// vars.cfg as text in memory: LoadVarsFile reads the file and applies its
// bytes, SaveVarsFile writes what FormatVarsText makes.

#include <cstddef>
#include <string>

class CVarList;

// Sets every VARF_SAVE variable of list that the text names, in file order,
// through SetString (callbacks run). Unknown names and unsaved variables are
// passed over; a trailing name without a value is ignored.
void ApplyVarsText(CVarList& list, const char* text, size_t size);

// The lines of every VARF_SAVE variable of list, in list order.
std::string FormatVarsText(const CVarList& list);
