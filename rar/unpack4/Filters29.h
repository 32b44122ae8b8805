#pragma once
// The standard filters of RAR 2.9/3.x.
//
// The format ships each filter as a program for a small virtual machine. RAR
// itself only ever wrote six programs, and readers recognise them by length and
// CRC32 instead of running them; any other program is refused, never executed.

#include <cstddef>
#include <cstdint>

namespace rar::unpack4 {

enum class FilterType : uint8_t { None, E8, E8E9, Itanium, Delta, Rgb, Audio };

// Identifies a filter program (its first byte is an XOR check of the rest).
FilterType IdentifyFilter(const uint8_t* code, size_t size);

// Adds a program signature to the recognised ones (tests build streams with
// programs of their own; the real signatures are fixed).
void AddFilterSignatureForTesting(uint32_t length, uint32_t crc, FilterType type);

// Filter memory as the format defines it: data goes in at offset 0.
constexpr uint32_t kFilterMemSize = 0x40000;

// Runs `type` over mem[0, r[4]) with the filter registers r[0..6].
// On success sets outOffset/outSize to the filtered bytes inside mem.
// mem must hold kFilterMemSize + 4 bytes. False on parameters out of range.
bool RunFilter(FilterType type, uint8_t* mem, const uint32_t r[7], uint32_t& outOffset, uint32_t& outSize);

}  // namespace rar::unpack4
