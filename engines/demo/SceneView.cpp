#include "SceneView.h"

#include <algorithm>
#include <cmath>

#include "MathBridge.h"

namespace {
const float kDegrees = 3.14159265f / 180.0f;
}

CMatrix ViewMatrix(const CScene& scene, float t) {
    const CVector3 eye = SamplePosition(scene.cameraEye, t);
    CVector3 target = SamplePosition(scene.cameraTarget, t);
    const float dx = target.x - eye.x, dy = target.y - eye.y, dz = target.z - eye.z;
    // Looking at the eye itself, or straight up or down, has no defined view;
    // look ahead along +z instead.
    const float horizontal = dx * dx + dz * dz;
    if (horizontal < 1e-8f) target = CVector3{eye.x, eye.y + dy, eye.z + std::max(1.0f, std::fabs(dy))};
    const CVector3 up = {0.0f, 1.0f, 0.0f};
    CMatrix view;
    view.SetLookAt(eye, target, up);
    return view;
}

CMatrix ProjectionMatrix(const CScene& scene, int width, int height) {
    const float xScale = width > 0 && height > 0 ? static_cast<float>(height) / width : 1.0f;
    CMatrix projection;
    projection.SetPerspective(scene.fovDegrees * kDegrees, xScale, kNearPlane, kFarPlane, false);
    return projection;
}

CVector3 SkyColour(const CScene& scene, float t) {
    if (scene.sky.count == 0) return CVector3{0.0f, 0.0f, 0.0f};
    return SampleLinear(scene.sky, t);
}

float FadeLevel(const CScene& scene, float t) {
    if (scene.fade <= 0.0f) return 1.0f;
    const float level = std::min(t, scene.duration - t) / scene.fade;
    return std::clamp(level, 0.0f, 1.0f);
}

CMatrix ObjectMatrix(const CSceneObject& object, const CTrack* track, float t) {
    // A sprite ring's size is the size of each sprite, not of the ring.
    float scale = object.shape == EShape::Sprites ? 1.0f : object.size;
    CQuaternion rotation = {0.0f, 0.0f, 0.0f, 1.0f};
    CVector3 offset = {0.0f, 0.0f, 0.0f};
    if (track) {
        scale *= SampleScale(track->scale, t);
        rotation = SampleRotation(track->rotation, t);
        offset = SamplePosition(track->position, t);
    }
    CMatrix world, turn, move;
    MathMatrixScaling(AsMath(&world), scale, scale, scale);
    turn.SetRotation(rotation);
    MathMatrixTranslation(AsMath(&move), object.at.x + offset.x, object.at.y + offset.y, object.at.z + offset.z);
    world.MultiplyBy(turn).MultiplyBy(move);
    return world;
}

bool IsShown(const CSceneObject& object, float t) { return t >= object.showFrom && t < object.showUntil; }
