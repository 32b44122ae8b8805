// heaptool: lists, tests and prints members of RAR archives (such as the
// demo's resources.heap) through the archive reader's C interface, and packs
// a directory tree into a new archive.

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "rar/Unrar.h"
#include "rar/pack/ArchiveWriter.h"

namespace {

const char* const kDefaultPassword = "ArchiveStore::Mount : header digests mismatch (wrong key given?)";

const char* const kUsage =
    "usage: heaptool [options] COMMAND ARCHIVE [ARGS]\n"
    "\n"
    "commands:\n"
    "  list ARCHIVE           names, sizes and flags of every member\n"
    "  test ARCHIVE           unpack every member in memory and check it;\n"
    "                         exit status 0 when all members are sound\n"
    "  cat ARCHIVE NAME       write the member's bytes to standard output\n"
    "  pack ARCHIVE DIR       write the tree under DIR as a new archive of\n"
    "                         stored members (an existing ARCHIVE is replaced);\n"
    "                         member names are paths relative to DIR\n"
    "\n"
    "options:\n"
    "  -p PASSWORD            password (default: the host's archive password,\n"
    "                         so `heaptool pack resources.heap data` makes a\n"
    "                         resources.heap the host can read)\n"
    "  -n                     no password (pack: no encryption)\n"
    "  -f rar5|rar4           pack: archive format (default rar5)\n"
    "  -e                     pack: encrypt the headers too (names hidden)\n"
    "  -h, --help             this text\n"
    "\n"
    "exit status: 0 success, 1 a member or header failed, 2 usage or open error\n";

struct Sink {
    std::vector<unsigned char>* bytes = nullptr;
    FILE* out = nullptr;
};

int CALLBACK OnData(UINT msg, LPARAM user, LPARAM p1, LPARAM p2) {
    if (msg != UCM_PROCESSDATA) return msg == UCM_NEEDPASSWORD ? -1 : 1;
    Sink* s = reinterpret_cast<Sink*>(user);
    const unsigned char* d = reinterpret_cast<const unsigned char*>(p1);
    if (s->out && std::fwrite(d, 1, size_t(p2), s->out) != size_t(p2)) return -1;
    if (s->bytes) s->bytes->insert(s->bytes->end(), d, d + p2);
    return 1;
}

HANDLE Open(const std::string& path, const char* password, Sink* sink, unsigned mode = RAR_OM_EXTRACT) {
    RAROpenArchiveData od;
    std::memset(&od, 0, sizeof od);
    std::vector<char> name(path.begin(), path.end());
    name.push_back(0);
    od.ArcName = name.data();
    od.OpenMode = mode;
    HANDLE h = RAROpenArchive(&od);
    if (!h || od.OpenResult != 0) {
        std::fprintf(stderr, "heaptool: cannot open %s (open result %u)\n", path.c_str(), od.OpenResult);
        if (h) RARCloseArchive(h);
        return nullptr;
    }
    if (password) RARSetPassword(h, const_cast<char*>(password));
    RARSetCallback(h, OnData, LPARAM(sink));
    return h;
}

bool IsDir(const RARHeaderData& hd) { return (hd.Flags & RHDF_DIRECTORY) == RHDF_DIRECTORY; }

int List(const std::string& path, const char* password) {
    Sink sink;
    HANDLE h = Open(path, password, &sink, RAR_OM_LIST);
    if (!h) return 2;
    RARHeaderData hd;
    int rc;
    while (std::memset(&hd, 0, sizeof hd), (rc = RARReadHeader(h, &hd)) == 0) {
        std::printf("%10u  %02x  %s%s\n", hd.UnpSize, hd.Flags, hd.FileName, IsDir(hd) ? "/" : "");
        RARProcessFile(h, RAR_SKIP, nullptr, nullptr);
    }
    RARCloseArchive(h);
    if (rc != ERAR_END_ARCHIVE) {
        std::fprintf(stderr, "heaptool: reading headers failed (%d)\n", rc);
        return 1;
    }
    return 0;
}

int Test(const std::string& path, const char* password) {
    Sink sink;
    HANDLE h = Open(path, password, &sink);
    if (!h) return 2;
    RARHeaderData hd;
    int rc, bad = 0;
    while (std::memset(&hd, 0, sizeof hd), (rc = RARReadHeader(h, &hd)) == 0) {
        if (IsDir(hd)) {
            RARProcessFile(h, RAR_SKIP, nullptr, nullptr);
            continue;
        }
        int r = RARProcessFile(h, RAR_TEST, nullptr, nullptr);
        std::printf("%-4s %s%s\n", r == 0 ? "OK" : "FAIL", hd.FileName,
                    r == 0 ? "" : (" (error " + std::to_string(r) + ")").c_str());
        if (r != 0) ++bad;
    }
    RARCloseArchive(h);
    if (rc != ERAR_END_ARCHIVE) {
        std::fprintf(stderr, "heaptool: reading headers failed (%d)\n", rc);
        return 1;
    }
    return bad ? 1 : 0;
}

int Cat(const std::string& path, const std::string& member, const char* password) {
    Sink sink;
    HANDLE h = Open(path, password, &sink);
    if (!h) return 2;
    RARHeaderData hd;
    int rc;
    while (std::memset(&hd, 0, sizeof hd), (rc = RARReadHeader(h, &hd)) == 0) {
        if (!IsDir(hd) && member == hd.FileName) {
#ifdef _WIN32
            _setmode(_fileno(stdout), _O_BINARY);  // the member's bytes as they are, no CR added
#endif
            sink.out = stdout;
            int r = RARProcessFile(h, RAR_TEST, nullptr, nullptr);
            RARCloseArchive(h);
            if (r != 0) std::fprintf(stderr, "heaptool: %s: error %d\n", member.c_str(), r);
            return r == 0 ? 0 : 1;
        }
        RARProcessFile(h, RAR_SKIP, nullptr, nullptr);
    }
    RARCloseArchive(h);
    std::fprintf(stderr, "heaptool: %s: no such member (%d)\n", member.c_str(), rc);
    return 1;
}

int Pack(const std::string& archive, const std::string& dir, const char* password, bool rar4, bool encHeaders) {
    rar::pack::Options o;
    o.format = rar4 ? rar::pack::Format::Rar4 : rar::pack::Format::Rar5;
    o.password = password ? password : "";
    o.encryptHeaders = encHeaders;
    if (encHeaders && o.password.empty()) {
        std::fputs("heaptool: -e needs a password\n", stderr);
        return 2;
    }
    std::vector<rar::pack::Entry> entries;
    std::string error;
    if (!rar::pack::CollectTree(dir, entries, error) || !rar::pack::WriteArchive(archive, entries, o, error)) {
        std::fprintf(stderr, "heaptool: %s\n", error.c_str());
        return 2;
    }
    std::printf("%zu entries written to %s\n", entries.size(), archive.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* password = kDefaultPassword;
    bool rar4 = false, encHeaders = false;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "-h" || a == "--help") { std::fputs(kUsage, stdout); return 0; }
        if (a == "-p" && i + 1 < argc) { password = argv[++i]; continue; }
        if (a == "-n") { password = nullptr; continue; }
        if (a == "-e") { encHeaders = true; continue; }
        if (a == "-f" && i + 1 < argc) {
            std::string f = argv[++i];
            if (f != "rar4" && f != "rar5") { std::fputs(kUsage, stderr); return 2; }
            rar4 = f == "rar4";
            continue;
        }
        args.push_back(a);
    }
    if (args.size() < 2) { std::fputs(kUsage, stderr); return 2; }
    const std::string& cmd = args[0];
    if (cmd == "list") return List(args[1], password);
    if (cmd == "test") return Test(args[1], password);
    if (cmd == "cat" && args.size() == 3) return Cat(args[1], args[2], password);
    if (cmd == "pack" && args.size() == 3) return Pack(args[1], args[2], password, rar4, encHeaders);
    std::fputs(kUsage, stderr);
    return 2;
}
