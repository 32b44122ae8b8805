// libFuzzer target: the whole open / read header / process loop over an
// archive held in memory, with a password so that encrypted paths run too.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "rar/MemoryArchive.h"
#include "rar/Unrar.h"

namespace {

struct Count {
    unsigned long long bytes = 0;
    unsigned long long limit = 0;
};

int CALLBACK OnData(UINT msg, LPARAM user, LPARAM p1, LPARAM p2) {
    if (msg != UCM_PROCESSDATA) return msg == UCM_NEEDPASSWORD ? -1 : 1;
    Count* c = reinterpret_cast<Count*>(user);
    const volatile uint8_t* d = reinterpret_cast<const uint8_t*>(p1);
    if (p2 > 0) (void)d[p2 - 1];  // the chunk must be readable
    c->bytes += (unsigned long long)p2;
    if (c->bytes > c->limit) __builtin_trap();  // never more than the header's size
    return 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int rc = 0;
    void* h = rar::OpenArchiveMemory(data, size, &rc);
    if (!h) return 0;
    RARSetPassword(h, const_cast<char*>("password"));
    Count count;
    RARSetCallback(h, OnData, LPARAM(&count));
    RARHeaderData hd;
    for (int i = 0; i < 64; ++i) {
        std::memset(&hd, 0, sizeof hd);
        if (RARReadHeader(h, &hd) != 0) break;
        if (std::strlen(hd.FileName) >= sizeof hd.FileName) __builtin_trap();
        count.bytes = 0;
        count.limit = hd.UnpSize;
        RARProcessFile(h, (i & 3) == 3 ? RAR_SKIP : RAR_TEST, nullptr, nullptr);
    }
    RARCloseArchive(h);
    return 0;
}
