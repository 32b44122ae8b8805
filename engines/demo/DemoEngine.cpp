// The StageHost demo engine (render.so): a few seconds of animated scene
// whose every resource comes through the host's file system. Precache reads
// the scene script (CScriptFile), the animation tracks (a binary keyed-array
// file) and the textures (TGA); Frame animates them by s_time and s_df and
// draws them with OpenGL until the scene's duration has passed.
#include <SDL.h>

#include <string>
#include <vector>

#include "DemoVars.h"
#include "GlRenderer.h"
#include "KeyTracks.h"
#include "ResourceFile.h"
#include "Scene.h"
#include "TgaImage.h"
#include "framework/ScriptFile.h"
#include "sdk/StageHost.h"

namespace {

SystemSocket* g_socket = nullptr;

const float kSpinPerSecond = 0.6f;  // sprite ring, radians per scene second

class CDemoEngine final : public IDemoEngine {
public:
    CDemoEngine() : log_(g_socket->logService), vars_(RegisterDemoVars(g_socket->varList)) {}

    bool Configure(EngineModuleHandle) override {
        AdjustDemoVars(vars_, log_);
        log_->Log("Demo: window %dx%d%s, scene '%s', speed %g", vars_.widthPhys->value.asInt,
                  vars_.heightPhys->value.asInt, vars_.fullscreen->value.asInt ? " full-screen" : "",
                  vars_.scene->value.asString, vars_.speed->value.asFloat);
        return true;
    }

    int32_t Initialize(EngineModuleHandle, AppWindowHandle window) override {
        window_ = static_cast<SDL_Window*>(window);
        if (!renderer_.Create(window_, vars_.vsync->value.asInt != 0, log_)) return -1;
        if (vars_.fullscreen->value.asInt != 0) SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
        return 0;
    }

    int32_t Precache() override {
        CFileSystem* files = g_socket->fileSystem;
        const std::string sceneName = vars_.scene->value.asString;
        {
            const CResource text = LoadResource(files, log_, sceneName.c_str());
            CScriptFile script(reinterpret_cast<const char*>(text.bytes.data()),
                               static_cast<int32_t>(text.bytes.size()));
            scene_ = ParseScene(script, sceneName.c_str());
        }
        log_->Log("Demo: scene of %g s with %d objects, %d camera keys, %d textures", scene_.duration,
                  static_cast<int>(scene_.objects.size()), scene_.cameraEye.count,
                  static_cast<int>(scene_.textures.size()));

        if (!scene_.keysFile.empty()) {
            const CResource keys = LoadResource(files, log_, scene_.keysFile.c_str());
            tracks_ = DecodeTracks(keys.bytes.data(), keys.bytes.size(), scene_.keysFile.c_str());
            for (const CTrack& track : tracks_)
                log_->Log("Demo: track '%s': %d rotation, %d position, %d scale keys", track.name.c_str(),
                          track.rotation.count, track.position.count, track.scale.count);
        }

        std::vector<unsigned> textureNames;
        for (const CSceneTexture& texture : scene_.textures) {
            const CResource file = LoadResource(files, log_, texture.file.c_str());
            const CImage image = DecodeTga(file.bytes.data(), file.bytes.size(), texture.file.c_str());
            log_->Log("Demo: texture '%s' is %dx%d", texture.name.c_str(), image.width, image.height);
            textureNames.push_back(renderer_.UploadTexture(image));
        }

        for (const CSceneObject& object : scene_.objects) {
            const CTrack* track = nullptr;
            if (!object.track.empty() && !(track = FindTrack(tracks_, object.track)))
                throw new CErrorBadResource(FormatText("CDemoEngine::Precache : object '%s' follows track '%s' that '%s' lacks",
                                                       object.name.c_str(), object.track.c_str(),
                                                       scene_.keysFile.c_str()));
            objectTracks_.push_back(track);
            unsigned texture = 0;
            for (size_t i = 0; i < scene_.textures.size(); ++i)
                if (scene_.textures[i].name == object.texture) texture = textureNames[i];
            objectTextures_.push_back(texture);
        }
        loaded_ = true;
        return 0;
    }

    void Reserved() override {}

    bool Frame() override {
        if (!loaded_) {
            log_->Log("Demo: nothing was loaded, ending");
            return false;
        }
        const float speed = vars_.speed->value.asFloat;
        const int32_t now = vars_.time ? vars_.time->value.asInt : 0;
        const float seconds = static_cast<float>(now) * 0.001f * speed;
        if (frames_ == 0) log_->Log("Demo: first frame");
        if (seconds >= scene_.duration) {
            const float fps = seconds > 0.0f ? frames_ * speed / seconds : 0.0f;
            log_->Log("Demo: finished after %d frames (%.1f frames per second)", frames_, fps);
            return false;
        }
        ++frames_;
        if (vars_.frameSeconds) spin_ += vars_.frameSeconds->value.asFloat * speed * kSpinPerSecond;

        CFrameSettings settings;
        settings.time = seconds;
        settings.spin = spin_;
        settings.maxSprites = vars_.maxSprites->value.asInt;
        settings.wireframe = vars_.wireframe->value.asInt != 0;
        renderer_.Draw(scene_, objectTracks_, objectTextures_, settings);
        renderer_.Present();
        return true;
    }

    void Shutdown() override { renderer_.Destroy(); }
    void Release() override { delete this; }

private:
    CLogService* log_;
    CDemoVars vars_;
    SDL_Window* window_ = nullptr;
    CGlRenderer renderer_;
    CScene scene_;
    std::vector<CTrack> tracks_;
    std::vector<const CTrack*> objectTracks_;
    std::vector<unsigned> objectTextures_;
    bool loaded_ = false;
    int frames_ = 0;
    float spin_ = 0.0f;
};

}  // namespace

STAGEHOST_ENGINE_EXPORT void PlugSystemSocket(SystemSocket* socket) { g_socket = socket; }

STAGEHOST_ENGINE_EXPORT IDemoEngine* CreateDemoEngine() { return g_socket ? new CDemoEngine() : nullptr; }

STAGEHOST_ENGINE_EXPORT void UnplugSystemSocket() { g_socket = nullptr; }
