// The system half of the platform layer: locale, lower-casing, tick, log file.
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "WorkDir.h"
#include "platform/FileReplace.h"
#include "platform/Locale.h"
#include "platform/LogFile.h"
#include "platform/Tick.h"

namespace {

TEST(Locale, NumbersKeepTheDecimalPoint) {
    const char* name = SetProcessLocale();
    ASSERT_NE(name, nullptr);
    char text[32];
    std::snprintf(text, sizeof text, "%f", 0.5);
    EXPECT_STREQ(text, "0.500000");
    EXPECT_DOUBLE_EQ(std::strtod("2.5", nullptr), 2.5);
    std::setlocale(LC_ALL, "C");
}

TEST(Locale, LowerCasingTouchesAsciiLettersOnly) {
    char text[] = "ABC xyz \xC3\x84\xC3\x96 [Z]@\\ \xFF\x80";
    LowerCaseAscii(text);
    EXPECT_STREQ(text, "abc xyz \xC3\x84\xC3\x96 [z]@\\ \xFF\x80");
    LowerCaseAscii(nullptr);
}

TEST(Tick, AdvancesWithTime) {
    uint32_t start = GetMillisecondTick();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    uint32_t elapsed = GetMillisecondTick() - start;  // modular difference
    EXPECT_GE(elapsed, 25u);
    EXPECT_LT(elapsed, 10000u);
}

using LogFileTest = WorkDirTest;

TEST_F(LogFileTest, CreateTruncatesAndWritesThrough) {
    WriteFile("a.log", "old contents");
    LogFileHandle f = CreateLogFile("a.log");
    ASSERT_NE(f, kInvalidLogFile);
    EXPECT_EQ(ReadFile("a.log"), "");
    WriteLogFile(f, "abc", 3);
    EXPECT_EQ(ReadFile("a.log"), "abc");
    CloseLogFile(f);
    EXPECT_EQ(CreateLogFile("no/such/dir/a.log"), kInvalidLogFile);
    WriteLogFile(kInvalidLogFile, "x", 1);
    CloseLogFile(kInvalidLogFile);
}

TEST_F(LogFileTest, MoveFileOverReplacesTheTarget) {
    WriteFile("target", "old");
    WriteFile("source", "new");
    std::FILE* f = std::fopen("source", "a");
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(FlushFileToDisk(f));
    std::fclose(f);
    EXPECT_TRUE(MoveFileOver("source", "target"));
    EXPECT_EQ(ReadFile("target"), "new");
    EXPECT_FALSE(std::filesystem::exists("source"));
    EXPECT_FALSE(MoveFileOver("source", "target"));
    EXPECT_EQ(ReadFile("target"), "new");
}

}  // namespace
