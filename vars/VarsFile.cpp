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

#include <cstdio>
#include <string>

#include "platform/FileReplace.h"
#include "vars/VarList.h"
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

bool IsOnlySpaces(const char* s) {
    for (; *s; ++s) {
        if (*s != ' ') return false;
    }
    return true;
}

}  // namespace

void CVarList::LoadVarsFile() {
    std::string text;
    if (!ReadWholeFile(kVarsFileName, text)) return;  // no file: defaults stay

    CVarsTokenizer tokens(text.data(), text.size());
    char name[CVarsTokenizer::kTokenSize];
    char value[CVarsTokenizer::kTokenSize];
    while (tokens.NextName(name) && tokens.NextValue(value)) {
        StripQuotes(value);
        if (IsOnlySpaces(value)) value[0] = '\0';
        CVariable* v = Find(name);
        if (v && (v->flags & VARF_SAVE)) v->SetString(value);
    }
}

void CVarList::SaveVarsFile() {
    std::FILE* f = std::fopen(kVarsTempName, "w");
    if (!f) return;
    bool ok = true;
    for (CVariable* v = head; v; v = v->next) {
        if (!(v->flags & VARF_SAVE) || !v->name) continue;
        if (std::fprintf(f, "%s \"%s\"\n", v->name, v->value.asString) < 0) ok = false;
    }
    ok = !std::ferror(f) && FlushFileToDisk(f) && ok;
    ok = std::fclose(f) == 0 && ok;
    if (!ok || !MoveFileOver(kVarsTempName, kVarsFileName)) std::remove(kVarsTempName);
}
