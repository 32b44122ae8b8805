// A test engine that reads resources through the host's file system as
// ./precache.script and ./frame.script ask (run in Precache and in the one
// Frame it draws), and writes what it got as lines in ./reads.record.
// Script lines:
//   read NAME        open, read everything, record handle, size and bytes, close
//   hold NAME        open and read everything, but keep the file open
//   readheld         read the held files again from the start of what is left
//   closeall         close every held file
//   remove FILE      delete FILE from the working directory
// A CError raised by the file system is recorded ("error TYPE: MESSAGE") and
// then thrown on, so that the host's error report follows.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "sdk/StageHost.h"

namespace {

SystemSocket* g_socket;

void Record(const std::string& line) {
    std::FILE* f = std::fopen("reads.record", "a");
    if (!f) return;
    std::fprintf(f, "%s\n", line.c_str());
    std::fclose(f);
}

// Printable bytes as they are, anything else as \xHH.
std::string Shown(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

std::string ReadRest(CFileSystem* fs, FileHandle h) {
    std::string bytes;
    char buffer[4096];
    for (int32_t n; (n = fs->Read(h, buffer, sizeof buffer)) > 0;) bytes.append(buffer, static_cast<size_t>(n));
    return bytes;
}

std::vector<FileHandle> g_held;

void RunScript(const char* path) {
    std::ifstream in(path);
    CFileSystem* fs = g_socket->fileSystem;
    for (std::string line; std::getline(in, line);) {
        std::string command = line.substr(0, line.find(' '));
        std::string name = line.find(' ') == std::string::npos ? "" : line.substr(line.find(' ') + 1);
        try {
            if (command == "read" || command == "hold") {
                FileHandle h = fs->OpenFile(name.c_str(), "rb");
                std::ostringstream rec;
                rec << command << ' ' << name << " handle=" << h;
                if (h) {
                    rec << " size=" << fs->GetSize(h) << " eof=" << fs->IsEof(h);
                    rec << " bytes=" << Shown(ReadRest(fs, h)) << " eof=" << fs->IsEof(h);
                    if (command == "read") fs->CloseFile(h);
                    else g_held.push_back(h);
                }
                Record(rec.str());
            } else if (command == "readheld") {
                for (FileHandle h : g_held) Record("held " + std::to_string(h) + " bytes=" + Shown(ReadRest(fs, h)));
            } else if (command == "closeall") {
                for (FileHandle& h : g_held) fs->CloseFile(h);
                g_held.clear();
            } else if (command == "remove") {
                Record(name + (std::remove(name.c_str()) == 0 ? " removed" : " not removed"));
            }
        } catch (CError* e) {
            Record(std::string("error ") + e->GetTypeName() + ": " + e->message);
            throw;
        }
    }
}

class CReaderEngine final : public IDemoEngine {
public:
    CReaderEngine() {
        // The renderer variables the host looks up, so that it logs no warnings of its own.
        for (const char* name : {"r_width_phys", "r_height_phys", "r_use_desktop_resolution", "r_fullscreen"}) {
            g_socket->varList->RegisterInt(name, 0, 0, nullptr);
        }
    }
    int32_t Initialize(EngineModuleHandle, AppWindowHandle) override { return 0; }
    void Shutdown() override {}
    bool Configure(EngineModuleHandle) override { return true; }
    int32_t Precache() override {
        RunScript("precache.script");
        return 0;
    }
    void Reserved() override {}
    bool Frame() override {
        RunScript("frame.script");
        return false;
    }
    void Release() override { delete this; }
};

}  // namespace

STAGEHOST_ENGINE_EXPORT void PlugSystemSocket(SystemSocket* socket) { g_socket = socket; }
STAGEHOST_ENGINE_EXPORT IDemoEngine* CreateDemoEngine() { return new CReaderEngine(); }
STAGEHOST_ENGINE_EXPORT void UnplugSystemSocket() { g_socket = nullptr; }
