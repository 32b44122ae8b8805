#pragma once
// One walk over the members of resources.heap: the archive opened in extract
// mode with the archive password and the unpack callback, headers read in
// archive order, each member tested (unpacked to the unpack cursor) or
// skipped, and the archive closed when the walk object goes.

#include <cstdint>

#include "rar/Unrar.h"

extern const char* const kArchiveName;  // "resources.heap"

class CArchiveWalk {
public:
    // Opens the archive and stores the library's handle in *handleField. When
    // it cannot be opened, throws CErrorInit with the message that FormatText
    // makes of openFailureFormat with the archive name and the open result.
    CArchiveWalk(void** handleField, const char* openFailureFormat);
    ~CArchiveWalk();
    CArchiveWalk(const CArchiveWalk&) = delete;
    CArchiveWalk& operator=(const CArchiveWalk&) = delete;

    // Clears header and reads the next one: 0, ERAR_END_ARCHIVE, or another
    // result of the library (the walk cannot go on).
    int Next(RARHeaderData& header);

    // Unpacks the current member into buffer (size bytes, which the caller
    // allocates zeroed, so bytes never delivered read as zeros); true
    // when the library reports success and delivered exactly size bytes.
    // *result receives the library's result (ERAR_BAD_DATA for a wrong length).
    bool Unpack(uint8_t* buffer, int32_t size, int* result);

    void Skip();

private:
    void* handle_;
};

// The member's unpacked size when it can be served from memory: at least 0
// and below 2 GB. Anything else is refused before allocating.
bool UsableUnpackedSize(const RARHeaderData& header, int32_t* size);
