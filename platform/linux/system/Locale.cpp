#include "platform/Locale.h"

#include <clocale>

const char* SetProcessLocale() {
    // No "English" locale exists here; C.UTF-8 keeps '.' as the decimal point
    // and passes UTF-8 names through unchanged.
    const char* set = std::setlocale(LC_ALL, "C.UTF-8");
    if (!set) set = std::setlocale(LC_ALL, "C");
    return set ? set : "C";
}

void LowerCaseAscii(char* text) {
    if (!text) return;
    for (unsigned char* p = reinterpret_cast<unsigned char*>(text); *p; ++p) {
        if (*p >= 'A' && *p <= 'Z') *p = static_cast<unsigned char>(*p - 'A' + 'a');
    }
}
