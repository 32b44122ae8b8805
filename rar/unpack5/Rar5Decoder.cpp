#include "rar/unpack/Decoder.h"

namespace rar {

std::unique_ptr<Decoder> MakeRar5Decoder(size_t) { return nullptr; }

}  // namespace rar
