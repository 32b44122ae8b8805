// Stand-ins used while the RAR 1.5-4.x coders are not part of the build:
// such members are reported as an unknown format.

#include "rar/unpack/Decoder.h"
#include "rar/unpack/Rar20Cipher.h"

namespace rar {

std::unique_ptr<Decoder> MakeRar4Decoder(unsigned, size_t) { return nullptr; }

std::unique_ptr<PackedInput> MakeRar20DecryptInput(PackedInput&, const std::string&) { return nullptr; }

}  // namespace rar
