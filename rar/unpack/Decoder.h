#pragma once
// The seam between the archive containers and the decompressors.
//
// A container (RAR5 or RAR4) finds a member, decrypts its packed bytes and
// hands them to the Decoder that the member's method and version ask for.
// The decoder writes unpacked bytes to the output in chunks; it never reads
// past the member's packed data and never writes more than unpSize bytes.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace rar {

// Packed (already decrypted) bytes of the current member.
class PackedInput {
public:
    virtual ~PackedInput() = default;
    // Copies up to n bytes into dst. Returns the count, 0 at the end of the
    // member's packed data, negative on a read error.
    virtual long Read(uint8_t* dst, size_t n) = 0;
};

// Where unpacked bytes go.
class UnpackedOutput {
public:
    virtual ~UnpackedOutput() = default;
    // Receives the next chunk. Returning false stops the member.
    virtual bool Write(const uint8_t* data, size_t n) = 0;
};

enum class DecodeResult {
    Ok,           // exactly unpSize bytes were written
    BadData,      // corrupt or truncated stream, or a bound was violated
    Stopped,      // the output asked to stop
    NoMemory,     // the window or a model could not be allocated
    Unsupported,  // a feature this decoder does not implement
};

class Decoder {
public:
    virtual ~Decoder() = default;
    // Decodes one member of unpSize bytes. With solid set, the window, the
    // tables and the models left by the previous member carry over; after a
    // failure the next solid member must fail cleanly too, never read stale state.
    virtual DecodeResult Decode(PackedInput& in, uint64_t unpSize,
                                UnpackedOutput& out, bool solid) = 0;
};

// RAR 1.5 to 4.x coders by their UnpVer (15, 20, 26, 29, 36); null for others.
std::unique_ptr<Decoder> MakeRar4Decoder(unsigned unpVer, size_t dictionarySize);

// RAR5 / RAR7 coder; dictionarySize is what the member's header declares.
std::unique_ptr<Decoder> MakeRar5Decoder(size_t dictionarySize);

// The RAR 7 coder (RAR5 container, algorithm version 1): the RAR5 coder
// with the larger distance alphabet.
std::unique_ptr<Decoder> MakeRar7Decoder(size_t dictionarySize);

}  // namespace rar
