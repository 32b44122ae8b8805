#include "rar/pack/ArchiveWriter.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace rar {
namespace pack {

namespace fs = std::filesystem;

namespace {

bool ReadWhole(const std::string& path, std::vector<uint8_t>& out, std::string& error) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) { error = "cannot open " + path; return false; }
    out.clear();
    uint8_t buf[1 << 16];
    size_t got;
    while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + got);
    bool bad = std::ferror(f) != 0;
    std::fclose(f);
    if (bad) { error = "cannot read " + path; return false; }
    return true;
}

bool Flush(std::FILE* f, std::vector<uint8_t>& buf) {
    if (!buf.empty() && std::fwrite(buf.data(), 1, buf.size(), f) != buf.size()) return false;
    buf.clear();
    return true;
}

}  // namespace

bool WriteArchive(const std::string& path, const std::vector<Entry>& entries, const Options& options,
                  std::string& error) {
    if (options.encryptHeaders && options.password.empty()) {
        error = "encrypted headers need a password";
        return false;
    }
    std::unique_ptr<FormatWriter> w =
        options.format == Format::Rar5 ? MakeRar5Writer(options) : MakeRar4Writer(options);
    // Written to a temporary name first, so a failure never leaves half an archive.
    const std::string tmp = path + ".tmp";
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) { error = "cannot create " + tmp; return false; }
    std::vector<uint8_t> buf, data;
    bool ok = w->Begin(buf) && Flush(f, buf);
    for (size_t i = 0; ok && i < entries.size(); ++i) {
        const Entry& e = entries[i];
        const std::vector<uint8_t>* bytes = &e.data;
        if (!e.isDir && !e.sourcePath.empty()) {
            if (!ReadWhole(e.sourcePath, data, error)) { ok = false; break; }
            bytes = &data;
        }
        ok = w->Add(e, e.isDir ? std::vector<uint8_t>() : *bytes, buf) && Flush(f, buf);
        if (!ok && error.empty()) error = "cannot add " + e.name;
    }
    ok = ok && w->End(buf) && Flush(f, buf);
    if (std::fclose(f) != 0) ok = false;
    if (ok) {
        std::error_code ec;
        fs::rename(tmp, path, ec);
        if (ec) { error = "cannot rename to " + path + ": " + ec.message(); ok = false; }
    }
    if (!ok) {
        if (error.empty()) error = "cannot write " + tmp;
        std::error_code ec;
        fs::remove(tmp, ec);
    }
    return ok;
}

bool CollectTree(const std::string& root, std::vector<Entry>& out, std::string& error) {
    std::error_code ec;
    if (!fs::is_directory(root, ec)) { error = root + " is not a directory"; return false; }
    std::vector<Entry> found;
    fs::recursive_directory_iterator it(root, ec), end;
    if (ec) { error = "cannot read " + root + ": " + ec.message(); return false; }
    for (; it != end; it.increment(ec)) {
        if (ec) { error = "cannot read " + root + ": " + ec.message(); return false; }
        const fs::directory_entry& d = *it;
        Entry e;
        e.name = fs::relative(d.path(), root, ec).generic_u8string();
        if (ec) { error = "cannot name " + d.path().string(); return false; }
        fs::file_status st = d.status(ec);
        if (ec) continue;
        if (fs::is_directory(st)) e.isDir = true;
        else if (!fs::is_regular_file(st)) continue;  // sockets, devices: not resources
        else e.sourcePath = d.path().string();
        e.mode = uint32_t(st.permissions()) & 0777;
        auto t = fs::last_write_time(d.path(), ec);
        if (!ec) {
            auto since = t.time_since_epoch() - fs::file_time_type::clock::now().time_since_epoch() +
                         std::chrono::system_clock::now().time_since_epoch();
            e.mtime = std::chrono::duration_cast<std::chrono::seconds>(since).count();
        }
        found.push_back(e);
    }
    std::sort(found.begin(), found.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
    out.insert(out.end(), found.begin(), found.end());
    return true;
}

}  // namespace pack
}  // namespace rar
