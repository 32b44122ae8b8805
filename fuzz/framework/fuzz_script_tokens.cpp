// Fuzzes the script tokenizer over arbitrary bytes. The first byte picks the
// quote character (255: none); the rest is the script text.
#include "framework/ScriptFile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0 || size > (1 << 20))
        return 0;
    const int quote = data[0] == 255 ? -1 : data[0];
    // An exact-size copy, so any read past the text is caught.
    std::vector<char> text(data + 1, data + size);
    const int32_t length = static_cast<int32_t>(text.size());
    int32_t carriageReturns = 0;
    for (char c : text)
        carriageReturns += c == '\r';

    CScriptFile script(text.data(), length);
    std::vector<const char*> firstTokens;
    int32_t tokens = 0;
    for (;;)
    {
        const int32_t before = script.GetPosition();
        const char* token = script.ReadToken(quote);
        const size_t tokenLength = std::strlen(token);
        if (tokenLength > CScriptFile::kMaxTokenLength)
            std::abort();
        if (script.GetPosition() < before || script.GetPosition() > length)
            std::abort();
        if (script.GetLine() > carriageReturns)
            std::abort();
        if (tokenLength == 0)
            break;
        // Every token consumes at least one character.
        if (script.GetPosition() == before || ++tokens > length)
            std::abort();
    }
    if (!script.AtEnd())
        std::abort();

    // Searching, anchors and line skipping from the start over the same text.
    script.Attach(text.data(), length);
    const int anchor = script.SetAnchor();
    script.SkipLine();
    char wanted[CScriptFile::kMaxTokenLength + 1];
    std::strcpy(wanted, script.ReadToken('"'));
    script.RewindToAnchor(anchor, true);
    const int32_t position = script.GetPosition();
    const int32_t line = script.GetLine();
    if (!script.FindToken(wanted, ",", true) && (script.GetPosition() != position || script.GetLine() != line))
        std::abort(); // not found: nothing moves
    script.ExpectToken(nullptr);
    script.RemoveAnchor(anchor);
    return 0;
}
