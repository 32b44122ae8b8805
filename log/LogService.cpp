#include "log/LogService.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "sdk/Services.h"

namespace {
// One message buffer for the process, as the single thread needs no more.
char g_message[CLogService::kMessageSize];
const char kLogFileName[] = "runtime.log";
}  // namespace

CLogService::CLogService() : handle(kInvalidLogFile), isOpen(false) {
    handle = CreateLogFile(kLogFileName);
    isOpen = handle != kInvalidLogFile;
    Log("Starting logging service");
}

CLogService::~CLogService() {
    Log("Closing logging service");
    if (handle != kInvalidLogFile) CloseLogFile(handle);
    if (GetProcessLog() == this) SetProcessLog(nullptr);
}

void CLogService::Log(const char* format, ...) {
    if (!isOpen) return;
    g_message[0] = '\0';
    if (format) {
        va_list args;
        va_start(args, format);
        std::vsnprintf(g_message, sizeof g_message, format, args);
        va_end(args);
    }
    WriteLogFile(handle, g_message, std::strlen(g_message));
    WriteLogFile(handle, "\n", 1);
}
