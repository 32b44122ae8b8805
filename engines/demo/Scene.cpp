#include "Scene.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "errors/Error.h"
#include "errors/FormatText.h"
#include "framework/ScriptFile.h"

namespace {

const int kMaxSprites = 4096;

class CSceneParser {
public:
    CSceneParser(CScriptFile& script, const char* name) : script_(script), name_(name) {}

    CScene Parse() {
        for (;;) {
            const std::string word = script_.ReadToken();
            if (word.empty()) break;
            if (word == "duration") scene_.duration = Number("duration");
            else if (word == "fov") scene_.fovDegrees = Number("fov");
            else if (word == "fade") scene_.fade = Number("fade");
            else if (word == "light") scene_.light = Vector("light");
            else if (word == "keys") scene_.keysFile = Word("keys");
            else if (word == "texture") {
                CSceneTexture texture;
                texture.name = Word("texture");
                texture.file = Word("texture");
                scene_.textures.push_back(texture);
            } else if (word == "sky") ColourKeys();
            else if (word == "camera") CameraKeys();
            else if (word == "object") Object();
            else Fail(FormatText("unknown word '%s'", word.c_str()));
        }
        Check();
        return std::move(scene_);
    }

private:
    [[noreturn]] void Fail(const char* why) {
        throw new CErrorBadResource(FormatText("ParseScene : '%s' %s", name_, why));
    }

    std::string Word(const char* what) {
        const std::string word = script_.ReadToken();
        if (word.empty()) Fail(FormatText("ends where '%s' needs a value", what));
        return word;
    }

    float Number(const char* what) {
        const std::string word = Word(what);
        return ToNumber(word, what);
    }

    float ToNumber(const std::string& word, const char* what) {
        char* end = nullptr;
        errno = 0;
        const float value = std::strtof(word.c_str(), &end);
        if (end == word.c_str() || *end != '\0' || errno == ERANGE || !std::isfinite(value))
            Fail(FormatText("has '%s' where '%s' needs a number", word.c_str(), what));
        return value;
    }

    CVector3 Vector(const char* what) {
        CVector3 v;
        v.x = Number(what);
        v.y = Number(what);
        v.z = Number(what);
        return v;
    }

    void Open(const char* what) {
        if (!script_.ExpectToken("{")) Fail(FormatText("needs '{' after '%s'", what));
    }

    // Reads "}" or the first number of the next key; false at the "}".
    bool NextKey(const char* what, float& time) {
        const std::string word = script_.ReadToken();
        if (word.empty()) Fail(FormatText("ends inside the '%s' block", what));
        if (word == "}") return false;
        time = ToNumber(word, what);
        return true;
    }

    template <class Entry>
    void AddKey(CKeyedArray<Entry>& keys, float time, const CVector3& value, const char* what) {
        if (keys.count > 0 && time < keys.items[keys.count - 1].key)
            Fail(FormatText("has '%s' keys that go back in time (%g)", what, time));
        Entry& e = keys.Add();
        e.key = time;
        e.value = value;
    }

    void ColourKeys() {
        Open("sky");
        float time;
        while (NextKey("sky", time)) AddKey(scene_.sky, time, Vector("sky"), "sky");
    }

    void CameraKeys() {
        Open("camera");
        float time;
        while (NextKey("camera", time)) {
            const CVector3 eye = Vector("camera");
            const CVector3 target = Vector("camera");
            AddKey(scene_.cameraEye, time, eye, "camera");
            AddKey(scene_.cameraTarget, time, target, "camera");
        }
    }

    void Object() {
        CSceneObject object;
        object.name = Word("object");
        Open("object");
        for (;;) {
            const std::string word = script_.ReadToken();
            if (word.empty()) Fail(FormatText("ends inside object '%s'", object.name.c_str()));
            if (word == "}") break;
            if (word == "shape") object.shape = Shape(Word("shape"));
            else if (word == "colour") object.colour = Vector("colour");
            else if (word == "size") object.size = Number("size");
            else if (word == "at") object.at = Vector("at");
            else if (word == "track") object.track = Word("track");
            else if (word == "texture") object.texture = Word("texture");
            else if (word == "show") {
                object.showFrom = Number("show");
                object.showUntil = Number("show");
            } else if (word == "count") {
                const float count = Number("count");
                if (count < 0.0f || count > kMaxSprites || count != std::floor(count))
                    Fail(FormatText("has a sprite count of %g (0 to %d)", count, kMaxSprites));
                object.count = static_cast<int>(count);
            } else if (word == "radius") object.radius = Number("radius");
            else Fail(FormatText("has unknown word '%s' in object '%s'", word.c_str(), object.name.c_str()));
        }
        scene_.objects.push_back(object);
    }

    EShape Shape(const std::string& word) {
        if (word == "cube") return EShape::Cube;
        if (word == "pyramid") return EShape::Pyramid;
        if (word == "floor") return EShape::Floor;
        if (word == "sprites") return EShape::Sprites;
        Fail(FormatText("has unknown shape '%s'", word.c_str()));
    }

    void Check() {
        if (!(scene_.duration > 0.0f)) Fail("has no positive duration");
        if (scene_.cameraEye.count < 2) Fail("needs at least two camera keys");
        if (!(scene_.fovDegrees > 1.0f && scene_.fovDegrees < 179.0f)) Fail("has a field of view outside 1 to 179");
        for (const CSceneObject& object : scene_.objects) {
            if (object.texture.empty()) continue;
            bool known = false;
            for (const CSceneTexture& texture : scene_.textures) known = known || texture.name == object.texture;
            if (!known)
                Fail(FormatText("object '%s' names texture '%s' that is not listed", object.name.c_str(),
                                object.texture.c_str()));
        }
    }

    CScriptFile& script_;
    const char* name_;
    CScene scene_;
};

}  // namespace

CScene ParseScene(CScriptFile& script, const char* name) { return CSceneParser(script, name).Parse(); }
