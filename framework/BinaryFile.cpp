#include "framework/BinaryFile.h"

#include <climits>
#include <cstring>

namespace {

// Little-endian encoding, independent of the machine's byte order.
void PutU32(unsigned char* out, std::uint32_t v)
{
    out[0] = static_cast<unsigned char>(v);
    out[1] = static_cast<unsigned char>(v >> 8);
    out[2] = static_cast<unsigned char>(v >> 16);
    out[3] = static_cast<unsigned char>(v >> 24);
}

std::uint32_t GetU32(const unsigned char* in)
{
    return std::uint32_t(in[0]) | std::uint32_t(in[1]) << 8 | std::uint32_t(in[2]) << 16 |
           std::uint32_t(in[3]) << 24;
}

std::uint32_t FloatBits(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float BitsFloat(std::uint32_t bits)
{
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Writes count floats as one item.
int WriteFloats(std::FILE* f, const float* values, int count)
{
    unsigned char bytes[64];
    for (int i = 0; i < count; ++i)
        PutU32(bytes + 4 * i, FloatBits(values[i]));
    return static_cast<int>(std::fwrite(bytes, 4 * count, 1, f));
}

// Reads n bytes; when they cannot all be read, the bytes are zeroed.
bool ReadExactly(std::FILE* f, unsigned char* bytes, std::size_t n)
{
    if (std::fread(bytes, 1, n, f) == n)
        return true;
    std::memset(bytes, 0, n);
    return false;
}

// Reads count floats; all zero when the stream ends inside them.
void ReadFloats(std::FILE* f, float* values, int count)
{
    unsigned char bytes[64];
    ReadExactly(f, bytes, 4 * count);
    for (int i = 0; i < count; ++i)
        values[i] = BitsFloat(GetU32(bytes + 4 * i));
}

} // namespace

std::int32_t FileSize(std::FILE* f)
{
    const long here = std::ftell(f);
    if (here < 0 || std::fseek(f, 0, SEEK_END) != 0)
        return -1;
    const long end = std::ftell(f);
    std::fseek(f, here, SEEK_SET);
    if (end < 0)
        return -1;
    return end > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(end);
}

long FileTell(std::FILE* f)
{
    return std::ftell(f);
}

int FileRewind(std::FILE* f)
{
    return std::fseek(f, 0, SEEK_SET);
}

bool FileAtEnd(std::FILE* f)
{
    return std::feof(f) != 0;
}

void FileSkip(std::FILE* f, std::int32_t count)
{
    for (std::int32_t i = 0; i < count; ++i)
        if (std::fgetc(f) == EOF)
            return;
}

int FileReadBlock(std::FILE* f, void* destination, std::int32_t length)
{
    if (length <= 0)
        return 0;
    return static_cast<int>(std::fread(destination, static_cast<std::size_t>(length), 1, f));
}

int FileWriteInt32(std::FILE* f, std::int32_t value)
{
    unsigned char bytes[4];
    PutU32(bytes, static_cast<std::uint32_t>(value));
    return static_cast<int>(std::fwrite(bytes, 4, 1, f));
}

int FileWriteFloat(std::FILE* f, float value)
{
    return WriteFloats(f, &value, 1);
}

int FileWriteInt16(std::FILE* f, int value)
{
    const unsigned char bytes[2] = {static_cast<unsigned char>(value),
                                    static_cast<unsigned char>(static_cast<unsigned>(value) >> 8)};
    return static_cast<int>(std::fwrite(bytes, 2, 1, f));
}

int FileWriteInt8(std::FILE* f, int value)
{
    const unsigned char byte = static_cast<unsigned char>(value);
    return static_cast<int>(std::fwrite(&byte, 1, 1, f));
}

int FileWriteVector3(std::FILE* f, const CVector3* value)
{
    const float v[3] = {value->x, value->y, value->z};
    return WriteFloats(f, v, 3);
}

int FileWriteVector4(std::FILE* f, const CVector4* value)
{
    const float v[4] = {value->x, value->y, value->z, value->w};
    return WriteFloats(f, v, 4);
}

int FileWriteVector4(std::FILE* f, const CQuaternion* value)
{
    const float v[4] = {value->x, value->y, value->z, value->w};
    return WriteFloats(f, v, 4);
}

int FileWriteMatrix(std::FILE* f, const CMatrix* value)
{
    return WriteFloats(f, &value->m[0][0], 16);
}

int FileWriteString(std::FILE* f, const char* text)
{
    if (text && *text)
        std::fwrite(text, std::strlen(text), 1, f);
    return std::fputc(0, f);
}

float FileReadFloat(std::FILE* f)
{
    float value;
    ReadFloats(f, &value, 1);
    return value;
}

std::int32_t FileReadInt32(std::FILE* f)
{
    unsigned char bytes[4];
    ReadExactly(f, bytes, 4);
    return static_cast<std::int32_t>(GetU32(bytes));
}

int FileReadInt16(std::FILE* f)
{
    unsigned char bytes[2];
    ReadExactly(f, bytes, 2);
    return bytes[0] | bytes[1] << 8;
}

int FileReadInt8(std::FILE* f)
{
    unsigned char byte;
    ReadExactly(f, &byte, 1);
    return byte;
}

CVector3 FileReadVector3(std::FILE* f)
{
    float v[3];
    ReadFloats(f, v, 3);
    return CVector3{v[0], v[1], v[2]};
}

CVector4 FileReadVector4(std::FILE* f)
{
    float v[4];
    ReadFloats(f, v, 4);
    return CVector4{v[0], v[1], v[2], v[3]};
}

CMatrix FileReadMatrix(std::FILE* f)
{
    CMatrix m;
    ReadFloats(f, &m.m[0][0], 16);
    return m;
}

CFixedString FileReadString(std::FILE* f)
{
    // The whole stored text is consumed (up to 256 bytes); only the first
    // 127 characters fit the result.
    char stored[256];
    int length = 0;
    while (length < 256)
    {
        const int c = std::fgetc(f);
        stored[length++] = c == EOF ? '\0' : static_cast<char>(c);
        if (c == EOF || c == 0)
            break;
    }
    CFixedString result;
    int kept = 0;
    while (kept < length && kept < CFixedString::kMaxLength && stored[kept] != '\0')
    {
        result.text[kept] = stored[kept];
        ++kept;
    }
    result.text[kept] = '\0';
    return result;
}

namespace keyed_file {

bool WriteEntry(std::FILE* f, const CKeyedVector3& e)
{
    const float v[4] = {e.key, e.value.x, e.value.y, e.value.z};
    return WriteFloats(f, v, 4) == 1;
}

bool WriteEntry(std::FILE* f, const CKeyedVector4& e)
{
    const float v[5] = {e.key, e.value.x, e.value.y, e.value.z, e.value.w};
    return WriteFloats(f, v, 5) == 1;
}

bool WriteEntry(std::FILE* f, const CKeyedFloat& e)
{
    const float v[2] = {e.key, e.value};
    return WriteFloats(f, v, 2) == 1;
}

// Key and value are read as two values: a stream ending inside the value
// still yields the key.
void ReadEntry(std::FILE* f, CKeyedVector3& e)
{
    e.key = FileReadFloat(f);
    e.value = FileReadVector3(f);
}

void ReadEntry(std::FILE* f, CKeyedVector4& e)
{
    e.key = FileReadFloat(f);
    e.value = FileReadVector4(f);
}

void ReadEntry(std::FILE* f, CKeyedFloat& e)
{
    e.key = FileReadFloat(f);
    e.value = FileReadFloat(f);
}

} // namespace keyed_file
