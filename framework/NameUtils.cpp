#include "framework/NameUtils.h"

#include <cctype>
#include <cstring>

namespace {

const int kRingSize = 4;
const int kRingChars = 256;
const int kPartChars = 128;

char g_beforeDot[kRingSize][kRingChars];
int g_beforeDotNext = 0;

char g_tail[kRingSize][kRingChars];
int g_tailNext = 0;

char g_extension[kPartChars];
char g_fileName[kPartChars];

// Takes the next buffer of a ring, zero-filled, with at most 255 characters
// of text copied into it.
char* TakeRingCopy(char (*ring)[kRingChars], int& next, const char* text)
{
    // Copy through a local first: text may be an earlier result that lives
    // in the very buffer taken now.
    char copy[kRingChars] = {};
    if (text)
        std::strncpy(copy, text, kRingChars - 1);
    char* buffer = ring[next];
    next = (next + 1) % kRingSize;
    std::memcpy(buffer, copy, kRingChars);
    return buffer;
}

// Copies at most 127 characters of source into a 128-character buffer;
// source may lie inside that buffer (an earlier result passed back in).
void CopyPart(char* buffer, const char* source)
{
    std::size_t n = 0;
    while (n < kPartChars - 1 && source[n] != '\0')
        ++n;
    std::memmove(buffer, source, n);
    buffer[n] = '\0';
}

} // namespace

void LowerCaseInPlace(char* text)
{
    if (!text)
        return;
    for (unsigned char* p = reinterpret_cast<unsigned char*>(text); *p != 0; ++p)
    {
        if (*p >= 0x80)
            continue;
        const int lowered = std::tolower(*p);
        if (lowered > 0 && lowered < 0x80)
            *p = static_cast<unsigned char>(lowered);
    }
}

const char* GetNameBeforeDot(const char* text)
{
    char* buffer = TakeRingCopy(g_beforeDot, g_beforeDotNext, text);
    if (char* dot = std::strchr(buffer, '.'))
        *dot = '\0';
    LowerCaseInPlace(buffer);
    return buffer;
}

const char* GetExtension(const char* name)
{
    if (!name)
        return nullptr;
    const std::size_t length = std::strlen(name);
    for (std::size_t i = length; i-- > 1;)
    {
        if (name[i] == '.')
        {
            CopyPart(g_extension, name + i + 1);
            LowerCaseInPlace(g_extension);
            return g_extension;
        }
    }
    return name;
}

bool HasExtension(const char* name)
{
    return name != nullptr && GetExtension(name) != name;
}

const char* GetFileName(const char* path)
{
    if (!path)
        return nullptr;
    const std::size_t length = std::strlen(path);
    for (std::size_t i = length; i-- > 1;)
    {
        if (path[i] == '\\' || path[i] == '/')
        {
            CopyPart(g_fileName, path + i + 1);
            LowerCaseInPlace(g_fileName);
            return g_fileName;
        }
    }
    return path;
}

const char* GetTailFrom(const char* text, const char* pattern)
{
    char* buffer = TakeRingCopy(g_tail, g_tailNext, text);
    char* found = pattern ? std::strstr(buffer, pattern) : nullptr;
    char* start = found ? found : buffer;
    LowerCaseInPlace(start);
    return start;
}
