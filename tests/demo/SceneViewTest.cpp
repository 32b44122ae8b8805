// What the scene looks like at a moment: fading, the camera, object
// placement; and the demo's variables brought into range.
#include <gtest/gtest.h>

#include <cmath>

#include "DemoVars.h"
#include "SceneView.h"
#include "vars/VarList.h"

namespace {

CScene TwoKeyScene() {
    CScene scene;
    scene.duration = 10.0f;
    scene.fade = 2.0f;
    scene.cameraEye.Add() = CKeyedVector3{0.0f, {0.0f, 0.0f, -5.0f}};
    scene.cameraEye.Add() = CKeyedVector3{10.0f, {0.0f, 0.0f, -5.0f}};
    scene.cameraTarget.Add() = CKeyedVector3{0.0f, {0.0f, 0.0f, 0.0f}};
    scene.cameraTarget.Add() = CKeyedVector3{10.0f, {0.0f, 0.0f, 0.0f}};
    return scene;
}

TEST(SceneView, FadesInAndOut) {
    const CScene scene = TwoKeyScene();
    const struct {
        float t, level;
    } cases[] = {{0.0f, 0.0f}, {1.0f, 0.5f}, {2.0f, 1.0f}, {5.0f, 1.0f}, {9.0f, 0.5f}, {10.0f, 0.0f}, {12.0f, 0.0f}};
    for (const auto& c : cases) EXPECT_FLOAT_EQ(FadeLevel(scene, c.t), c.level) << c.t;
    CScene noFade = TwoKeyScene();
    noFade.fade = 0.0f;
    EXPECT_FLOAT_EQ(FadeLevel(noFade, 0.0f), 1.0f);
}

TEST(SceneView, CameraLooksAlongThePath) {
    CScene scene = TwoKeyScene();
    const CMatrix view = ViewMatrix(scene, 3.0f);
    // Eye (0, 0, -5) looking at the origin: identity rotation, eye moved to 0.
    EXPECT_NEAR(view.m[0][0], 1.0f, 1e-6f);
    EXPECT_NEAR(view.m[2][2], 1.0f, 1e-6f);
    EXPECT_NEAR(view.m[3][2], 5.0f, 1e-5f);

    // Looking straight down, or at the eye itself, still gives a usable view.
    scene.cameraTarget.items[0].value = CVector3{0.0f, -10.0f, -5.0f};
    scene.cameraTarget.items[1].value = CVector3{0.0f, 0.0f, -5.0f};
    for (float t : {0.0f, 10.0f}) {
        const CMatrix m = ViewMatrix(scene, t);
        for (int i = 0; i < 16; ++i) EXPECT_TRUE(std::isfinite(m.m[i / 4][i % 4])) << t << " " << i;
    }

    const CMatrix projection = ProjectionMatrix(scene, 800, 600);
    EXPECT_NEAR(projection.m[0][0] / projection.m[1][1], 0.75f, 1e-6f);
    EXPECT_FLOAT_EQ(projection.m[2][3], 1.0f);
}

TEST(SceneView, ObjectsScaleTurnAndMove) {
    CSceneObject object;
    object.size = 2.0f;
    object.at = CVector3{1.0f, 2.0f, 3.0f};
    CMatrix m = ObjectMatrix(object, nullptr, 0.0f);
    EXPECT_FLOAT_EQ(m.m[0][0], 2.0f);
    EXPECT_FLOAT_EQ(m.m[3][0], 1.0f);
    EXPECT_FLOAT_EQ(m.m[3][2], 3.0f);

    CTrack track;
    track.position.Add() = CKeyedVector3{0.0f, {10.0f, 0.0f, 0.0f}};
    track.scale.Add() = CKeyedFloat{0.0f, 0.5f};
    const float s = std::sqrt(0.5f);
    track.rotation.Add() = CKeyedVector4{0.0f, {0.0f, 0.0f, s, s}};  // 90 degrees about z
    m = ObjectMatrix(object, &track, 1.0f);
    // x maps onto y, at the combined scale of 1, moved by place and track.
    EXPECT_NEAR(m.m[0][0], 0.0f, 1e-6f);
    EXPECT_NEAR(m.m[0][1], 1.0f, 1e-6f);
    EXPECT_FLOAT_EQ(m.m[3][0], 11.0f);

    object.showFrom = 1.0f;
    object.showUntil = 2.0f;
    EXPECT_FALSE(IsShown(object, 0.5f));
    EXPECT_TRUE(IsShown(object, 1.0f));
    EXPECT_FALSE(IsShown(object, 2.0f));
}

TEST(DemoVars, ConfigureBringsValuesIntoRange) {
    CVarList list;
    list.RegisterInt("s_time", 0, 4, nullptr);
    const CDemoVars vars = RegisterDemoVars(&list);
    ASSERT_NE(vars.time, nullptr);
    EXPECT_EQ(vars.frameSeconds, nullptr);  // not registered in this list
    EXPECT_EQ(vars.widthPhys->flags & VARF_SAVE, static_cast<uint32_t>(VARF_SAVE));
    EXPECT_EQ(list.Find("r_fullscreen"), vars.fullscreen);

    vars.widthPhys->SetInt(100);
    vars.heightPhys->SetInt(100000);
    vars.maxSprites->SetInt(-3);
    vars.speed->SetFloat(0.0f);
    vars.scene->SetString("");
    AdjustDemoVars(vars, nullptr);
    EXPECT_EQ(vars.widthPhys->value.asInt, 320);
    EXPECT_EQ(vars.heightPhys->value.asInt, 4320);
    EXPECT_EQ(vars.width->value.asInt, 320);  // follows the window when 0
    EXPECT_EQ(vars.height->value.asInt, 4320);
    EXPECT_EQ(vars.maxSprites->value.asInt, 0);
    EXPECT_FLOAT_EQ(vars.speed->value.asFloat, 0.1f);
    EXPECT_STREQ(vars.scene->value.asString, "scene.txt");

    vars.speed->SetString("nan");
    vars.width->SetInt(640);
    AdjustDemoVars(vars, nullptr);
    EXPECT_FLOAT_EQ(vars.speed->value.asFloat, 0.1f);
    EXPECT_EQ(vars.width->value.asInt, 640);  // a set value is kept
}

}  // namespace
