// The error family, FormatText and the error report.
#include <cstring>
#include <string>
#include <vector>

#include "WorkDir.h"
#include "errors/Error.h"
#include "errors/ErrorReport.h"
#include "errors/FormatText.h"
#include "log/LogService.h"
#include "sdk/Services.h"

namespace {

struct TypeCase {
    CError* (*make)(const char*);
    const char* typeName;
};

TEST(ErrorTypes, ThrownAsPointerCaughtAsBaseWithItsTypeName) {
    const TypeCase cases[] = {
        {[](const char* m) -> CError* { return new CErrorInit(m); }, "Init"},
        {[](const char* m) -> CError* { return new CErrorRuntime(m); }, "Runtime"},
        {[](const char* m) -> CError* { return new CErrorMissingResource(m); }, "Missing Resource"},
        {[](const char* m) -> CError* { return new CErrorBadResource(m); }, "Bad Resource"},
        {[](const char* m) -> CError* { return new CError(m); }, "Generic"},
    };
    for (const TypeCase& c : cases) {
        try {
            throw c.make("boom");
        } catch (CError* e) {
            EXPECT_STREQ(e->GetTypeName(), c.typeName);
            EXPECT_STREQ(e->message, "boom");
            DeleteError(e);
        }
    }
}

TEST(ErrorTypes, DeleteErrorAcceptsNull) { DeleteError(nullptr); }

TEST(ErrorMessage, LongTextIsCutTo2047Characters) {
    const std::string text(3000, 'x');
    CErrorRuntime e(text.c_str());
    EXPECT_EQ(std::strlen(e.message), 2047u);
    EXPECT_EQ(std::string(e.message), text.substr(0, 2047));
}

TEST(ErrorMessage, NullTextGivesEmptyMessage) {
    CErrorInit e(nullptr);
    EXPECT_STREQ(e.message, "");
}

TEST(ErrorMessage, FormattedTextIsCopied) {
    CErrorInit e(FormatText("value %d", 1));
    for (int i = 0; i < 8; ++i) FormatText("other %d", i);
    EXPECT_STREQ(e.message, "value 1");
}

TEST(FormatText, FourBuffersInRotation) {
    const char* r[5];
    for (int i = 0; i < 4; ++i) r[i] = FormatText("result %d", i);
    EXPECT_STREQ(r[0], "result 0");
    EXPECT_STREQ(r[1], "result 1");
    EXPECT_STREQ(r[2], "result 2");
    EXPECT_STREQ(r[3], "result 3");
    r[4] = FormatText("result %d", 4);
    EXPECT_EQ(r[4], r[0]);
    EXPECT_STREQ(r[0], "result 4");
    EXPECT_STREQ(r[1], "result 1");
}

TEST(FormatText, OutputBeyondTheBufferIsCut) {
    const std::string big(10000, 'n');
    const char* r = FormatText("%s-%s", big.c_str(), "tail");
    EXPECT_EQ(std::strlen(r), 4095u);
    EXPECT_EQ(std::string(r), big.substr(0, 4095));
    // The neighbouring buffer is untouched by the cut.
    const char* next = FormatText("ok");
    EXPECT_STREQ(next, "ok");
}

// Records the boxes the report shows.
std::vector<std::pair<std::string, std::string>> g_boxes;
void RecordBox(const char* caption, const char* text) { g_boxes.emplace_back(caption, text); }

class ErrorReportTest : public WorkDirTest {
protected:
    void SetUp() override {
        WorkDirTest::SetUp();
        g_boxes.clear();
        log_ = new CLogService;
        SetProcessServices(log_, nullptr, nullptr);
    }
    void TearDown() override {
        delete log_;
        WorkDirTest::TearDown();
    }
    CLogService* log_ = nullptr;
};

TEST_F(ErrorReportTest, ErrorObjectLogsThreeLinesThenShowsItsBox) {
    CErrorInit e("Can't create demo engine");
    ReportError(&e, RecordBox);
    EXPECT_EQ(ReadFile("runtime.log"),
              "Starting logging service\n"
              "Exception raised!\n"
              "Type: Init\n"
              "Desc: Can't create demo engine\n");
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0].first, "Init");
    EXPECT_EQ(g_boxes[0].second, "Can't create demo engine");
}

TEST_F(ErrorReportTest, NoErrorObjectReportsAnUnknownException) {
    ReportError(nullptr, RecordBox);
    EXPECT_EQ(ReadFile("runtime.log"),
              "Starting logging service\n"
              "Exception raised!\n"
              "Type: Unknown exception\n"
              "Desc: None\n");
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0].first, "Exception cought");
    EXPECT_EQ(g_boxes[0].second, "Unknown exception");
}

TEST_F(ErrorReportTest, LongMessageIsLoggedAndShownCut) {
    const std::string text(3000, 'm');
    CErrorRuntime e(text.c_str());
    ReportError(&e, RecordBox);
    EXPECT_EQ(ReadFile("runtime.log"), "Starting logging service\nException raised!\nType: Runtime\nDesc: " +
                                           text.substr(0, 2047) + "\n");
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0].second, text.substr(0, 2047));
}

TEST_F(ErrorReportTest, MessageWithPercentSignsIsNotAFormat) {
    CErrorBadResource e("100%s %d %n");
    ReportError(&e, RecordBox);
    EXPECT_NE(ReadFile("runtime.log").find("Desc: 100%s %d %n\n"), std::string::npos);
}

TEST_F(ErrorReportTest, WithoutABoxTheReportGoesToStderr) {
    CErrorMissingResource e("Can't open 'x'");
    ::testing::internal::CaptureStderr();
    ReportError(&e, nullptr);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Missing Resource: Can't open 'x'\n");
}

TEST(ErrorReport, WithoutALogOnlyTheBoxIsShown) {
    SetProcessServices(nullptr, nullptr, nullptr);
    g_boxes.clear();
    CErrorInit e("Main demo DLL not found");
    ReportError(&e, RecordBox);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0].first, "Init");
}

}  // namespace
