// The math library's two switches: 32-bit values DisableCpuPaths and
// DisableMathCpuPaths under HKEY_LOCAL_MACHINE\Software\StageHost\VectorMath.
// A missing key or value, a value of another type than REG_DWORD or one
// larger than four bytes counts as absent.
#include <windows.h>

#include "mathlib/CpuFeatures.h"

int ReadPlatformCpuPathSwitch(const char* name, std::uint32_t* value) {
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\StageHost\\VectorMath", &key) != ERROR_SUCCESS) return 0;
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof data;
    LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_DWORD) return 0;
    *value = data;
    return 1;
}
