#include "platform/Locale.h"

#include <clocale>

const char* SetProcessLocale() {
    // The runtime library knows "English" (code page 1252, '.' as the decimal
    // point); fall back to "C", which has the same number format.
    const char* set = std::setlocale(LC_ALL, "English");
    if (!set) set = std::setlocale(LC_ALL, "C");
    return set ? set : "C";
}

void LowerCaseAscii(char* text) {
    // ASCII letters only, as on every platform: names compare alike whatever
    // the code page of the bytes above 0x7F.
    if (!text) return;
    for (unsigned char* p = reinterpret_cast<unsigned char*>(text); *p; ++p) {
        if (*p >= 'A' && *p <= 'Z') *p = static_cast<unsigned char>(*p - 'A' + 'a');
    }
}
