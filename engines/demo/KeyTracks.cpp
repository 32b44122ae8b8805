#include "KeyTracks.h"

#include <cstring>

#include "MathBridge.h"
#include "errors/Error.h"
#include "errors/FormatText.h"

namespace {

const int kMaxTracks = 256;
const std::size_t kMaxNameLength = 127;

// Little-endian reads over a bounded buffer; running past the end throws.
class CByteReader {
public:
    CByteReader(const std::uint8_t* bytes, std::size_t size, const char* name)
        : bytes_(bytes), size_(bytes ? size : 0), name_(name) {}

    std::uint32_t U32() {
        Need(4);
        const std::uint8_t* p = bytes_ + pos_;
        pos_ += 4;
        return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
               std::uint32_t(p[3]) << 24;
    }
    int U16() {
        Need(2);
        const std::uint8_t* p = bytes_ + pos_;
        pos_ += 2;
        return p[0] | p[1] << 8;
    }
    float Float() {
        const std::uint32_t bits = U32();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    std::string String() {
        std::string text;
        for (;;) {
            Need(1);
            const char c = static_cast<char>(bytes_[pos_++]);
            if (c == '\0') break;
            if (text.size() < kMaxNameLength) text += c;
        }
        return text;
    }
    bool AtEnd() const { return pos_ == size_; }
    const char* Name() const { return name_; }

private:
    void Need(std::size_t n) {
        if (size_ - pos_ < n)
            throw new CErrorBadResource(FormatText("DecodeTracks : '%s' ends at byte %d inside a value", name_,
                                                   static_cast<int>(pos_)));
    }
    const std::uint8_t* bytes_;
    std::size_t size_;
    std::size_t pos_ = 0;
    const char* name_;
};

void ReadValue(CByteReader& in, CKeyedVector4& e) {
    e.value.x = in.Float();
    e.value.y = in.Float();
    e.value.z = in.Float();
    e.value.w = in.Float();
}
void ReadValue(CByteReader& in, CKeyedVector3& e) {
    e.value.x = in.Float();
    e.value.y = in.Float();
    e.value.z = in.Float();
}
void ReadValue(CByteReader& in, CKeyedFloat& e) { e.value = in.Float(); }

template <class Entry>
void ReadKeys(CByteReader& in, CKeyedArray<Entry>& keys, const std::string& track) {
    const int n = in.U16();
    keys.count = 0;
    keys.Reserve(n);
    for (int i = 0; i < n; ++i) {
        Entry& e = keys.Add();
        e.key = in.Float();
        ReadValue(in, e);
        if (!(e.key == e.key) || (i > 0 && e.key < keys.items[i - 1].key))
            throw new CErrorBadResource(
                FormatText("DecodeTracks : '%s' track '%s' has keys out of order", in.Name(), track.c_str()));
    }
}

// The segment of ascending keys holding t: index i and the fraction u in
// [0, 1] between key i and key i + 1 (u is 0 on the last key).
template <class Entry>
void FindSegment(const CKeyedArray<Entry>& keys, float t, int& i, float& u) {
    i = 0;
    u = 0.0f;
    const int last = keys.count - 1;
    if (last <= 0 || t <= keys.items[0].key) return;
    if (t >= keys.items[last].key) {
        i = last;
        return;
    }
    while (i + 1 < last && keys.items[i + 1].key <= t) ++i;
    const float span = keys.items[i + 1].key - keys.items[i].key;
    u = span > 0.0f ? (t - keys.items[i].key) / span : 0.0f;
}

// centre + (centre - other)
CVector3 Mirror(const CVector3& centre, const CVector3& other) {
    return CVector3{2.0f * centre.x - other.x, 2.0f * centre.y - other.y, 2.0f * centre.z - other.z};
}

int Clamp(int i, int count) { return i < 0 ? 0 : (i >= count ? count - 1 : i); }

}  // namespace

std::vector<CTrack> DecodeTracks(const std::uint8_t* bytes, std::size_t size, const char* name) {
    CByteReader in(bytes, size, name);
    const std::uint32_t count = in.U32();
    if (count > static_cast<std::uint32_t>(kMaxTracks))
        throw new CErrorBadResource(
            FormatText("DecodeTracks : '%s' claims %u tracks (at most %d)", name, count, kMaxTracks));
    std::vector<CTrack> tracks(count);
    for (CTrack& track : tracks) {
        track.name = in.String();
        ReadKeys(in, track.rotation, track.name);
        ReadKeys(in, track.position, track.name);
        ReadKeys(in, track.scale, track.name);
    }
    if (!in.AtEnd())
        throw new CErrorBadResource(FormatText("DecodeTracks : '%s' has bytes after its last track", name));
    return tracks;
}

const CTrack* FindTrack(const std::vector<CTrack>& tracks, const std::string& name) {
    for (const CTrack& track : tracks)
        if (track.name == name) return &track;
    return nullptr;
}

CQuaternion SampleRotation(const CKeyedArray<CKeyedVector4>& keys, float t) {
    if (keys.count == 0) return CQuaternion{0.0f, 0.0f, 0.0f, 1.0f};
    int i;
    float u;
    FindSegment(keys, t, i, u);
    auto q = [&](int k) {
        const CVector4& v = keys.items[Clamp(k, keys.count)].value;
        return CQuaternion{v.x, v.y, v.z, v.w};
    };
    const CQuaternion q0 = q(i - 1), q1 = q(i), q2 = q(i + 1), q3 = q(i + 2);
    if (u == 0.0f) return q1;
    CQuaternion a, b, c, out;
    MathQuatSquadSetup(AsMath(&a), AsMath(&b), AsMath(&c), AsMath(&q0), AsMath(&q1), AsMath(&q2), AsMath(&q3));
    MathQuatSquad(AsMath(&out), AsMath(&q1), AsMath(&a), AsMath(&b), AsMath(&c), u);
    MathQuatNormalise(AsMath(&out), AsMath(&out));
    return out;
}

CVector3 SamplePosition(const CKeyedArray<CKeyedVector3>& keys, float t) {
    if (keys.count == 0) return CVector3{0.0f, 0.0f, 0.0f};
    int i;
    float u;
    FindSegment(keys, t, i, u);
    const CVector3& p1 = keys.items[i].value;
    if (u == 0.0f) return p1;
    const CVector3& p2 = keys.items[i + 1].value;
    // Past either end the missing neighbour is the next key mirrored, so an
    // even run of keys on a line stays on the line up to its ends.
    const CVector3 p0 = i > 0 ? keys.items[i - 1].value : Mirror(p1, p2);
    const CVector3 p3 = i + 2 < keys.count ? keys.items[i + 2].value : Mirror(p2, p1);
    CVector3 out;
    MathVec3CatmullRom(AsMath(&out), AsMath(&p0), AsMath(&p1), AsMath(&p2), AsMath(&p3), u);
    return out;
}

float SampleScale(const CKeyedArray<CKeyedFloat>& keys, float t) {
    if (keys.count == 0) return 1.0f;
    int i;
    float u;
    FindSegment(keys, t, i, u);
    if (u == 0.0f) return keys.items[i].value;
    return keys.items[i].value + (keys.items[i + 1].value - keys.items[i].value) * u;
}

CVector3 SampleLinear(const CKeyedArray<CKeyedVector3>& keys, float t) {
    if (keys.count == 0) return CVector3{0.0f, 0.0f, 0.0f};
    int i;
    float u;
    FindSegment(keys, t, i, u);
    const CVector3& a = keys.items[i].value;
    if (u == 0.0f) return a;
    const CVector3& b = keys.items[i + 1].value;
    return CVector3{a.x + (b.x - a.x) * u, a.y + (b.y - a.y) * u, a.z + (b.z - a.z) * u};
}
