#include "ResourceFile.h"

#include "errors/Error.h"
#include "errors/FormatText.h"
#include "filesystem/FileSystem.h"
#include "log/LogService.h"

CResource LoadResource(CFileSystem* fileSystem, CLogService* log, const char* name) {
    FileHandle file = fileSystem ? fileSystem->OpenFile(name, "rb") : 0;
    if (file == 0) throw new CErrorMissingResource(FormatText("LoadResource : can't open '%s'", name));

    CResource resource;
    resource.name = name;
    const int32_t size = fileSystem->GetSize(file);
    int32_t got = 0;
    if (size > 0) {
        resource.bytes.resize(static_cast<size_t>(size));
        while (got < size) {
            const int32_t n = fileSystem->Read(file, resource.bytes.data() + got, size - got);
            if (n <= 0) break;
            got += n;
        }
    }
    fileSystem->CloseFile(file);
    if (size < 0 || got != size)
        throw new CErrorBadResource(
            FormatText("LoadResource : '%s' ended after %d of %d bytes", name, got, size < 0 ? 0 : size));
    if (log) log->Log("Demo: loaded '%s' (%d bytes)", name, size);
    return resource;
}
