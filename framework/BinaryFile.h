#pragma once
// Binary data file helpers over runtime-library streams (a FILE* the caller
// opened with fopen in a binary mode). They do not use the resource file
// system; they work on any stream.
//
// Format: values follow each other with no header, tag or padding, in the
// order written. Every value is little-endian on disk whatever the byte order
// of the machine: integers low byte first, floats as IEEE 754 single
// precision (4 bytes, little-endian), CVector3 12 bytes, CVector4 and
// CQuaternion 16 bytes, CMatrix 64 bytes in row order.
//
// Results: writers return what the runtime library returned for their last
// call (1 when the whole value was written, 0 otherwise; FileWriteString the
// result of fputc for its NUL). Nothing raises or logs; callers check
// positions or sizes when they need to.
//
// Short reads: a value that cannot be read whole (the stream ends inside it)
// reads as zero — 0, 0.0f, a zero vector or a zero matrix — never as a mix
// of old and new bytes.

#include "framework/FixedString.h"
#include "framework/KeyedArray.h"
#include "framework/MathTypes.h"

#include <cstdint>
#include <cstdio>

// Position helpers.
// Size of the stream in bytes; the position is left where it was. A size that
// does not fit in 32 bits reads as INT32_MAX; -1 when the stream cannot seek.
std::int32_t FileSize(std::FILE* f);
long FileTell(std::FILE* f);
// Seeks to the start; returns fseek's result (0 on success).
int FileRewind(std::FILE* f);
// True when the stream's end-of-file indicator is set, i.e. a read has hit the
// end (reading exactly the last byte does not set it).
bool FileAtEnd(std::FILE* f);
// Reads and discards count bytes; stops early at the end of the stream.
// count <= 0 does nothing.
void FileSkip(std::FILE* f, std::int32_t count);
// Reads length raw bytes as one item; returns 1 when all came, else 0.
int FileReadBlock(std::FILE* f, void* destination, std::int32_t length);

// Writers.
int FileWriteInt32(std::FILE* f, std::int32_t value);
int FileWriteFloat(std::FILE* f, float value);
int FileWriteInt16(std::FILE* f, int value); // its low 16 bits
int FileWriteInt8(std::FILE* f, int value);  // its low 8 bits
int FileWriteVector3(std::FILE* f, const CVector3* value);
int FileWriteVector4(std::FILE* f, const CVector4* value);
int FileWriteVector4(std::FILE* f, const CQuaternion* value);
int FileWriteMatrix(std::FILE* f, const CMatrix* value);
// The characters of text, then one NUL byte (a null text writes the NUL only).
int FileWriteString(std::FILE* f, const char* text);

// Readers.
float FileReadFloat(std::FILE* f);
std::int32_t FileReadInt32(std::FILE* f);
int FileReadInt16(std::FILE* f); // 0..65535, zero-extended
int FileReadInt8(std::FILE* f);  // 0..255, zero-extended
CVector3 FileReadVector3(std::FILE* f);
CVector4 FileReadVector4(std::FILE* f);
CMatrix FileReadMatrix(std::FILE* f);
// Reads bytes up to and including a NUL, at most 256 of them (the end of the
// stream counts as a NUL); returns the first 127 characters. The stream is
// left after the NUL, or after the 256th byte when none came; characters past
// the 127th are consumed and dropped.
CFixedString FileReadString(std::FILE* f);

// Keyed arrays on disk: an unsigned 16-bit count N, then N entries, each its
// key (float) and its value (3, 4 or 1 floats). The file does not say which
// entry type follows; the reader must know.
//
// FileWriteKeys writes the array and returns its count. An array that the
// 16-bit count cannot describe — more than 65535 entries, or a count outside
// 0..capacity — is refused: nothing is written and the result is -1.
//
// FileReadKeys empties the array (count 0, storage kept) and reads N entries
// into it, growing it 8, 16, 32, ... as needed. A stream that ends early still
// yields N entries; those past the end read as zero.
namespace keyed_file {
bool WriteEntry(std::FILE* f, const CKeyedVector3& entry);
bool WriteEntry(std::FILE* f, const CKeyedVector4& entry);
bool WriteEntry(std::FILE* f, const CKeyedFloat& entry);
void ReadEntry(std::FILE* f, CKeyedVector3& entry);
void ReadEntry(std::FILE* f, CKeyedVector4& entry);
void ReadEntry(std::FILE* f, CKeyedFloat& entry);
} // namespace keyed_file

const int kMaxKeyedFileEntries = 65535;

template <class Entry>
int FileWriteKeys(std::FILE* f, const CKeyedArray<Entry>& array)
{
    if (array.count < 0 || array.count > kMaxKeyedFileEntries || array.count > array.capacity ||
        (array.count > 0 && array.items == nullptr))
        return -1;
    FileWriteInt16(f, array.count);
    for (int i = 0; i < array.count; ++i)
        keyed_file::WriteEntry(f, array.items[i]);
    return array.count;
}

template <class Entry>
void FileReadKeys(std::FILE* f, CKeyedArray<Entry>& array)
{
    array.count = 0;
    const int n = FileReadInt16(f);
    for (int i = 0; i < n; ++i)
    {
        // Past the end every further entry reads as zero; the stream is not
        // asked again for each of them.
        Entry entry;
        if (!FileAtEnd(f))
            keyed_file::ReadEntry(f, entry);
        if (array.count >= array.capacity || array.items == nullptr)
            array.Reserve(array.NextCapacity());
        array.items[array.count++] = entry;
    }
}
