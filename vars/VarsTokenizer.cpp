#include "vars/VarsTokenizer.h"

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

size_t CVarsTokenizer::QuotedEnd() const {
    // A quoted value the writer makes is at most 257 characters long; looking
    // no further than a token's length keeps the reading linear in the text.
    const size_t last = pos_ + kMaxToken - 1;
    for (size_t i = pos_ + 1; i < size_ && i <= last; ++i) {
        char c = text_[i];
        if (c == '\n' || c == '\r') return 0;
        if (c == '"' && (i + 1 == size_ || IsSpace(text_[i + 1]))) return i + 1;
    }
    return 0;
}

bool CVarsTokenizer::Next(char (&out)[kTokenSize], bool quotedMaySpan) {
    while (pos_ < size_ && IsSpace(text_[pos_])) ++pos_;
    if (pos_ >= size_) return false;

    size_t end = pos_;
    bool innerQuote = false;
    while (end < size_ && !IsSpace(text_[end])) {
        innerQuote = innerQuote || (end > pos_ && text_[end] == '"');
        ++end;
    }
    // Only an opening quote without its partner before the white space may
    // run on; every other token reads as the plain run above.
    if (quotedMaySpan && text_[pos_] == '"' && !innerQuote) {
        size_t quotedEnd = QuotedEnd();
        if (quotedEnd != 0) end = quotedEnd;
    }

    size_t n = 0;
    for (size_t i = pos_; i < end; ++i) {
        if (text_[i] == '\0') continue;  // a stray NUL would end the text early
        if (n < kMaxToken) out[n++] = text_[i];
    }
    out[n] = '\0';
    pos_ = end;
    return true;
}

void StripQuotes(char* text) {
    char* w = text;
    for (const char* r = text; *r; ++r) {
        if (*r != '"') *w++ = *r;
    }
    *w = '\0';
}
