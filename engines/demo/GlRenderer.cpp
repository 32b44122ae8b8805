#include "GlRenderer.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <algorithm>
#include <cmath>

#include "MathBridge.h"
#include "SceneView.h"
#include "log/LogService.h"

namespace {

const float kAmbient = 0.3f;

struct CFace {
    CVector3 normal;
    int corners;
    CVector3 v[4];
};

// Unit cube around the origin, and a pyramid of height 1 on a unit base.
const CFace kCube[] = {
    {{0, 0, -1}, 4, {{-.5f, -.5f, -.5f}, {.5f, -.5f, -.5f}, {.5f, .5f, -.5f}, {-.5f, .5f, -.5f}}},
    {{0, 0, 1}, 4, {{-.5f, -.5f, .5f}, {-.5f, .5f, .5f}, {.5f, .5f, .5f}, {.5f, -.5f, .5f}}},
    {{-1, 0, 0}, 4, {{-.5f, -.5f, -.5f}, {-.5f, .5f, -.5f}, {-.5f, .5f, .5f}, {-.5f, -.5f, .5f}}},
    {{1, 0, 0}, 4, {{.5f, -.5f, -.5f}, {.5f, -.5f, .5f}, {.5f, .5f, .5f}, {.5f, .5f, -.5f}}},
    {{0, -1, 0}, 4, {{-.5f, -.5f, -.5f}, {-.5f, -.5f, .5f}, {.5f, -.5f, .5f}, {.5f, -.5f, -.5f}}},
    {{0, 1, 0}, 4, {{-.5f, .5f, -.5f}, {.5f, .5f, -.5f}, {.5f, .5f, .5f}, {-.5f, .5f, .5f}}},
};
const float kSlant = 0.894427f, kRise = 0.447214f;  // side normals of the pyramid
const CFace kPyramid[] = {
    {{0, kRise, -kSlant}, 3, {{-.5f, -.5f, -.5f}, {.5f, -.5f, -.5f}, {0, .5f, 0}}},
    {{kSlant, kRise, 0}, 3, {{.5f, -.5f, -.5f}, {.5f, -.5f, .5f}, {0, .5f, 0}}},
    {{0, kRise, kSlant}, 3, {{.5f, -.5f, .5f}, {-.5f, -.5f, .5f}, {0, .5f, 0}}},
    {{-kSlant, kRise, 0}, 3, {{-.5f, -.5f, .5f}, {-.5f, -.5f, -.5f}, {0, .5f, 0}}},
    {{0, -1, 0}, 4, {{-.5f, -.5f, -.5f}, {-.5f, -.5f, .5f}, {.5f, -.5f, .5f}, {.5f, -.5f, -.5f}}},
};

CVector3 Normalised(CVector3 v) {
    MathVec3Normalise(AsMath(&v), AsMath(&v));
    return v;
}

float Dot(const CVector3& a, const CVector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

void LoadMatrix(const CMatrix& m) { glLoadMatrixf(&m.m[0][0]); }

// Flat-shaded faces: each face's colour from its normal turned into the
// world and the light's direction.
template <size_t N>
void DrawSolid(const CFace (&faces)[N], const CMatrix& world, const CVector3& light, const CVector3& colour,
               float fade) {
    for (const CFace& face : faces) {
        CVector3 normal;
        MathVec3TransformNormal(AsMath(&normal), AsMath(&face.normal), AsMath(&world));
        const float shade = (kAmbient + (1.0f - kAmbient) * std::max(0.0f, Dot(Normalised(normal), light))) * fade;
        glColor3f(colour.x * shade, colour.y * shade, colour.z * shade);
        glBegin(face.corners == 4 ? GL_QUADS : GL_TRIANGLES);
        for (int i = 0; i < face.corners; ++i) glVertex3f(face.v[i].x, face.v[i].y, face.v[i].z);
        glEnd();
    }
}

void DrawFloor(const CSceneObject& object, const CVector3& light, float fade, unsigned texture) {
    const float shade = (kAmbient + (1.0f - kAmbient) * std::max(0.0f, light.y)) * fade;
    const float repeat = std::max(1.0f, object.size * 0.5f);
    if (texture) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture);
    }
    glColor3f(object.colour.x * shade, object.colour.y * shade, object.colour.z * shade);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(-0.5f, 0, -0.5f);
    glTexCoord2f(0, repeat);
    glVertex3f(-0.5f, 0, 0.5f);
    glTexCoord2f(repeat, repeat);
    glVertex3f(0.5f, 0, 0.5f);
    glTexCoord2f(repeat, 0);
    glVertex3f(0.5f, 0, -0.5f);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

// A ring of camera-facing quads around the object's place, in view space.
int DrawSprites(const CSceneObject& object, const CMatrix& world, const CMatrix& view, unsigned texture,
                float spin, float fade, int budget) {
    const int count = std::min(object.count, budget);
    if (count <= 0) return 0;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDepthMask(GL_FALSE);
    if (texture) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture);
    }
    const float half = object.size * 0.5f;
    glBegin(GL_QUADS);
    for (int i = 0; i < count; ++i) {
        const float angle = spin + 6.2831853f * i / count;
        const CVector3 local = {object.radius * std::cos(angle), 0.3f * std::sin(angle * 3.0f + spin),
                                object.radius * std::sin(angle)};
        CVector3 centre;
        MathVec3TransformCoord(AsMath(&centre), AsMath(&local), AsMath(&world));
        MathVec3TransformCoord(AsMath(&centre), AsMath(&centre), AsMath(&view));
        glColor4f(object.colour.x, object.colour.y, object.colour.z, fade);
        glTexCoord2f(0, 0);
        glVertex3f(centre.x - half, centre.y - half, centre.z);
        glTexCoord2f(1, 0);
        glVertex3f(centre.x + half, centre.y - half, centre.z);
        glTexCoord2f(1, 1);
        glVertex3f(centre.x + half, centre.y + half, centre.z);
        glTexCoord2f(0, 1);
        glVertex3f(centre.x - half, centre.y + half, centre.z);
    }
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    return count;
}

}  // namespace

