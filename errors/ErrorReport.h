#pragma once
// The error report shown when a run ends in an error: three lines in the
// process's log (sdk/Services.h), then a message box. The box is the host's
// business (platform app layer); it is passed in so that tests can record it.

class CError;

// Shows a blocking error box with the given caption and text.
using ErrorBoxFn = void (*)(const char* caption, const char* text);

// Logs "Exception raised!", "Type: ..." and "Desc: ...", then calls showBox.
// error may be null (an exception outside the CError family): the report then
// reads "Unknown exception" with the caption "Exception cought". A null
// showBox writes "caption: text" to stderr instead. Does not delete error.
void ReportError(const CError* error, ErrorBoxFn showBox);

// The stderr fallback: writes "caption: text" and a line feed.
void WriteErrorToStderr(const char* caption, const char* text);
