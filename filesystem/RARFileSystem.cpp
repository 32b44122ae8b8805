// The open-file table and the plain-file path of the host's file system.
// Handles are slot indices 1..15; 0 means no file. Every operation on a handle
// checks it first: a handle that is out of range or not open gives a warning
// line and a neutral result.

#include "filesystem/RARFileSystem.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "errors/Error.h"
#include "errors/FormatText.h"
#include "filesystem/NormalizePath.h"
#include "log/LogService.h"
#include "sdk/Services.h"
#include "vars/VarList.h"

namespace {

// The archive is used only when s_dontusepack is 0; it is read at every call.
bool ArchiveDisabled() {
    CVarList* vars = GetProcessVars();
    CVariable* v = vars ? vars->Find("s_dontusepack") : nullptr;
    return !v || v->value.asInt != 0;
}

// A plain file of the working directory into slot; false when it cannot be
// opened or its size does not fit the table's 32-bit sizes.
bool OpenPlainFile(COpenFileSlot& slot, const char* name, const char* mode) {
    std::FILE* stream = std::fopen(name, mode);
    if (!stream) return false;
    long size = -1;
    if (std::fseek(stream, 0, SEEK_END) == 0) size = std::ftell(stream);
    if (size < 0 || size > INT32_MAX || std::fseek(stream, 0, SEEK_SET) != 0) {
        std::fclose(stream);
        return false;
    }
    slot.stream = stream;
    slot.size = static_cast<int32_t>(size);
    slot.inUse = true;
    return true;
}

}  // namespace

CRARFileSystem::CRARFileSystem() : archiveHandle(nullptr), archiveCached(false) {
    for (COpenFileSlot& slot : slots) slot = COpenFileSlot{};
}

CRARFileSystem::~CRARFileSystem() {
    ReleaseArchiveCache();
    cacheTable.FreeStorage();
    for (FileHandle h = 1; h < kSlotCount; ++h) {
        if (slots[h].inUse) CloseFile(h);
    }
    if (GetProcessFileSystem() == this) SetProcessFileSystem(nullptr);
}

FileHandle CRARFileSystem::OpenFile(const char* name, const char* mode) {
    FileHandle handle = 1;
    while (handle < kSlotCount && slots[handle].inUse) ++handle;
    if (handle == kSlotCount) {
        throw new CErrorRuntime(FormatText(
            "CRARFileSystem::OpenFile : '%s' can't be opened (limit of %d opened files exceeded)",
            name ? name : "", static_cast<int>(kSlotCount)));
    }

    COpenFileSlot& slot = slots[handle];
    slot = COpenFileSlot{};

    // Names that do not fit the normalisation buffers are refused outright.
    if (name && mode && FitsNormalizedPath(name) && !OpenPlainFile(slot, name, mode) && !ArchiveDisabled()) {
        if (archiveCached) {
            OpenFromCache(slot, name);
        } else {
            OpenFromArchive(slot, name);
        }
    }
    if (!slot.inUse) {
        if (CLogService* log = GetProcessLog()) {
            log->Log("Warning: can't open file '%s' in mode '%s'", name ? name : "", mode ? mode : "");
        }
        return 0;
    }
    return handle;
}

COpenFileSlot* CRARFileSystem::OpenSlot(FileHandle file, const char* operation) {
    if (file >= 1 && file < kSlotCount && slots[file].inUse) return &slots[file];
    if (CLogService* log = GetProcessLog()) {
        log->Log("Warning: CRARFileSystem::%s : invalid file handle %d", operation, file);
    }
    return nullptr;
}

int32_t CRARFileSystem::GetSize(FileHandle file) {
    COpenFileSlot* slot = OpenSlot(file, "GetSize");
    return slot ? slot->size : 0;
}

int32_t CRARFileSystem::Read(FileHandle file, void* buffer, int32_t length) {
    COpenFileSlot* slot = OpenSlot(file, "Read");
    if (!slot || !buffer || length <= 0) return 0;
    int32_t left = slot->size - slot->position;
    if (length > left) length = left;
    if (length <= 0) return 0;

    int32_t count;
    if (slot->stream) {
        count = static_cast<int32_t>(std::fread(buffer, 1, static_cast<size_t>(length), slot->stream));
    } else {
        std::memcpy(buffer, slot->data + slot->position, static_cast<size_t>(length));
        count = length;
    }
    slot->position += count;
    return count;
}

int32_t CRARFileSystem::Write(FileHandle, const void*, int32_t) {
    if (CLogService* log = GetProcessLog()) {
        log->Log("CRARFileSystem::Write : method unsupported for this filesystem");
    }
    return 0;
}

bool CRARFileSystem::IsEof(FileHandle file) {
    COpenFileSlot* slot = OpenSlot(file, "IsEof");
    if (!slot || slot->position >= slot->size) return true;
    // A stream that ended early (the file shrank, or a read failed) delivers
    // nothing more: report the end so that read-until-end loops finish.
    return slot->stream && (std::feof(slot->stream) || std::ferror(slot->stream));
}

void CRARFileSystem::CloseFile(FileHandle& file) {
    COpenFileSlot* slot = OpenSlot(file, "CloseFile");
    if (!slot) return;
    if (slot->stream) {
        std::fclose(slot->stream);
        slot->stream = nullptr;
    } else {
        if (slot->ownsData) std::free(slot->data);
        slot->data = nullptr;
    }
    slot->inUse = false;
}
