#pragma once
// CFixedString: a text of at most 127 characters held by value, and
// FormatFixed, the printf-style way of making one.
//
// A CFixedString owns nothing and has no virtual operations; it is copied,
// passed and returned by value like any plain struct.

#include <cstddef>

#if defined(__GNUC__) || defined(__clang__)
#define STAGEHOST_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define STAGEHOST_PRINTF(fmt, args)
#endif

struct CFixedString
{
    enum { kCapacity = 128, kMaxLength = kCapacity - 1 };

    char text[kCapacity];

    CFixedString() { text[0] = '\0'; }

    // Copies at most the first 127 characters of source (null reads as empty).
    explicit CFixedString(const char* source);

    const char* c_str() const { return text; }
    std::size_t Length() const;

    // True when every character is a digit '0'..'9'; with allowPoint, one '.'
    // may stand anywhere as well. Signs, blanks and exponents make it false.
    // The empty text, and a lone "." with allowPoint, count as numbers.
    bool IsNumber(bool allowPoint) const;
};

// Formats like printf and keeps the first 127 characters of the result.
// Output of any length is safe: whatever does not fit is cut, never written
// past the value.
CFixedString FormatFixed(const char* format, ...) STAGEHOST_PRINTF(1, 2);
