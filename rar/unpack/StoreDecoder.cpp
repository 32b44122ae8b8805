#include "rar/unpack/StoreDecoder.h"

#include <vector>

#include "rar/Limits.h"

namespace rar {

namespace {

class StoreDecoder : public Decoder {
public:
    DecodeResult Decode(PackedInput& in, uint64_t unpSize, UnpackedOutput& out, bool) override {
        std::vector<uint8_t> buf(unpSize < kChunkSize ? size_t(unpSize) + 1 : kChunkSize);
        uint64_t left = unpSize;
        while (left > 0) {
            size_t want = left < buf.size() ? size_t(left) : buf.size();
            size_t have = 0;
            while (have < want) {  // fill a whole chunk so callbacks see large pieces
                long got = in.Read(buf.data() + have, want - have);
                if (got <= 0) break;
                have += size_t(got);
            }
            if (have == 0) return unpSize == UINT64_MAX ? DecodeResult::Ok : DecodeResult::BadData;
            if (!out.Write(buf.data(), have)) return DecodeResult::Stopped;
            left -= have;
            if (have < want) return unpSize == UINT64_MAX ? DecodeResult::Ok : DecodeResult::BadData;
        }
        return DecodeResult::Ok;
    }
};

}  // namespace

std::unique_ptr<Decoder> MakeStoreDecoder() { return std::make_unique<StoreDecoder>(); }

}  // namespace rar
