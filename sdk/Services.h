#pragma once
// The process's services: the one logging service, variable registry and file
// system of the run. The host sets them when it fills the SystemSocket;
// framework code and the error report reach them through the getters. Each
// pointer is null while the service does not exist.

class CLogService;
class CVarList;
class CFileSystem;

void SetProcessServices(CLogService* log, CVarList* vars, CFileSystem* fileSystem);

CLogService* GetProcessLog();
CVarList* GetProcessVars();
CFileSystem* GetProcessFileSystem();

// Single slots. A CVarList registers itself on construction (new variables
// link into the process's registry); each service clears its own slot when it
// is destroyed.
void SetProcessLog(CLogService* log);
void SetProcessVars(CVarList* vars);
void SetProcessFileSystem(CFileSystem* fileSystem);
