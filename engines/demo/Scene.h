#pragma once
// The demo's scene, as its scene script describes it: timings, colours, the
// camera's path, the textures and the objects with the animation track each
// one follows.
//
// Script (read with CScriptFile; // and /* */ comments, quotes optional):
//
//     duration 10                 // seconds until the demo ends
//     fov 60                      // vertical field of view, degrees
//     fade 1                      // fade in and out, seconds
//     light -0.4 1 -0.6           // direction towards the light
//     keys "anim/objects.keys"    // animation tracks (KeyTracks.h)
//     texture floor "textures/floor.tga"
//     sky    { 0  0.02 0.02 0.06   5  0.1 0.04 0.12 ... }   // seconds, colour
//     camera { 0  0 2.5 -9  0 1 0   ... }                    // seconds, eye, target
//     object "name" {
//         shape cube | pyramid | floor | sprites
//         colour 1 0.5 0.2   size 1.2   at -2 1 0
//         track spinner      texture floor   show 0 10
//         count 24   radius 3             // sprites only
//     }
//
// Key times must not go back; camera needs at least two keys.
#include <string>
#include <vector>

#include "framework/KeyedArray.h"
#include "framework/MathTypes.h"

class CScriptFile;

enum class EShape { Cube, Pyramid, Floor, Sprites };

struct CSceneObject {
    std::string name;
    EShape shape = EShape::Cube;
    CVector3 colour = {1.0f, 1.0f, 1.0f};
    float size = 1.0f;
    CVector3 at = {0.0f, 0.0f, 0.0f};
    std::string track;    // empty: not animated
    std::string texture;  // empty: untextured
    float showFrom = 0.0f;
    float showUntil = 1e9f;
    int count = 1;        // sprites
    float radius = 1.0f;  // sprites
};

struct CSceneTexture {
    std::string name;
    std::string file;
};

struct CScene {
    float duration = 10.0f;
    float fovDegrees = 60.0f;
    float fade = 0.0f;
    CVector3 light = {0.0f, 1.0f, 0.0f};
    std::string keysFile;
    std::vector<CSceneTexture> textures;
    CKeyedArray<CKeyedVector3> sky;  // key: seconds, value: colour
    CKeyedArray<CKeyedVector3> cameraEye;
    CKeyedArray<CKeyedVector3> cameraTarget;
    std::vector<CSceneObject> objects;
};

// Reads the whole script; `name` is used in messages. Throws
// CErrorBadResource on an unknown word, a missing or malformed number, an
// unclosed block, or a scene that cannot play (duration not above 0, fewer
// than two camera keys, keys out of order, an object naming a texture the
// scene does not list).
CScene ParseScene(CScriptFile& script, const char* name);
