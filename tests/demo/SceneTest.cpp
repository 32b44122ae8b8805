// The scene script: the demo's own scene reads as intended, and every kind
// of mistake in a script is refused with a message naming the file.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "Scene.h"
#include "TestErrors.h"
#include "framework/ScriptFile.h"

namespace {

CScene Parse(const std::string& text, const char* name = "test.txt") {
    CScriptFile script(text.data(), static_cast<std::int32_t>(text.size()));
    return ParseScene(script, name);
}

const char* const kCamera = "\ncamera { 0  0 1 -5  0 0 0   4  1 1 -5  0 0 0 }\n";

TEST(Scene, TheDemoSceneReads) {
    std::ifstream in(DEMO_SCENE);
    std::stringstream text;
    text << in.rdbuf();
    const CScene scene = Parse(text.str(), "scene.txt");
    EXPECT_FLOAT_EQ(scene.duration, 10.0f);
    EXPECT_EQ(scene.keysFile, "anim/objects.keys");
    EXPECT_EQ(scene.textures.size(), 2u);
    EXPECT_GE(scene.cameraEye.count, 2);
    EXPECT_EQ(scene.cameraEye.count, scene.cameraTarget.count);
    EXPECT_GE(scene.sky.count, 2);
    ASSERT_EQ(scene.objects.size(), 5u);
    EXPECT_EQ(scene.objects[0].shape, EShape::Floor);
    EXPECT_EQ(scene.objects[4].shape, EShape::Sprites);
    EXPECT_EQ(scene.objects[4].texture, "glow");
}

TEST(Scene, ObjectsKeepEveryProperty) {
    const CScene scene = Parse(std::string("duration 3 fov 70 fade 0.5 light 0 1 0 keys k.bin\n"
                                           "texture t \"dir/a b.tga\"\n") +
                               kCamera +
                               "sky { 0 1 0 0  /* red, then */ 3 0 0 1 }\n"
                               "object \"ring one\" { shape sprites colour 0.5 0.25 1 size 2 at 1 2 3\n"
                               "  track orbit texture t show 1 2.5 count 12 radius 4 }\n"
                               "object plain { } // a cube by default\n");
    EXPECT_FLOAT_EQ(scene.duration, 3.0f);
    EXPECT_FLOAT_EQ(scene.fovDegrees, 70.0f);
    EXPECT_FLOAT_EQ(scene.fade, 0.5f);
    EXPECT_EQ(scene.textures[0].file, "dir/a b.tga");
    EXPECT_EQ(scene.sky.count, 2);
    EXPECT_FLOAT_EQ(scene.sky.items[1].value.z, 1.0f);
    ASSERT_EQ(scene.objects.size(), 2u);
    const CSceneObject& ring = scene.objects[0];
    EXPECT_EQ(ring.name, "ring one");
    EXPECT_EQ(ring.shape, EShape::Sprites);
    EXPECT_FLOAT_EQ(ring.colour.y, 0.25f);
    EXPECT_FLOAT_EQ(ring.at.z, 3.0f);
    EXPECT_EQ(ring.track, "orbit");
    EXPECT_FLOAT_EQ(ring.showUntil, 2.5f);
    EXPECT_EQ(ring.count, 12);
    EXPECT_FLOAT_EQ(ring.radius, 4.0f);
    EXPECT_EQ(scene.objects[1].shape, EShape::Cube);
    EXPECT_TRUE(scene.objects[1].track.empty());
}

TEST(Scene, MistakesAreRefused) {
    const std::string camera = kCamera;
    const struct {
        std::string script;
        const char* words;  // expected in the message
    } cases[] = {
        {"durration 3" + camera, "unknown word 'durration'"},
        {"duration three" + camera, "'three' where 'duration' needs a number"},
        {"duration 3x" + camera, "'3x'"},
        {"duration 1e99" + camera, "'1e99'"},
        {"duration 0" + camera, "no positive duration"},
        {"fov 180" + camera, "field of view"},
        {"duration 3", "at least two camera keys"},
        {"camera { 0 0 1 -5 0 0 0 }", "at least two camera keys"},
        {"camera { 2 0 1 -5 0 0 0  1 0 1 -4 0 0 0 }", "go back in time"},
        {"camera 0 0 1", "needs '{' after 'camera'"},
        {"camera { 0 0 1 -5 0 0", "ends where 'camera' needs a value"},
        {"sky { 0 1 1 1", "ends inside the 'sky' block"},
        {camera + "object a { shape sphere }", "unknown shape 'sphere'"},
        {camera + "object a { size }", "'}' where 'size' needs a number"},
        {camera + "object a { colour 1 1 1", "ends inside object 'a'"},
        {camera + "object a { glow 1 }", "unknown word 'glow' in object 'a'"},
        {camera + "object a { count 2.5 }", "sprite count of 2.5"},
        {camera + "object a { count 5000 }", "sprite count"},
        {camera + "object a { texture wood }", "names texture 'wood' that is not listed"},
        {camera + "keys", "ends where 'keys' needs a value"},
    };
    for (const auto& c : cases) {
        const CaughtError e = Catch([&] { Parse(c.script, "bad.txt"); });
        ASSERT_TRUE(e.thrown) << c.script;
        EXPECT_EQ(e.type, "Bad Resource");
        EXPECT_NE(e.message.find("ParseScene : 'bad.txt'"), std::string::npos) << e.message;
        EXPECT_NE(e.message.find(c.words), std::string::npos) << c.script << " -> " << e.message;
    }
}

}  // namespace
