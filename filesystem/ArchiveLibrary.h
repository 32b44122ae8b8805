#pragma once
// The six calls of the archive library (our reader, or a system's UnRAR
// library when the build links that one instead), reached through one table
// so that tests can stand a scripted library in for the linked one.

#include "rar/Unrar.h"

// PASCAL is the calls' calling convention (stdcall in 32-bit Windows builds).
struct CArchiveLibrary {
    HANDLE (PASCAL* openArchive)(RAROpenArchiveData* data);
    int (PASCAL* closeArchive)(HANDLE archive);
    int (PASCAL* readHeader)(HANDLE archive, RARHeaderData* header);
    int (PASCAL* processFile)(HANDLE archive, int operation, char* destPath, char* destName);
    void (PASCAL* setCallback)(HANDLE archive, UNRARCALLBACK callback, LPARAM userData);
    void (PASCAL* setPassword)(HANDLE archive, char* password);
};

// The table in use: the linked library unless a test has set another.
const CArchiveLibrary& ArchiveLibrary();

// Tests only: use library from now on; null goes back to the linked one.
void SetArchiveLibrary(const CArchiveLibrary* library);

// True when a header's Flags mark a directory entry. Our reader keeps the
// RAR 1.5-4.x bits (0xE0 all set); a system's UnRAR library sets 0x20.
bool IsDirectoryEntry(unsigned int flags);
