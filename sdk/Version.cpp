#include "sdk/Version.h"

extern "C" const char* StageHostVersion() { return STAGEHOST_VERSION; }
