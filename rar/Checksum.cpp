#include "rar/Checksum.h"

#include <zlib.h>

#include <climits>

namespace rar {

uint32_t Crc32(uint32_t crc, const void* data, size_t n) {
    const Bytef* p = static_cast<const Bytef*>(data);
    uLong c = crc;
    while (n > 0) {
        uInt step = n > UINT_MAX / 2 ? UINT_MAX / 2 : uInt(n);
        c = crc32(c, p, step);
        p += step;
        n -= step;
    }
    return uint32_t(c);
}

namespace {
// Days since 1970-01-01 from a civil date and back (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + int64_t(doe) - 719468;
}
void CivilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = int64_t(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}
}  // namespace

uint32_t UnixToDosTime(int64_t t) {
    int64_t days = t >= 0 ? t / 86400 : -((-t + 86399) / 86400);
    int64_t secs = t - days * 86400;
    int64_t y; unsigned m, d;
    CivilFromDays(days, y, m, d);
    if (y < 1980) return (0u << 25) | (1u << 21) | (1u << 16);
    if (y > 2107) y = 2107;
    unsigned hh = unsigned(secs / 3600), mm = unsigned(secs / 60 % 60), ss = unsigned(secs % 60);
    return uint32_t(y - 1980) << 25 | m << 21 | d << 16 | hh << 11 | mm << 5 | ss / 2;
}

int64_t DosToUnixTime(uint32_t dos) {
    int64_t y = 1980 + (dos >> 25);
    unsigned m = (dos >> 21) & 15, d = (dos >> 16) & 31;
    if (m < 1) m = 1;
    if (m > 12) m = 12;
    if (d < 1) d = 1;
    return DaysFromCivil(y, m, d) * 86400 + ((dos >> 11) & 31) * 3600 + ((dos >> 5) & 63) * 60 + (dos & 31) * 2;
}

}  // namespace rar
