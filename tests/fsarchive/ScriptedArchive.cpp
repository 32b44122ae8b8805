#include "ScriptedArchive.h"

#include <algorithm>
#include <cstring>

namespace fstest {
namespace {

ScriptedArchive* g_active = nullptr;

struct Walk {
    int next = 0;     // index of the next header
    int current = -1; // member whose header was read last
    UNRARCALLBACK callback = nullptr;
};

HANDLE Open(RAROpenArchiveData* data) {
    ScriptedArchive& a = *g_active;
    ++a.opens;
    if (a.nullHandle) {
        data->OpenResult = ERAR_EOPEN;
        return nullptr;
    }
    data->OpenResult = a.openResult;
    return new Walk;
}

int Close(HANDLE h) {
    ++g_active->closes;
    delete static_cast<Walk*>(h);
    return 0;
}

int ReadHeader(HANDLE h, RARHeaderData* header) {
    Walk& w = *static_cast<Walk*>(h);
    ScriptedArchive& a = *g_active;
    if (w.next == a.headerErrorAt) return ERAR_BAD_ARCHIVE;
    if (w.next >= static_cast<int>(a.members.size())) return ERAR_END_ARCHIVE;
    const ScriptedMember& m = a.members[w.next];
    std::strncpy(header->FileName, m.name.c_str(), sizeof header->FileName - 1);
    header->Flags = m.flags;
    header->UnpSize = static_cast<unsigned int>(m.unpSize < 0 ? m.bytes.size() : m.unpSize);
    w.current = w.next++;
    return 0;
}

int Process(HANDLE h, int operation, char*, char*) {
    Walk& w = *static_cast<Walk*>(h);
    ScriptedArchive& a = *g_active;
    if (operation == RAR_SKIP) {
        ++a.skips;
        return 0;
    }
    ++a.tests;
    const ScriptedMember& m = a.members[w.current];
    size_t step = m.chunkSize ? m.chunkSize : std::max<size_t>(m.bytes.size(), 1);
    for (size_t off = 0; off < m.bytes.size(); off += step) {
        size_t n = std::min(step, m.bytes.size() - off);
        if (w.callback(UCM_PROCESSDATA, a.callbackUserData, LPARAM(m.bytes.data() + off), LPARAM(n)) == -1) {
            return ERAR_UNKNOWN;
        }
    }
    return m.processResult;
}

void SetCallback(HANDLE h, UNRARCALLBACK callback, LPARAM user) {
    static_cast<Walk*>(h)->callback = callback;
    g_active->callbackSet = true;
    g_active->callbackUserData = user;
}

void SetPassword(HANDLE, char* password) { g_active->password = password; }

const CArchiveLibrary kScripted = {Open, Close, ReadHeader, Process, SetCallback, SetPassword};

}  // namespace

ScriptedArchive::ScriptedArchive() {
    g_active = this;
    SetArchiveLibrary(&kScripted);
}

ScriptedArchive::~ScriptedArchive() {
    SetArchiveLibrary(nullptr);
    g_active = nullptr;
}

}  // namespace fstest
