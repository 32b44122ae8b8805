#pragma once
// The message box of the error report.

namespace platform {

// Shows an error box with the given caption and text and returns when the
// user dismissed it. Where no box can be shown (no display, a headless video
// driver) it writes "caption: text" and a line feed to the standard error
// stream instead, so it never blocks.
void ShowErrorBox(const char* caption, const char* text);

}  // namespace platform
