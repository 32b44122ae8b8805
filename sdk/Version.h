#pragma once
// Version of the StageHost core library an engine module runs against.

extern "C" const char* StageHostVersion();
