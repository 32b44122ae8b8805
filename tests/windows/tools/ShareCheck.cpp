// sharecheck FILE: tells whether another process may open FILE for reading
// and for writing right now ("read=1 write=0" while the log is held by a
// writer that shares reading only).
#include <windows.h>

#include <cstdio>

namespace {

int CanOpen(const char* path, DWORD access) {
    HANDLE file = CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    CloseHandle(file);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: sharecheck FILE\n");
        return 2;
    }
    std::printf("read=%d write=%d\n", CanOpen(argv[1], GENERIC_READ), CanOpen(argv[1], GENERIC_WRITE));
    return 0;
}