bool CGlRenderer::Create(SDL_Window* window, bool vsync, CLogService* log) {
    window_ = window;
    context_ = SDL_GL_CreateContext(window);
    if (!context_) {
        if (log) log->Log("Demo: no OpenGL context (%s)", SDL_GetError());
        return false;
    }
    SDL_GL_SetSwapInterval(vsync ? 1 : 0);
    if (log)
        log->Log("Demo: OpenGL %s on %s", reinterpret_cast<const char*>(glGetString(GL_VERSION)),
                 reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    return true;
}

void CGlRenderer::Destroy() {
    if (!context_) return;
    if (!textures_.empty()) glDeleteTextures(static_cast<GLsizei>(textures_.size()), textures_.data());
    textures_.clear();
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context_));
    context_ = nullptr;
}

unsigned CGlRenderer::UploadTexture(const CImage& image) {
    if (!context_) return 0;
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.width, image.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 image.rgba.data());
    textures_.push_back(name);
    return name;
}

void CGlRenderer::Draw(const CScene& scene, const std::vector<const CTrack*>& tracks,
                       const std::vector<unsigned>& textures, const CFrameSettings& settings) {
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(window_, &width, &height);
    glViewport(0, 0, width, height);

    const float t = settings.time;
    const float fade = FadeLevel(scene, t);
    const CVector3 sky = SkyColour(scene, t);
    glClearColor(sky.x * fade, sky.y * fade, sky.z * fade, 1.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glPolygonMode(GL_FRONT_AND_BACK, settings.wireframe ? GL_LINE : GL_FILL);

    glMatrixMode(GL_PROJECTION);
    LoadMatrix(ProjectionMatrix(scene, width, height));
    const CMatrix view = ViewMatrix(scene, t);
    const CVector3 light = Normalised(scene.light);

    // Solids first, then the additive sprites over them.
    for (int pass = 0; pass < 2; ++pass) {
        int budget = settings.maxSprites;
        for (size_t i = 0; i < scene.objects.size(); ++i) {
            const CSceneObject& object = scene.objects[i];
            if (!IsShown(object, t) || (object.shape == EShape::Sprites) != (pass == 1)) continue;
            const CMatrix world = ObjectMatrix(object, tracks[i], t);
            if (object.shape == EShape::Sprites) {
                budget -= DrawSprites(object, world, view, textures[i], settings.spin, fade, budget);
                continue;
            }
            CMatrix modelView = world;
            modelView.MultiplyBy(view);
            glMatrixMode(GL_MODELVIEW);
            LoadMatrix(modelView);
            switch (object.shape) {
            case EShape::Cube: DrawSolid(kCube, world, light, object.colour, fade); break;
            case EShape::Pyramid: DrawSolid(kPyramid, world, light, object.colour, fade); break;
            case EShape::Floor: DrawFloor(object, light, fade, textures[i]); break;
            case EShape::Sprites: break;
            }
        }
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

void CGlRenderer::Present() { SDL_GL_SwapWindow(window_); }
