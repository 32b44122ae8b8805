// The eight token buffers shared by every script and by NextScratchBuffer.
#include "framework/ScriptFile.h"

namespace {

const int kTokenBuffers = 8;
char g_tokens[kTokenBuffers][CScriptFile::kMaxTokenLength + 1];
int g_tokenCounter = 0;

} // namespace

char* NextScratchBuffer()
{
    g_tokenCounter = (g_tokenCounter + 1) % kTokenBuffers;
    return g_tokens[g_tokenCounter];
}
