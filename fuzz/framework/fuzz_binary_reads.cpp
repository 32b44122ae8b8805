// Fuzzes the binary file readers (FileReadString, FileReadKeys of the three
// entry types, the fixed-size readers) over arbitrary streams. The first byte
// of the input chooses the order of the reads; the rest is the stream.
#include "framework/BinaryFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

template <class Entry>
void ReadKeys(std::FILE* f, CKeyedArray<Entry>& array)
{
    const long before = FileTell(f);
    FileReadKeys(f, array);
    if (array.count < 0 || array.count > 65535 || array.count > array.capacity)
        std::abort();
    if (array.count > 0 && (array.capacity < 8 || (array.capacity & (array.capacity - 1)) != 0))
        std::abort(); // growth is 8, 16, 32, ...
    if (FileTell(f) < before)
        std::abort();
    // Touch every entry so that a wrong count is caught by the sanitizer.
    float sum = 0;
    for (int i = 0; i < array.count; ++i)
        sum += array.items[i].key;
    (void)sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0 || size > (1 << 16))
        return 0;
    std::FILE* f = std::tmpfile();
    if (!f)
        return 0;
    std::fwrite(data + 1, 1, size - 1, f);
    std::rewind(f);

    CKeyedArray<CKeyedVector3> vectors3;
    CKeyedArray<CKeyedVector4> vectors4;
    CKeyedArray<CKeyedFloat> floats;
    unsigned program = data[0];
    for (int step = 0; step < 64 && !FileAtEnd(f); ++step)
    {
        switch (program % 8)
        {
        case 0: {
            const long before = FileTell(f);
            const CFixedString s = FileReadString(f);
            if (std::strlen(s.c_str()) > CFixedString::kMaxLength || FileTell(f) - before > 256)
                std::abort();
            break;
        }
        case 1: ReadKeys(f, vectors3); break;
        case 2: ReadKeys(f, vectors4); break;
        case 3: ReadKeys(f, floats); break;
        case 4: FileReadMatrix(f); break;
        case 5: FileReadInt16(f); FileReadInt8(f); break;
        case 6: FileReadVector3(f); FileReadVector4(f); break;
        case 7: FileReadInt32(f); FileReadFloat(f); break;
        }
        program = program / 8 + step * 37 + 11;
    }
    std::fclose(f);
    return 0;
}
