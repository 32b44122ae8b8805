// CScriptFile writing: tokens, numbers and vectors in the form the reader
// reads back.
#include "framework/ScriptFile.h"

#include "framework/FixedString.h"

#include <cstring>

namespace {

bool IsSeparator(unsigned char c)
{
    return c == ' ' || c == '\t' || c == ';' || c == ',' || c == '\n' || c == '\r' || c == '\0';
}

} // namespace

void CScriptFile::WriteBytes(const void* bytes, std::int32_t length)
{
    if (length <= 0)
        return;
    if (!writing_ || handle_ == 0 || !fileSystem_)
    {
        Warn("Warning: script file '%s' is not open for writing", GetSourceName());
        return;
    }
    fileSystem_->Write(handle_, bytes, length);
}

void CScriptFile::WriteChar(char c)
{
    WriteBytes(&c, 1);
}

void CScriptFile::WriteToken(const char* text, std::int32_t length, int quote)
{
    if (!text || length <= 0)
        return;
    std::int32_t n = 0;
    while (n < length && text[n] != '\0')
        ++n;
    length = n;

    std::int32_t leadingWord = 0;
    while (leadingWord < length && !IsSeparator(static_cast<unsigned char>(text[leadingWord])))
        ++leadingWord;
    std::int32_t leadingBlank = 0;
    while (leadingBlank < length && IsSeparator(static_cast<unsigned char>(text[leadingBlank])))
        ++leadingBlank;

    const bool quoted = leadingWord < length && leadingBlank < length && quote >= 0 && quote <= 255;
    const char q = static_cast<char>(quote);
    if (quoted)
        WriteBytes(&q, 1);
    WriteBytes(text, length);
    if (quoted)
        WriteBytes(&q, 1);
}

void CScriptFile::WriteString(const char* text, int quote)
{
    if (!text)
        return;
    WriteToken(text, static_cast<std::int32_t>(std::strlen(text)), quote);
}

void CScriptFile::WriteFloat(float x)
{
    CFixedString number = FormatFixed("%f", static_cast<double>(x));
    int i = static_cast<int>(number.Length()) - 1;
    while (i >= 0 && number.text[i] == '0')
        --i;
    if (i > 0)
    {
        if (number.text[i] == '.')
            --i;
        number.text[i + 1] = '\0';
    }
    WriteToken(number.text, static_cast<std::int32_t>(number.Length()), kQuote);
    WriteChar(' ');
}

void CScriptFile::WriteInt(std::int32_t n)
{
    const CFixedString number = FormatFixed("%d", static_cast<int>(n));
    WriteToken(number.text, static_cast<std::int32_t>(number.Length()), kQuote);
    WriteChar(' ');
}

void CScriptFile::WriteVector3(const CVector3& v)
{
    WriteFloat(v.x);
    WriteFloat(v.y);
    WriteFloat(v.z);
}

void CScriptFile::WriteVector4(const CVector4& v)
{
    WriteFloat(v.x);
    WriteFloat(v.y);
    WriteFloat(v.z);
    WriteFloat(v.w);
}

void CScriptFile::WriteVector4(const CQuaternion& q)
{
    WriteFloat(q.x);
    WriteFloat(q.y);
    WriteFloat(q.z);
    WriteFloat(q.w);
}
