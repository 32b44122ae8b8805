// runtime.log, byte for byte.
#include <cstring>
#include <filesystem>
#include <string>

#include "WorkDir.h"
#include "log/LogService.h"
#include "sdk/Services.h"

namespace {

using LogTest = WorkDirTest;

TEST_F(LogTest, StartAndClosingLinesFrameTheRun) {
    {
        CLogService log;
        EXPECT_TRUE(log.isOpen);
        EXPECT_EQ(ReadFile("runtime.log"), "Starting logging service\n");
        log.Log("value %d of %s", 7, "seven");
        // Written through at once: the line is in the file while the log is open.
        EXPECT_EQ(ReadFile("runtime.log"), "Starting logging service\nvalue 7 of seven\n");
    }
    EXPECT_EQ(ReadFile("runtime.log"), "Starting logging service\nvalue 7 of seven\nClosing logging service\n");
}

TEST_F(LogTest, MessagesAreWrittenUnchangedWithOneLineFeed) {
    struct Case {
        const char* format;
        const char* arg;
        const char* written;
    } const cases[] = {
        {"", nullptr, "\n"},
        {"two\nlines", nullptr, "two\nlines\n"},
        {"crlf\r\n", nullptr, "crlf\r\n\n"},
        {"%s", "50% off", "50% off\n"},
        {"utf-8 %s", "\xC3\x84rger", "utf-8 \xC3\x84rger\n"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove("runtime.log");
        CLogService log;
        if (c.arg) {
            log.Log(c.format, c.arg);
        } else {
            log.Log(c.format, 0);
        }
        EXPECT_EQ(ReadFile("runtime.log"), std::string("Starting logging service\n") + c.written) << c.format;
    }
}

TEST_F(LogTest, ASecondRunRecreatesTheFile) {
    { CLogService first; first.Log("first run only"); }
    { CLogService second; second.Log("second"); }
    EXPECT_EQ(ReadFile("runtime.log"),
              "Starting logging service\nsecond\nClosing logging service\n");
}

TEST_F(LogTest, VeryLongMessageIsCutNotOverrun) {
    const std::string big(20000, 'L');
    CLogService log;
    log.Log("%s", big.c_str());
    log.Log("after");
    EXPECT_EQ(ReadFile("runtime.log"),
              "Starting logging service\n" + big.substr(0, 16383) + "\nafter\n");
}

TEST_F(LogTest, LogThatCannotBeCreatedIsSilent) {
    std::filesystem::create_directory("runtime.log");  // a directory cannot be opened for writing
    {
        CLogService log;
        EXPECT_FALSE(log.isOpen);
        log.Log("nothing %d", 1);
    }
    EXPECT_TRUE(std::filesystem::is_directory("runtime.log"));
    EXPECT_TRUE(std::filesystem::is_empty("runtime.log"));
}

TEST_F(LogTest, DestroyedLogLeavesTheProcessSlot) {
    auto* log = new CLogService;
    SetProcessServices(log, nullptr, nullptr);
    EXPECT_EQ(GetProcessLog(), log);
    delete log;
    EXPECT_EQ(GetProcessLog(), nullptr);
}

}  // namespace
