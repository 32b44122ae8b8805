#pragma once
// A file system with its log and host variables in a fresh working directory,
// s_dontusepack already 0 so that the archive is used.

#include <cstring>
#include <string>

#include "WorkDir.h"
#include "errors/Error.h"
#include "filesystem/RARFileSystem.h"
#include "log/LogService.h"
#include "sdk/Services.h"
#include "vars/HostVars.h"

namespace fstest {

class FsArchiveTest : public WorkDirTest {
protected:
    void SetUp() override {
        WorkDirTest::SetUp();
        vars_ = new CVarList;
        host_ = RegisterHostVars(*vars_);
        host_.dontUsePack->SetInt(0);
        log_ = new CLogService;
        fs_ = new CRARFileSystem;
        SetProcessServices(log_, vars_, fs_);
    }
    void TearDown() override {
        delete fs_;
        delete log_;
        delete vars_;
        WorkDirTest::TearDown();
    }

    // The log lines after the start line.
    std::string LogBody() { return ReadFile("runtime.log").substr(std::strlen("Starting logging service\n")); }

    // The whole content of an open file, read in one go.
    std::string ReadAll(FileHandle h) {
        std::string out(static_cast<size_t>(fs_->GetSize(h)), '\0');
        int32_t n = out.empty() ? 0 : fs_->Read(h, &out[0], static_cast<int32_t>(out.size()));
        out.resize(static_cast<size_t>(n));
        return out;
    }

    // The message of the CError that fn throws, with its type name in front;
    // empty when it throws nothing.
    template <typename F>
    static std::string ErrorOf(F fn) {
        try {
            fn();
        } catch (CError* e) {
            std::string text = std::string(e->GetTypeName()) + ": " + e->message;
            DeleteError(e);
            return text;
        }
        return "";
    }

    CVarList* vars_ = nullptr;
    HostVars host_{};
    CLogService* log_ = nullptr;
    CRARFileSystem* fs_ = nullptr;
};

}  // namespace fstest
