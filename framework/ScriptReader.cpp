// CScriptFile reading: the token stream, comments, searching.
#include "framework/ScriptFile.h"

#include <cstring>

namespace {

bool IsSeparator(unsigned char c)
{
    return c == ' ' || c == '\t' || c == ';' || c == ',' || c == '\n' || c == '\r' || c == '\0';
}

bool StartsWith(const char* text, char a, char b)
{
    return text[0] == a && text[1] == b;
}

enum class Comment { None, InBlock, NextToken };

} // namespace

char CScriptFile::ReadChar()
{
    if (position_ >= size_)
        return '\0';
    const char c = data_[position_++];
    if (c == '\r')
        ++line_;
    return c;
}

void CScriptFile::SkipLine()
{
    while (position_ < size_)
    {
        const char c = ReadChar();
        if (c == '\r' || c == '\n')
            return;
    }
}

const char* CScriptFile::ReadToken(int quote)
{
    char* buffer = NextScratchBuffer();
    const bool hasQuote = quote >= 0 && quote <= 255;
    Comment state = Comment::None;
    do
    {
        int length = 0;
        int quotes = 0;
        unsigned char ender = 0xFF; // the separator that ended the token, if one did
        do
        {
            const unsigned char c = static_cast<unsigned char>(ReadChar());
            if (hasQuote && c == quote)
            {
                ++quotes;
            }
            else if (IsSeparator(c))
            {
                if (quotes % 2 == 0 && length > 0)
                {
                    ender = c;
                    break;
                }
                if (quotes % 2 == 1 && c != '\0')
                    buffer[length++] = static_cast<char>(c);
            }
            else
            {
                buffer[length++] = static_cast<char>(c);
            }
        } while (position_ < size_ && length < kMaxTokenLength);
        buffer[length] = '\0';

        if (state == Comment::InBlock)
        {
            if (StartsWith(buffer, '*', '/'))
                state = Comment::NextToken;
        }
        else if (StartsWith(buffer, '/', '/'))
        {
            // A comment token ended by its own line end has nothing left to
            // skip; skipping then would swallow the following line.
            if (ender != '\n' && ender != '\r')
                SkipLine();
            state = Comment::NextToken;
        }
        else if (StartsWith(buffer, '/', '*'))
        {
            state = Comment::InBlock;
        }
        else
        {
            state = Comment::None;
        }
    } while (position_ < size_ && state != Comment::None);

    if (state != Comment::None)
        buffer[0] = '\0';
    return buffer;
}

bool CScriptFile::ExpectToken(const char* text)
{
    const char* token = ReadToken(kQuote);
    return text == nullptr || std::strcmp(token, text) == 0;
}

bool CScriptFile::FindToken(const char* text, const char* stop, bool fromStart)
{
    const std::int32_t savedPosition = position_;
    const std::int32_t savedLine = line_;
    if (text)
    {
        if (fromStart)
        {
            position_ = 0;
            line_ = 0;
        }
        while (position_ < size_)
        {
            const char* token = ReadToken(kQuote);
            if (stop && std::strcmp(token, stop) == 0)
                break;
            if (std::strcmp(token, text) == 0)
                return true;
        }
    }
    position_ = savedPosition;
    line_ = savedLine;
    return false;
}

bool CScriptFile::AtEnd()
{
    const std::int32_t savedPosition = position_;
    const std::int32_t savedLine = line_;
    const char* token = ReadToken(kQuote);
    position_ = savedPosition;
    line_ = savedLine;
    return token[0] == '\0';
}
