#pragma once
// Process locale and byte-safe lower-casing of names.

// Sets the process locale of all categories for the run: a UTF-8 locale whose
// numbers use '.' as the decimal point ("C.UTF-8", falling back to "C").
// Returns the name of the locale that was set.
const char* SetProcessLocale();

// Lower-cases the ASCII letters A-Z of a NUL-terminated text in place and
// leaves every other byte alone (a UTF-8 multi-byte character is never
// changed).
void LowerCaseAscii(char* text);
