#pragma once
// The record of service pointers the host hands to the engine module.
//
// The host fills all three fields once, before it calls the module's
// PlugSystemSocket, and never changes them; the record's address stays valid
// for the whole process. The field order is part of the contract with every
// engine module: logging service, variable registry, file system.

class CLogService;
class CVarList;
class CFileSystem;

struct SystemSocket {
    CLogService* logService;
    CVarList* varList;
    CFileSystem* fileSystem;
};
