#pragma once
// Saving a file safely: write a temporary file, push it to the disk, then
// move it over the target in one step, so a crash leaves either the old or
// the new file, never a half-written one.

#include <cstdio>

// Flushes the stream and asks the operating system to write the file's data
// to the disk. False on failure.
bool FlushFileToDisk(std::FILE* file);

// Replaces target by source (source disappears). False on failure, in which
// case target is unchanged.
bool MoveFileOver(const char* source, const char* target);
