// vars.cfg: the saved variables, one line each in the order of the registry,
//
//     name "value"
//
// written with "%s \"%s\"\n" and nothing escaped. The reader takes the file as
// white-space separated tokens in pairs (name, value) and drops every double
// quote from a value (see vars/VarsTokenizer.h for quoted values with spaces
// and over-long tokens). Only variables flagged VARF_SAVE are read or written;
// unknown names are passed over. The file is replaced through a temporary
// file, so a failed save leaves the previous one in place.
//
// So that one odd variable never shifts the pairing of the lines after it, the
// writer leaves out the double quotes of a value (the reader would drop them
// anyway) and writes its line ends as spaces, and skips a variable whose name
// is empty or holds white space (no token could name it when reading).

#include <cstdio>
#include <string>

#include "platform/FileReplace.h"
#include "vars/VarList.h"
#include "vars/VarsFile.h"
#include "vars/VarsTokenizer.h"

namespace {

const char kVarsFileName[] = "vars.cfg";
const char kVarsTempName[] = "vars.cfg.tmp";

bool ReadWholeFile(const char* path, std::string& out) {
    std::FILE* f = std::fopen(path, "r");
    if (!f) return false;
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) out.append(chunk, n);
    std::fclose(f);
    return true;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool CanBeReadBack(const char* name) {
    if (!name || !*name) return false;
    for (; *name; ++name) {
        if (IsSpace(*name)) return false;
    }
    return true;
}

// The value as it goes between the quotes of its line.
void ValueForLine(const char* value, char (&out)[CVarValue::kTextSize]) {
    size_t n = 0;
    for (; *value && n < sizeof out - 1; ++value) {
        if (*value == '"') continue;
        out[n++] = (*value == '\n' || *value == '\r') ? ' ' : *value;
    }
    out[n] = '\0';
}

bool IsOnlySpaces(const char* s) {
    for (; *s; ++s) {
        if (*s != ' ') return false;
    }
    return true;
}

}  // namespace

void ApplyVarsText(CVarList& list, const char* text, size_t size) {
    CVarsTokenizer tokens(text, size);
    char name[CVarsTokenizer::kTokenSize];
    char value[CVarsTokenizer::kTokenSize];
    while (tokens.NextName(name) && tokens.NextValue(value)) {
        StripQuotes(value);
        if (IsOnlySpaces(value)) value[0] = '\0';
        CVariable* v = list.Find(name);
        if (v && (v->flags & VARF_SAVE)) v->SetString(value);
    }
}

void CVarList::LoadVarsFile() {
    std::string text;
    if (!ReadWholeFile(kVarsFileName, text)) return;  // no file: defaults stay
    ApplyVarsText(*this, text.data(), text.size());
}

std::string FormatVarsText(const CVarList& list) {
    std::string text;
    for (const CVariable* v = list.head; v; v = v->next) {
        if (!(v->flags & VARF_SAVE) || !CanBeReadBack(v->name)) continue;
        char value[CVarValue::kTextSize];
        ValueForLine(v->value.asString, value);
        text += v->name;
        text += " \"";
        text += value;
        text += "\"\n";
    }
    return text;
}

void CVarList::SaveVarsFile() {
    const std::string text = FormatVarsText(*this);
    std::FILE* f = std::fopen(kVarsTempName, "w");  // text mode: the platform's line ends
    if (!f) return;
    bool ok = std::fputs(text.c_str(), f) >= 0;
    ok = !std::ferror(f) && FlushFileToDisk(f) && ok;
    ok = std::fclose(f) == 0 && ok;
    if (!ok || !MoveFileOver(kVarsTempName, kVarsFileName)) std::remove(kVarsTempName);
}
