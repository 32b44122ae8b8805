#pragma once
// CScriptFile: reader and writer of plain-text script files.
//
// Reading. A script (a whole file loaded into memory, or a text the caller
// already holds) is read as a stream of tokens:
//  - Separators are space, tab, ';', ',', LF, CR and the NUL byte; the end of
//    the data reads as NUL. Separators between tokens are skipped.
//  - The quote character (a byte value 0..255; any other value means none) is
//    never part of a token. Each one toggles whether separators end the
//    token, so  "a b"c  is the one token  a bc.
//  - A token has at most 255 characters; a longer run is cut there and the
//    next token starts with the character that follows.
//  - Comments are recognised only at the start of a token: a token beginning
//    with "//" skips the rest of its line, one beginning with "/*" opens a
//    block comment that ends with the next token beginning with "*/". So x//y
//    is an ordinary token, and a*/ does not close a block comment.
//  - Line ends may be CR LF, LF or CR alone: a "//" comment always ends at its
//    own line end and never swallows the following line.
//  - GetLine() counts the CR characters consumed so far: with CR LF line ends
//    it is the 0-based line of the position; text with bare LF stays at 0.
//  - At the end of the data (or when the data ends inside a comment)
//    ReadToken returns the empty text.
//
// Token buffers. Every token read, and NextScratchBuffer(), takes the next of
// eight process-wide 256-character buffers in turn. A token stays valid until
// eight further buffers have been taken (AtEnd and FindToken read tokens
// too); copy what you keep longer. One thread at a time.
//
// Anchors. Up to four read positions can be saved with SetAnchor and returned
// to with RewindToAnchor; a fifth at once raises CErrorRuntime.
//
// Writing. A script constructed for writing holds its file open until it is
// destroyed and writes tokens in the form the reader reads back: a token that
// contains separators is quoted, numbers are followed by one space, and no
// line ends are added (write them with WriteChar or WriteString). A text
// holding the quote character itself cannot be written so that it reads back
// unchanged. Writing on a script made for reading writes nothing and logs a
// warning.
//
// Services. Files are opened through the process's one file system and
// warnings go to the process's log, both reached through sdk/Services.h
// (GetProcessFileSystem, GetProcessLog), which the host sets at start-up. A
// script keeps the file system it was constructed with for its whole life.
// Without a file system, opening a file fails like a missing file; without a
// log, warnings are dropped.
//
// Errors raised (heap objects of the CError family, thrown as pointers):
//  - "Can't open '%s'" (CErrorMissingResource): file for reading not found;
//  - "Can't open '%s' for saving" (CErrorMissingResource): file for writing;
//  - "Can't allocate %d bytes for '%s'" (CErrorBadResource): no memory for
//    the file's contents (the file is closed first);
//  - "Error: too many anchors for file '%s'" (CErrorRuntime): fifth anchor.
// Scripts over memory name themselves "$internal$" in these messages.

#include "filesystem/FileSystem.h"
#include "framework/MathTypes.h"

#include <cstdint>

struct CScriptAnchor
{
    bool used;
    std::int32_t position;
    std::int32_t line;
};

class CScriptFile
{
public:
    enum { kNameSize = 128, kAnchorCount = 4, kMaxTokenLength = 255, kQuote = '"' };

    // A reader over size bytes of text in memory (not necessarily
    // NUL-terminated). The text is not copied: keep it alive and unchanged
    // while the script reads it. Null data or a negative size read as empty.
    CScriptFile(const char* data, std::int32_t size);

    // forWriting false: loads the whole file (the file is closed again before
    // the constructor returns). forWriting true: creates or truncates the file
    // and holds it open. The name keeps its first 127 characters.
    CScriptFile(const char* name, bool forWriting);

    ~CScriptFile();
    CScriptFile(const CScriptFile&) = delete;
    CScriptFile& operator=(const CScriptFile&) = delete;

    // Reads another text in memory from its start (position and line 0).
    // Name, anchors, a loaded file's buffer and an open file are kept.
    void Attach(const char* data, std::int32_t size);

    // --- Reading ----------------------------------------------------------
    // The next token, in a token buffer; the empty text at the end.
    const char* ReadToken(int quote = kQuote);
    // Consumes characters up to and including the next CR or LF.
    void SkipLine();
    // Reads one token; true when text is null or the token equals text
    // exactly (case-sensitive). The token is consumed either way.
    bool ExpectToken(const char* text);
    // Searches forward (from the start when fromStart) for a token equal to
    // text. Found: true, position just after it. Not found, or a token equal
    // to stop (may be null) came first: false, position and line unchanged.
    bool FindToken(const char* text, const char* stop, bool fromStart);
    // True when no token is left; the position does not move.
    bool AtEnd();

    // Saves the position in the lowest free anchor and returns its index.
    int SetAnchor();
    // Returns to an anchor's position (and frees it when release). A bad or
    // free index logs a warning and changes nothing.
    void RewindToAnchor(int index, bool release);
    // Frees an anchor without moving. A bad or free index logs a warning.
    void RemoveAnchor(int index);

    // --- Writing ----------------------------------------------------------
    void WriteChar(char c);
    // The first length characters of text (cut at its NUL), between quote
    // characters when they hold a separator but are not separators only
    // (never quoted when quote is outside 0..255).
    void WriteToken(const char* text, std::int32_t length, int quote);
    void WriteString(const char* text, int quote);
    // "%f" with trailing zeros (and a bare point) trimmed, then one space:
    // 1.5 -> "1.5 ", 2.0 -> "2 ", 0.125 -> "0.125 ". Six decimals are kept.
    void WriteFloat(float x);
    void WriteInt(std::int32_t n);
    void WriteVector3(const CVector3& v);
    void WriteVector4(const CVector4& v);
    void WriteVector4(const CQuaternion& q);

    // --- State --------------------------------------------------------------
    const char* GetName() const { return name_; }
    // The name used in messages: the file name, or "$internal$" over memory.
    const char* GetSourceName() const;
    bool IsWriting() const { return writing_; }
    std::int32_t GetPosition() const { return position_; }
    std::int32_t GetSize() const { return size_; }
    std::int32_t GetLine() const { return line_; }

private:
    char ReadChar();
    bool IsValidAnchor(int index) const { return index >= 0 && index < kAnchorCount; }
    void WriteBytes(const void* bytes, std::int32_t length);
    void Warn(const char* format, ...) __attribute__((format(printf, 2, 3)));

    bool writing_ = false;
    bool fromFile_ = false;
    char name_[kNameSize] = {};
    const char* data_ = "";
    std::int32_t position_ = 0;
    std::int32_t size_ = 0;
    std::int32_t line_ = 0;
    char* ownedBuffer_ = nullptr;
    CScriptAnchor anchors_[kAnchorCount] = {};
    FileHandle handle_ = 0;
    CFileSystem* fileSystem_ = nullptr;
};

// The next of the eight shared token buffers (256 characters), taken exactly
// as ReadToken takes one: a short-lived scratch text, valid until eight
// further buffers have been taken.
char* NextScratchBuffer();
