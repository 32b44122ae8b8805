// Log file primitives over POSIX descriptors.
#include "platform/LogFile.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

LogFileHandle CreateLogFile(const char* path) {
    int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    return fd < 0 ? kInvalidLogFile : static_cast<LogFileHandle>(fd);
}

void WriteLogFile(LogFileHandle file, const void* data, size_t size) {
    if (file == kInvalidLogFile) return;
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::write(static_cast<int>(file), p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return;  // a failed write is dropped; the next line is tried anyway
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
}

void CloseLogFile(LogFileHandle file) {
    if (file != kInvalidLogFile) ::close(static_cast<int>(file));
}
