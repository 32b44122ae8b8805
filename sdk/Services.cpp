#include "sdk/Services.h"

namespace {
CLogService* g_log = nullptr;
CVarList* g_vars = nullptr;
CFileSystem* g_fileSystem = nullptr;
}  // namespace

void SetProcessServices(CLogService* log, CVarList* vars, CFileSystem* fileSystem) {
    g_log = log;
    g_vars = vars;
    g_fileSystem = fileSystem;
}

CLogService* GetProcessLog() { return g_log; }
CVarList* GetProcessVars() { return g_vars; }
CFileSystem* GetProcessFileSystem() { return g_fileSystem; }

void SetProcessLog(CLogService* log) { g_log = log; }
void SetProcessVars(CVarList* vars) { g_vars = vars; }
void SetProcessFileSystem(CFileSystem* fileSystem) { g_fileSystem = fileSystem; }
