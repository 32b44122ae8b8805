// Sample engine: registers the window variables, opens an OpenGL context on
// the host's window and draws a turning, colour-cycling fan for a few seconds
// of demo time (s_time), then reports that the demo is finished.
#include <SDL.h>
#include <SDL_opengl.h>

#include <cmath>

#include "sdk/StageHost.h"

namespace {

const int32_t kDemoLengthMs = 5000;

SystemSocket* g_socket;

class CSampleEngine final : public IDemoEngine {
public:
    CSampleEngine() {
        CVarList* vars = g_socket->varList;
        vars->RegisterInt("r_width_phys", 800, VARF_SAVE, nullptr);
        vars->RegisterInt("r_height_phys", 600, VARF_SAVE, nullptr);
        vars->RegisterInt("r_use_desktop_resolution", 0, VARF_SAVE, nullptr);
        vars->RegisterInt("r_width", 800, VARF_SAVE, nullptr);
        vars->RegisterInt("r_height", 600, VARF_SAVE, nullptr);
        vars->RegisterInt("r_max_particles", 4096, VARF_SAVE, nullptr);
        vars->RegisterInt("r_max_sprites", 1024, VARF_SAVE, nullptr);
        fullscreen_ = vars->RegisterInt("r_fullscreen", 0, VARF_SAVE, nullptr);
        time_ = vars->Find("s_time");
    }

    int32_t Initialize(EngineModuleHandle, AppWindowHandle window) override {
        window_ = static_cast<SDL_Window*>(window);
        context_ = SDL_GL_CreateContext(window_);
        if (!context_) {
            g_socket->logService->Log("Sample engine: no OpenGL context (%s)", SDL_GetError());
            return -1;
        }
        SDL_GL_SetSwapInterval(1);
        if (fullscreen_ && fullscreen_->value.asInt != 0)
            SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
        g_socket->logService->Log("Sample engine: OpenGL %s on %s",
                                  reinterpret_cast<const char*>(glGetString(GL_VERSION)),
                                  reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
        return 0;
    }

    void Shutdown() override {
        if (context_) SDL_GL_DeleteContext(context_);
        context_ = nullptr;
    }

    bool Configure(EngineModuleHandle) override { return true; }
    int32_t Precache() override { return 0; }
    void Reserved() override {}

    bool Frame() override {
        int32_t now = time_ ? time_->value.asInt : 0;
        if (frames_++ == 0) g_socket->logService->Log("Sample engine: first frame");
        if (now >= kDemoLengthMs) {
            g_socket->logService->Log("Sample engine: %d frames in %d ms", frames_, now);
            return false;
        }
        Draw(now * 0.001f);
        SDL_GL_SwapWindow(window_);
        return true;
    }

    void Release() override { delete this; }

private:
    void Draw(float seconds) {
        int width = 0, height = 0;
        SDL_GL_GetDrawableSize(window_, &width, &height);
        glViewport(0, 0, width, height);
        glClearColor(0.05f, 0.05f, 0.1f + 0.1f * std::sin(seconds), 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);

        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        float aspect = height > 0 ? static_cast<float>(width) / height : 1.0f;
        glOrtho(-aspect, aspect, -1.0, 1.0, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glRotatef(seconds * 60.0f, 0.0f, 0.0f, 1.0f);

        const int kBlades = 12;
        glBegin(GL_TRIANGLES);
        for (int i = 0; i < kBlades; ++i) {
            float a0 = 6.2831853f * i / kBlades;
            float a1 = a0 + 6.2831853f / (2 * kBlades);
            float hue = a0 + seconds * 2.0f;
            glColor3f(0.5f + 0.5f * std::sin(hue), 0.5f + 0.5f * std::sin(hue + 2.1f),
                      0.5f + 0.5f * std::sin(hue + 4.2f));
            float r = 0.8f + 0.1f * std::sin(seconds * 3.0f + i);
            glVertex2f(0.0f, 0.0f);
            glVertex2f(r * std::cos(a0), r * std::sin(a0));
            glVertex2f(r * std::cos(a1), r * std::sin(a1));
        }
        glEnd();
    }

    int32_t frames_ = 0;
    CVariable* time_ = nullptr;
    CVariable* fullscreen_ = nullptr;
    SDL_Window* window_ = nullptr;
    SDL_GLContext context_ = nullptr;
};

}  // namespace

STAGEHOST_ENGINE_EXPORT void PlugSystemSocket(SystemSocket* socket) { g_socket = socket; }

STAGEHOST_ENGINE_EXPORT IDemoEngine* CreateDemoEngine() { return new CSampleEngine(); }

STAGEHOST_ENGINE_EXPORT void UnplugSystemSocket() { g_socket = nullptr; }
