#include "filesystem/ArchiveWalk.h"

#include <climits>
#include <cstring>

#include "errors/Error.h"
#include "errors/FormatText.h"
#include "filesystem/ArchiveLibrary.h"
#include "filesystem/UnpackCallback.h"

const char* const kArchiveName = "resources.heap";

namespace {

// The fixed password of resources.heap. Never logged or shown.
const char kArchivePassword[] = "ArchiveStore::Mount : header digests mismatch (wrong key given?)";

}  // namespace

CArchiveWalk::CArchiveWalk(void** handleField, const char* openFailureFormat) : handle_(nullptr) {
    RAROpenArchiveData open;
    std::memset(&open, 0, sizeof open);
    char name[32];
    std::strcpy(name, kArchiveName);
    open.ArcName = name;
    open.OpenMode = RAR_OM_EXTRACT;

    const CArchiveLibrary& lib = ArchiveLibrary();
    void* handle = lib.openArchive(&open);
    *handleField = handle;
    if (!handle || open.OpenResult != 0) {
        if (handle) lib.closeArchive(handle);
        throw new CErrorInit(FormatText(openFailureFormat, kArchiveName, static_cast<int>(open.OpenResult)));
    }
    handle_ = handle;

    char password[sizeof kArchivePassword];
    std::memcpy(password, kArchivePassword, sizeof password);
    lib.setPassword(handle_, password);
    std::memset(password, 0, sizeof password);
    lib.setCallback(handle_, UnpackCallback, 0);
}

CArchiveWalk::~CArchiveWalk() { ArchiveLibrary().closeArchive(handle_); }

int CArchiveWalk::Next(RARHeaderData& header) {
    std::memset(&header, 0, sizeof header);
    return ArchiveLibrary().readHeader(handle_, &header);
}

bool CArchiveWalk::Unpack(uint8_t* buffer, int32_t size, int* result) {
    SetUnpackCursor(buffer, size);
    int r = ArchiveLibrary().processFile(handle_, RAR_TEST, nullptr, nullptr);
    if (r == 0 && !UnpackCursorFilled()) r = ERAR_BAD_DATA;
    *result = r;
    return r == 0;
}

void CArchiveWalk::Skip() { ArchiveLibrary().processFile(handle_, RAR_SKIP, nullptr, nullptr); }

bool UsableUnpackedSize(const RARHeaderData& header, int32_t* size) {
    if (header.UnpSize > static_cast<unsigned int>(INT32_MAX)) return false;
    *size = static_cast<int32_t>(header.UnpSize);
    return true;
}
