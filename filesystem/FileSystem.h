#pragma once
// The read-only resource file system as the engine module sees it. A file is
// named by a relative path and an fopen mode; the handle is a slot index from
// 1 to 15, and 0 stands for no file. The engine calls the operations by
// position, in the order declared here, the virtual destructor last.

#include <cstdint>

using FileHandle = int32_t;

class CFileSystem {
public:
    // The handle of the opened file, or 0 when nothing could be opened.
    virtual FileHandle OpenFile(const char* name, const char* mode) = 0;
    // Size in bytes, fixed when the file was opened.
    virtual int32_t GetSize(FileHandle file) = 0;
    // Copies up to length bytes; returns how many were delivered (0 at the end).
    virtual int32_t Read(FileHandle file, void* buffer, int32_t length) = 0;
    // Writing is not supported by the host's file system: always 0.
    virtual int32_t Write(FileHandle file, const void* data, int32_t length) = 0;
    // True when everything has been delivered.
    virtual bool IsEof(FileHandle file) = 0;
    // Closes the file; the caller's variable keeps its value.
    virtual void CloseFile(FileHandle& file) = 0;
    virtual ~CFileSystem() {}
};
