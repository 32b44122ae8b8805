#pragma once
// Draws the scene with fixed-function OpenGL into the host's window: one GL
// context on the SDL window, textures uploaded once, and per frame the sky,
// the lit solid objects, the textured floor and additive glow sprites.
#include <cstdint>
#include <vector>

#include "KeyTracks.h"
#include "Scene.h"
#include "TgaImage.h"

struct SDL_Window;
class CLogService;

struct CFrameSettings {
    float time = 0.0f;  // scene seconds
    float spin = 0.0f;  // sprite ring phase, radians
    int maxSprites = 0;
    bool wireframe = false;
};

class CGlRenderer {
public:
    CGlRenderer() = default;
    ~CGlRenderer() { Destroy(); }
    CGlRenderer(const CGlRenderer&) = delete;
    CGlRenderer& operator=(const CGlRenderer&) = delete;

    // False (and a log line) when no OpenGL context could be made.
    bool Create(SDL_Window* window, bool vsync, CLogService* log);
    void Destroy();

    // The GL name of the new texture; 0 before Create.
    unsigned UploadTexture(const CImage& image);

    // One frame. tracks and textures run parallel to scene.objects (null and
    // 0 where an object has none).
    void Draw(const CScene& scene, const std::vector<const CTrack*>& tracks, const std::vector<unsigned>& textures,
              const CFrameSettings& settings);
    void Present();

private:
    SDL_Window* window_ = nullptr;
    void* context_ = nullptr;
    std::vector<unsigned> textures_;
};
