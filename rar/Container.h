#pragma once
// What the handle layer needs from a container reader (RAR5 or RAR4).

#include <memory>
#include <string>

#include "rar/ArchiveFile.h"
#include "rar/Member.h"

namespace rar {

class KeyCache;

struct ReadContext {
    ArchiveFile* file = nullptr;
    const std::string* password = nullptr;  // null when none was given
    KeyCache* keys = nullptr;
};

class Container {
public:
    virtual ~Container() = default;
    // Reads the archive's leading headers after the signature. ERAR_* code.
    virtual int Start(ReadContext& ctx) = 0;
    // Reads the next file header, passing over everything else.
    // ERAR_SUCCESS, ERAR_END_ARCHIVE or an error code.
    virtual int Next(ReadContext& ctx, Member& out) = 0;
    virtual bool Solid() const = 0;
};

// Scans for a signature from the start of the file (SFX modules up to
// 1 MB before it are skipped). Returns the container or null.
std::unique_ptr<Container> DetectContainer(ArchiveFile& file);

std::unique_ptr<Container> MakeRar5Container(uint64_t afterSignature);
std::unique_ptr<Container> MakeRar4Container(uint64_t afterSignature);

}  // namespace rar
