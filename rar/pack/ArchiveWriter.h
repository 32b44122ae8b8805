#pragma once
// Writing RAR archives with stored (uncompressed) members, in the RAR5 or
// the RAR 2.9-4.x format, optionally encrypted (file data, and with
// encryptHeaders the headers as well). Used by `heaptool pack` and by tests.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace rar {
namespace pack {

enum class Format { Rar5, Rar4 };

struct Entry {
    std::string name;            // archive path, "/" between components, UTF-8
    bool isDir = false;
    std::vector<uint8_t> data;   // member bytes (used when sourcePath is empty)
    std::string sourcePath;      // read the bytes from this file instead
    int64_t mtime = 0;           // Unix seconds
    uint32_t mode = 0;           // Unix mode bits; 0 means 0644 / 0755
};

struct Options {
    Format format = Format::Rar5;
    std::string password;        // empty: no encryption
    bool encryptHeaders = false; // needs a password
    unsigned rar5KdfCount = 15;  // log2 of the PBKDF2 rounds
};

// Writes the archive; false with a message in error on failure.
bool WriteArchive(const std::string& path, const std::vector<Entry>& entries, const Options& options,
                  std::string& error);

// Collects a directory tree as entries (paths relative to root, sorted,
// each directory before its contents). False with a message on failure.
bool CollectTree(const std::string& root, std::vector<Entry>& out, std::string& error);

// Format writers, fed one member at a time.
class FormatWriter {
public:
    virtual ~FormatWriter() = default;
    virtual bool Begin(std::vector<uint8_t>& out) = 0;
    virtual bool Add(const Entry& e, const std::vector<uint8_t>& data, std::vector<uint8_t>& out) = 0;
    virtual bool End(std::vector<uint8_t>& out) = 0;
};

std::unique_ptr<FormatWriter> MakeRar5Writer(const Options& o);
std::unique_ptr<FormatWriter> MakeRar4Writer(const Options& o);

}  // namespace pack
}  // namespace rar
