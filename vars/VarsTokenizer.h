#pragma once
// Tokens of vars.cfg. A token is a run of characters other than white space
// (space, tab, LF, CR, VT, FF); any amount of white space separates tokens.
//
// A value token whose run up to the first white space opens with a double
// quote and holds no other one continues to the next double quote that is
// followed by white space or the end of the text, so a quoted value holding
// spaces ("a b") stays one token, as the writer produced it. When no such
// quote comes before the end of the line, within a token's length, the token
// ends at its first white space as any other. Every other token, and every name token, is the plain
// run of non-white-space characters.
//
// A token longer than kMaxToken characters is cut to its first kMaxToken
// characters and the rest of it is skipped.

#include <cstddef>

class CVarsTokenizer {
public:
    enum { kMaxToken = 259, kTokenSize = kMaxToken + 1 };

    CVarsTokenizer(const char* text, size_t size) : text_(text), size_(size), pos_(0) {}

    // Reads the next token into out (NUL-terminated). False at the end.
    bool NextName(char (&out)[kTokenSize]) { return Next(out, false); }
    bool NextValue(char (&out)[kTokenSize]) { return Next(out, true); }

private:
    bool Next(char (&out)[kTokenSize], bool quotedMaySpan);
    // The end of a quoted token starting at pos_ (one past its closing
    // quote), or 0 when it has none on its line.
    size_t QuotedEnd() const;

    const char* text_;
    size_t size_;
    size_t pos_;
};

// Removes every double quote from text in place; the rest closes up.
void StripQuotes(char* text);
