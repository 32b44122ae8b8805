// CScriptFile construction, destruction and anchors.
#include "framework/ScriptFile.h"

#include "errors/Error.h"
#include "errors/FormatText.h"
#include "log/LogService.h"
#include "sdk/Services.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

const char kInternalName[] = "$internal$";

// Throws a new error of type E, as an E* (a handler for E* or CError*
// catches it); when even that cannot be allocated, a null pointer is thrown
// in its place (the entry point reports it as unknown).
template <class E>
[[noreturn]] void Raise(const char* message)
{
    E* error = new (std::nothrow) E(message);
    throw error;
}

} // namespace

CScriptFile::CScriptFile(const char* data, std::int32_t size)
{
    Attach(data, size);
}

CScriptFile::CScriptFile(const char* name, bool forWriting)
{
    writing_ = forWriting;
    fromFile_ = true;
    const char* given = name ? name : "";
    std::strncpy(name_, given, kNameSize - 1);
    name_[kNameSize - 1] = '\0';

    CFileSystem* fs = GetProcessFileSystem();
    if (forWriting)
    {
        handle_ = fs ? fs->OpenFile(given, "wb") : 0;
        if (handle_ == 0)
            Raise<CErrorMissingResource>(FormatText("Can't open '%s' for saving", given));
        fileSystem_ = fs;
        return;
    }

    FileHandle h = fs ? fs->OpenFile(given, "rb") : 0;
    if (h == 0)
        Raise<CErrorMissingResource>(FormatText("Can't open '%s'", given));
    std::int32_t n = fs->GetSize(h);
    if (n < 0)
        n = 0;
    const std::size_t bytes = static_cast<std::size_t>(n) + 1;
    char* buffer = static_cast<char*>(std::malloc(bytes));
    if (!buffer)
    {
        fs->CloseFile(h);
        Raise<CErrorBadResource>(
            FormatText("Can't allocate %lld bytes for '%s'", static_cast<long long>(bytes), given));
    }
    // Zero-filled: a short read leaves NUL bytes, which read as separators.
    std::memset(buffer, 0, bytes);
    fs->Read(h, buffer, n);
    fs->CloseFile(h);

    ownedBuffer_ = buffer;
    data_ = buffer;
    size_ = n;
}

CScriptFile::~CScriptFile()
{
    if (handle_ != 0 && fileSystem_)
        fileSystem_->CloseFile(handle_);
    std::free(ownedBuffer_);
}

void CScriptFile::Attach(const char* data, std::int32_t size)
{
    if (!data || size < 0)
    {
        data = "";
        size = 0;
    }
    data_ = data;
    size_ = size;
    position_ = 0;
    line_ = 0;
}

const char* CScriptFile::GetSourceName() const
{
    return fromFile_ ? name_ : kInternalName;
}

void CScriptFile::Warn(const char* format, ...)
{
    CLogService* log = GetProcessLog();
    if (!log)
        return;
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    log->Log("%s", line);
}

int CScriptFile::SetAnchor()
{
    for (int i = 0; i < kAnchorCount; ++i)
    {
        if (!anchors_[i].used)
        {
            anchors_[i].used = true;
            anchors_[i].position = position_;
            anchors_[i].line = line_;
            return i;
        }
    }
    Raise<CErrorRuntime>(FormatText("Error: too many anchors for file '%s'", GetSourceName()));
}

void CScriptFile::RewindToAnchor(int index, bool release)
{
    if (!IsValidAnchor(index))
    {
        Warn("Warning: invalid anchor %d used for rewinding in file '%s'", index, GetSourceName());
        return;
    }
    CScriptAnchor& anchor = anchors_[index];
    if (!anchor.used)
    {
        Warn("Warning: non-existant anchor %d used for rewinding in file '%s'", index, GetSourceName());
        return;
    }
    position_ = anchor.position;
    line_ = anchor.line;
    // The saved position may lie beyond a text attached since.
    if (position_ > size_)
        position_ = size_;
    if (release)
        anchor.used = false;
}

void CScriptFile::RemoveAnchor(int index)
{
    if (!IsValidAnchor(index))
    {
        Warn("Warning: invalid anchor %d removed in file '%s'", index, GetSourceName());
        return;
    }
    if (!anchors_[index].used)
    {
        Warn("Warning: non-existant anchor %d removed in file '%s'", index, GetSourceName());
        return;
    }
    anchors_[index].used = false;
}
