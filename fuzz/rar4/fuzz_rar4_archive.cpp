// libFuzzer target: whole archives through the reader's six calls, with the
// RAR 1.5-4.x coders behind them (RAR_TEST for every member, then RAR_SKIP).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "rar/Unrar.h"

namespace {

int CALLBACK Callback(UINT msg, LPARAM, LPARAM, LPARAM) { return msg == UCM_PROCESSDATA ? 1 : -1; }

std::string TempPath() {
    char buf[64];
    std::snprintf(buf, sizeof(buf), "/tmp/fuzz_rar4_%d.rar", int(getpid()));
    return buf;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = TempPath();
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    for (int pass = 0; pass < 2; ++pass) {
        RAROpenArchiveData open{};
        open.ArcName = const_cast<char*>(path.c_str());
        open.OpenMode = RAR_OM_EXTRACT;
        HANDLE h = RAROpenArchive(&open);
        if (!h) return 0;
        RARSetCallback(h, Callback, 0);
        char password[] = "password";
        RARSetPassword(h, password);
        RARHeaderData hd{};
        for (int i = 0; i < 64 && RARReadHeader(h, &hd) == 0; ++i)
            RARProcessFile(h, pass == 0 ? RAR_TEST : RAR_SKIP, nullptr, nullptr);
        RARCloseArchive(h);
    }
    return 0;
}
