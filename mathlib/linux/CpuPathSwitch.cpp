// The two switches on Linux: environment variables DisableCpuPaths and
// DisableMathCpuPaths. A value that is not a plain decimal number (digits
// only, at most 4294967295) counts as absent, like a registry value of the
// wrong type.
#include <cstdlib>

#include "mathlib/CpuFeatures.h"

int ReadPlatformCpuPathSwitch(const char* name, std::uint32_t* value) {
  const char* text = name ? std::getenv(name) : nullptr;
  if (!text || !*text) return 0;
  std::uint64_t parsed = 0;
  for (const char* p = text; *p; ++p) {
    if (*p < '0' || *p > '9') return 0;
    parsed = parsed * 10 + static_cast<std::uint64_t>(*p - '0');
    if (parsed > 0xFFFFFFFFull) return 0;
  }
  *value = static_cast<std::uint32_t>(parsed);
  return 1;
}
