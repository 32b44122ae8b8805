#pragma once
// printf-style formatting into one of four rotating static buffers of 4096
// characters. A result stays valid until its buffer comes round again (four
// calls later); callers copy what they keep. Output longer than 4095
// characters is cut. Not thread-safe: the ring is process-wide.

enum { kFormatTextSize = 4096, kFormatTextBuffers = 4 };

const char* FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
