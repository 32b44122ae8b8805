#include "rar/ArchiveFile.h"

#include <cstdio>
#include <cstring>

namespace rar {

namespace {

// 64-bit positions whatever the width of long (32 bits on Windows), so
// archives past 2 GB open there too.
int SeekTo(FILE* f, int64_t offset, int whence) {
#ifdef _WIN32
    return _fseeki64(f, offset, whence);
#else
    return fseeko(f, off_t(offset), whence);
#endif
}

int64_t Tell(FILE* f) {
#ifdef _WIN32
    return _ftelli64(f);
#else
    return int64_t(ftello(f));
#endif
}

}  // namespace

ArchiveFile::~ArchiveFile() {
    if (f_) std::fclose(f_);
}

bool ArchiveFile::Open(const std::string& path) {
    f_ = std::fopen(path.c_str(), "rb");
    if (!f_) return false;
    if (SeekTo(f_, 0, SEEK_END) != 0) return false;
    int64_t end = Tell(f_);
    if (end < 0) return false;
    size_ = uint64_t(end);
    pos_ = UINT64_MAX;
    return true;
}

void ArchiveFile::OpenMemory(const uint8_t* data, size_t size) {
    mem_ = data;
    size_ = size;
}

size_t ArchiveFile::ReadSomeAt(uint64_t offset, void* dst, size_t n) {
    if ((!f_ && !mem_) || offset >= size_ || n == 0) return 0;
    if (n > size_ - offset) n = size_t(size_ - offset);
    if (mem_) {
        std::memcpy(dst, mem_ + offset, n);
        return n;
    }
    if (pos_ != offset) {
        if (offset > uint64_t(INT64_MAX) || SeekTo(f_, int64_t(offset), SEEK_SET) != 0) { pos_ = UINT64_MAX; return 0; }
    }
    size_t got = std::fread(dst, 1, n, f_);
    pos_ = offset + got;
    if (got != n) pos_ = UINT64_MAX;
    return got;
}

bool ArchiveFile::ReadAt(uint64_t offset, void* dst, size_t n) {
    return ReadSomeAt(offset, dst, n) == n;
}

}  // namespace rar
