#include "RarWalk.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <unistd.h>

#include <cstring>

namespace rartest {

namespace {

struct Sink {
    MemberResult* m = nullptr;
};

int CALLBACK OnMessage(UINT msg, LPARAM user, LPARAM p1, LPARAM p2) {
    if (msg == UCM_NEEDPASSWORD) return -1;
    if (msg != UCM_PROCESSDATA) return 1;
    Sink* s = reinterpret_cast<Sink*>(user);
    if (s->m) {
        s->m->bytes.append(reinterpret_cast<const char*>(p1), size_t(p2));
        s->m->chunks++;
    }
    return 1;
}

}  // namespace

std::string ScratchPath(const std::string& stem) {
    const ::testing::TestInfo* t = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string id = t ? std::string(t->test_suite_name()) + "_" + t->name() : "none";
    for (char& c : id)
        if (c == '/') c = '_';
    // The process id keeps two test runs on one machine (two build trees) apart.
    return ::testing::TempDir() + "rar_" + std::to_string(::getpid()) + "_" + id + "_" + stem;
}

bool IsDirectory(unsigned flags) { return (flags & RHDF_DIRECTORY) == RHDF_DIRECTORY; }

std::string Md5Hex(const std::string& bytes) {
    unsigned char d[16];
    unsigned int n = 0;
    EVP_Digest(bytes.data(), bytes.size(), d, &n, EVP_md5(), nullptr);
    static const char* hex = "0123456789abcdef";
    std::string s;
    for (unsigned i = 0; i < n; ++i) { s += hex[d[i] >> 4]; s += hex[d[i] & 15]; }
    return s;
}

WalkResult Walk(const std::string& path, const char* password, size_t maxMembers) {
    WalkResult w;
    RAROpenArchiveData od;
    std::memset(&od, 0, sizeof od);
    std::string name = path;
    od.ArcName = &name[0];
    od.OpenMode = RAR_OM_EXTRACT;
    HANDLE h = RAROpenArchive(&od);
    w.openResult = int(od.OpenResult);
    if (!h) return w;
    w.opened = true;
    if (password) RARSetPassword(h, const_cast<char*>(password));
    Sink sink;
    RARSetCallback(h, OnMessage, LPARAM(&sink));
    while (w.members.size() < maxMembers) {
        RARHeaderData hd;
        std::memset(&hd, 0, sizeof hd);
        w.endCode = RARReadHeader(h, &hd);
        if (w.endCode != 0) break;
        MemberResult m;
        m.name = hd.FileName;
        m.flags = hd.Flags;
        m.unpSize = hd.UnpSize;
        m.unpVer = hd.UnpVer;
        m.method = hd.Method;
        w.members.push_back(m);
        sink.m = &w.members.back();
        w.members.back().rc = RARProcessFile(h, IsDirectory(hd.Flags) ? RAR_SKIP : RAR_TEST, nullptr, nullptr);
        sink.m = nullptr;
    }
    RARCloseArchive(h);
    return w;
}

}  // namespace rartest
