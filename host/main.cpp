// Entry point of the host executable. It reads no command line and no
// environment; the working directory holds render.so, vars.cfg and the
// resources, and receives runtime.log.
#include "errors/Error.h"
#include "errors/ErrorReport.h"
#include "host/DemoHost.h"
#include "platform/Dialog.h"
#include "platform/Locale.h"

int main() {
    SetProcessLocale();
    try {
        CreateHost();
        RunPrecache();
        RunFrames();
        DestroyHost();
    } catch (CError* error) {
        // The run ends here without the shutdown sequence: nothing is saved.
        ReportError(error, &platform::ShowErrorBox);
        DeleteError(error);
    } catch (...) {
        ReportError(nullptr, &platform::ShowErrorBox);
        throw;  // ends the process as an unhandled exception
    }
    return 0;
}
