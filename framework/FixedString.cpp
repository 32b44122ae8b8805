#include "framework/FixedString.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

CFixedString::CFixedString(const char* source)
{
    std::size_t n = 0;
    if (source)
        while (n < kMaxLength && source[n] != '\0')
        {
            text[n] = source[n];
            ++n;
        }
    text[n] = '\0';
}

std::size_t CFixedString::Length() const
{
    return std::strlen(text);
}

bool CFixedString::IsNumber(bool allowPoint) const
{
    bool seenPoint = false;
    for (const char* p = text; *p != '\0'; ++p)
    {
        if (*p >= '0' && *p <= '9')
            continue;
        if (*p == '.' && allowPoint && !seenPoint)
        {
            seenPoint = true;
            continue;
        }
        return false;
    }
    return true;
}

CFixedString FormatFixed(const char* format, ...)
{
    CFixedString result;
    if (!format)
        return result;
    va_list args;
    va_start(args, format);
    // vsnprintf stops at the value's size and always terminates, so the first
    // 127 characters are kept whatever the length of the whole output.
    const int written = std::vsnprintf(result.text, sizeof result.text, format, args);
    va_end(args);
    if (written < 0)
        result.text[0] = '\0';
    return result;
}
