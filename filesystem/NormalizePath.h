#pragma once
// The comparison form of a resource name: ASCII letters lower-cased, every
// backslash turned into a forward slash, nothing else changed. Results come
// from four rotating static buffers of 256 characters (a result is overwritten
// four calls later).

enum { kNormalizedPathSize = 256, kNormalizedPathBuffers = 4 };

// True when name fits a normalisation buffer (at most 255 characters).
bool FitsNormalizedPath(const char* name);

// The normalised form of name; a name longer than 255 characters is cut to
// its first 255 (callers refuse such names first, see FitsNormalizedPath).
const char* NormalizePath(const char* name);
