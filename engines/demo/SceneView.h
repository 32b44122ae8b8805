#pragma once
// What the scene looks like at a moment: camera matrices, sky colour, fade
// level and each object's world matrix. Row vectors and left-handed view
// space (+z ahead), as the framework's CMatrix uses them; OpenGL takes these
// row-major matrices as they are, since its column vectors see the
// transpose.
#include <vector>

#include "KeyTracks.h"
#include "Scene.h"
#include "framework/MathTypes.h"

const float kNearPlane = 0.1f;
const float kFarPlane = 100.0f;

// The view from the camera path at t seconds.
CMatrix ViewMatrix(const CScene& scene, float t);
// Perspective for a viewport of width x height pixels.
CMatrix ProjectionMatrix(const CScene& scene, int width, int height);
CVector3 SkyColour(const CScene& scene, float t);
// 0 (black) to 1 (full picture): rises over the first `fade` seconds and
// falls over the last ones.
float FadeLevel(const CScene& scene, float t);
// Scale (the object's size, sprites excepted, times the track's scale), then
// rotation, then the object's place plus its track's position.
CMatrix ObjectMatrix(const CSceneObject& object, const CTrack* track, float t);
bool IsShown(const CSceneObject& object, float t);
