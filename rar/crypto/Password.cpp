#include "rar/crypto/Password.h"

namespace rar {

namespace {
const size_t kMaxPasswordChars = 127;
}

std::u32string DecodeUtf8(const std::string& s) {
    std::u32string out;
    size_t i = 0;
    while (i < s.size()) {
        uint8_t c = uint8_t(s[i]);
        unsigned len = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
        bool good = len != 0 && i + len <= s.size();
        for (unsigned k = 1; good && k < len; ++k) {
            uint8_t cc = uint8_t(s[i + k]);
            if ((cc & 0xC0) != 0x80) good = false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (good && len > 1) {
            static const char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
            if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) good = false;
        }
        if (!good) { out.push_back(c); ++i; continue; }
        out.push_back(cp);
        i += len;
    }
    return out;
}

std::string EncodeUtf8(const std::u32string& s) {
    std::string out;
    for (char32_t c : s) {
        if (c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) c = 0xFFFD;
        if (c < 0x80) out.push_back(char(c));
        else if (c < 0x800) { out.push_back(char(0xC0 | (c >> 6))); out.push_back(char(0x80 | (c & 0x3F))); }
        else if (c < 0x10000) {
            out.push_back(char(0xE0 | (c >> 12)));
            out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(char(0x80 | (c & 0x3F)));
        } else {
            out.push_back(char(0xF0 | (c >> 18)));
            out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(char(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::string PasswordUtf8(const std::string& password) {
    std::u32string cps = DecodeUtf8(password);
    if (cps.size() > kMaxPasswordChars) cps.resize(kMaxPasswordChars);
    return EncodeUtf8(cps);
}

std::vector<uint8_t> PasswordUtf16(const std::string& password) {
    std::u32string cps = DecodeUtf8(password);
    std::vector<uint8_t> out;
    size_t units = 0;
    for (char32_t c : cps) {
        if (units >= kMaxPasswordChars) break;
        if (c >= 0x10000) {
            if (units + 2 > kMaxPasswordChars) break;
            char32_t v = c - 0x10000;
            uint16_t hi = uint16_t(0xD800 | (v >> 10)), lo = uint16_t(0xDC00 | (v & 0x3FF));
            out.push_back(uint8_t(hi)); out.push_back(uint8_t(hi >> 8));
            out.push_back(uint8_t(lo)); out.push_back(uint8_t(lo >> 8));
            units += 2;
        } else {
            out.push_back(uint8_t(c)); out.push_back(uint8_t(c >> 8));
            ++units;
        }
    }
    return out;
}

}  // namespace rar
