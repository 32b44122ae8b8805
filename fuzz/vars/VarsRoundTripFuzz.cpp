// Any text value written to vars.cfg loads back as itself, less its double
// quotes and with line ends as spaces, and the variables around it keep
// their values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "../../tests/services/VarsRoundTrip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string value(reinterpret_cast<const char*>(data), size);
    value = value.substr(0, value.find('\0')).substr(0, 255);

    const VarsRoundTrip r = RoundTripValue(value);
    if (r.got != r.expected) std::abort();
    if (r.before != 5 || r.after != 7) std::abort();
    return 0;
}
