// Loading a resource through the file system interface: whole contents in
// pieces, the file always closed again, and the two failures.
#include <gtest/gtest.h>

#include <string>

#include "ResourceFile.h"
#include "TestErrors.h"
#include "filesystem/FileSystem.h"

namespace {

// Serves one named text in pieces of at most `piece` bytes; can claim a size
// larger than what it delivers.
class CFakeFiles final : public CFileSystem {
public:
    std::string name = "a.bin";
    std::string text = "0123456789";
    int32_t claimedExtra = 0;
    int32_t piece = 3;
    int opens = 0, closes = 0;

    FileHandle OpenFile(const char* n, const char*) override {
        if (name != n) return 0;
        ++opens;
        position_ = 0;
        return 7;
    }
    int32_t GetSize(FileHandle) override { return static_cast<int32_t>(text.size()) + claimedExtra; }
    int32_t Read(FileHandle, void* buffer, int32_t length) override {
        int32_t n = std::min<int32_t>({length, piece, static_cast<int32_t>(text.size()) - position_});
        text.copy(static_cast<char*>(buffer), static_cast<size_t>(n), static_cast<size_t>(position_));
        position_ += n;
        return n;
    }
    int32_t Write(FileHandle, const void*, int32_t) override { return 0; }
    bool IsEof(FileHandle) override { return position_ >= static_cast<int32_t>(text.size()); }
    void CloseFile(FileHandle& file) override {
        ++closes;
        file = 0;
    }

private:
    int32_t position_ = 0;
};

TEST(ResourceFile, ReadsTheWholeFileAndClosesIt) {
    CFakeFiles files;
    const CResource r = LoadResource(&files, nullptr, "a.bin");
    EXPECT_EQ(r.name, "a.bin");
    EXPECT_EQ(std::string(r.bytes.begin(), r.bytes.end()), "0123456789");
    EXPECT_EQ(files.closes, 1);

    files.text.clear();
    EXPECT_TRUE(LoadResource(&files, nullptr, "a.bin").bytes.empty());
    EXPECT_EQ(files.closes, 2);
}

TEST(ResourceFile, MissingAndShortFilesAreErrors) {
    CFakeFiles files;
    CaughtError missing = Catch([&] { LoadResource(&files, nullptr, "b.bin"); });
    EXPECT_EQ(missing.type, "Missing Resource");
    EXPECT_NE(missing.message.find("'b.bin'"), std::string::npos);
    EXPECT_EQ(Catch([] { LoadResource(nullptr, nullptr, "a.bin"); }).type, "Missing Resource");

    files.claimedExtra = 5;
    CaughtError shortFile = Catch([&] { LoadResource(&files, nullptr, "a.bin"); });
    EXPECT_EQ(shortFile.type, "Bad Resource");
    EXPECT_NE(shortFile.message.find("ended after 10 of 15 bytes"), std::string::npos) << shortFile.message;
    EXPECT_EQ(files.closes, files.opens);  // closed before the error left
}

}  // namespace
