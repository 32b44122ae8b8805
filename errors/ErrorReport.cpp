#include "errors/ErrorReport.h"

#include <cstdio>

#include "errors/Error.h"
#include "log/LogService.h"
#include "sdk/Services.h"

void WriteErrorToStderr(const char* caption, const char* text) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
}

void ReportError(const CError* error, ErrorBoxFn showBox) {
    const char* caption = error ? error->GetTypeName() : "Exception cought";
    const char* text = error ? error->message : "Unknown exception";

    // The lines go out before the box, so they survive a process killed
    // while the box is open.
    if (CLogService* log = GetProcessLog()) {
        log->Log("Exception raised!");
        if (error) {
            log->Log("Type: %s", caption);
            log->Log("Desc: %s", text);
        } else {
            log->Log("Type: Unknown exception");
            log->Log("Desc: None");
        }
    }
    (showBox ? showBox : WriteErrorToStderr)(caption, text);
}
