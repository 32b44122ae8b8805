#pragma once
// Name utilities: take apart file names and paths. Each returns a lower-cased
// result in static storage of its own (or, where stated, the caller's pointer
// itself); nothing is allocated.
//
// Buffer lifetimes (process-wide, one thread at a time):
//  - GetNameBeforeDot: a ring of four 256-character buffers; a result stays
//    valid for the next three calls and is overwritten by the fourth.
//  - GetTailFrom: a ring of four 256-character buffers of its own, same rule.
//  - GetExtension / HasExtension: one 128-character buffer, overwritten by the
//    next call of either that finds a dot.
//  - GetFileName: one 128-character buffer, overwritten by the next call that
//    finds a separator.
// Callers copy what they keep longer.
//
// Long input is cut, never written past a buffer: GetNameBeforeDot and
// GetTailFrom work on the first 255 characters of their text; GetExtension
// and GetFileName keep the first 127 characters of the part they return.
// A null text reads as the empty text; GetExtension and GetFileName return
// null for null.
//
// Lower-casing follows the process locale for ASCII bytes only: a byte of
// 0x80 or above (part of a UTF-8 sequence) is never changed, and a letter is
// only replaced by an ASCII letter, so UTF-8 names come back intact whatever
// the locale.

// The text up to (not including) its first '.', directories included:
// "Data/Model.X" -> "data/model". Result in the GetNameBeforeDot ring.
const char* GetNameBeforeDot(const char* text);

// The part after the last '.' of name, lower-cased, in the extension buffer:
// "Texture.TGA" -> "tga", "name." -> "". A dot at index 0 does not count, so
// "readme" and ".hidden" return the name pointer itself, unchanged.
// A null name returns null; the empty name returns the name pointer.
const char* GetExtension(const char* name);

// True when GetExtension(name) finds a dot (returns another pointer than name).
bool HasExtension(const char* name);

// The part after the last '\' or '/' of path, lower-cased, in the file-name
// buffer: "Maps\Level1.Map" -> "level1.map". A path without a separator past
// index 0 returns the path pointer itself, unchanged (its case kept).
const char* GetFileName(const char* path);

// Copies text into the GetTailFrom ring and searches the copy for pattern
// (exact and case-sensitive). Found: lower-cases the copy from there on and
// returns a pointer to the occurrence. Not found (or pattern null): lower-cases
// the whole copy and returns its start.
const char* GetTailFrom(const char* text, const char* pattern);

// Lower-cases a text in place by the rule above. Shared by the framework.
void LowerCaseInPlace(char* text);
