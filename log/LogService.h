#pragma once
// The logging service: writes runtime.log in the working directory, one
// LF-terminated line per Log call, no time stamps or levels. The file is
// created anew by the constructor, whose first line is "Starting logging
// service"; the destructor writes "Closing logging service" and closes it.
// When the file cannot be created every Log call does nothing.
//
// The engine module sees this class through the SystemSocket: Log is the one
// and only entry of its table of virtual operations. Only the host creates and
// destroys the service, with this concrete type.

#include "platform/LogFile.h"

class CLogService final {
public:
    enum { kMessageSize = 16384 };  // a longer message is cut to 16383 characters

    CLogService();
    ~CLogService();
    CLogService(const CLogService&) = delete;
    CLogService& operator=(const CLogService&) = delete;

    // Formats one message (printf rules) and writes it followed by one LF.
    virtual void Log(const char* format, ...) __attribute__((format(printf, 2, 3)));

    LogFileHandle handle;  // kInvalidLogFile when runtime.log could not be created
    bool isOpen;
};
