#pragma once
// Random-access reading of the archive file.

#include <cstdint>
#include <cstdio>
#include <string>

namespace rar {

class ArchiveFile {
public:
    ArchiveFile() = default;
    ~ArchiveFile();
    ArchiveFile(const ArchiveFile&) = delete;
    ArchiveFile& operator=(const ArchiveFile&) = delete;

    bool Open(const std::string& path);
    // Reads from a caller's buffer instead of a file (tests, fuzzing); the
    // buffer must outlive this object.
    void OpenMemory(const uint8_t* data, size_t size);
    uint64_t Size() const { return size_; }
    // Reads exactly n bytes at offset; false if the file ends first or fails.
    bool ReadAt(uint64_t offset, void* dst, size_t n);
    // Reads up to n bytes at offset; returns the count (0 at the end).
    size_t ReadSomeAt(uint64_t offset, void* dst, size_t n);

private:
    std::FILE* f_ = nullptr;
    const uint8_t* mem_ = nullptr;
    uint64_t size_ = 0;
    uint64_t pos_ = UINT64_MAX;
};

}  // namespace rar
