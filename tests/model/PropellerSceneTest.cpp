// The propeller scene over the generated "propeller.3ds": its starting camera,
// the one-frame lag, the spin, and the spectrum band after 53.1 s, fed by the
// real sound system rendering offline.
#include "ModelTestSupport.h"
#include "vexlar3d/shaders/T_ShaderManager.h"
#include "resources/TestFiles.h"

#include "demo/T_PropellerScene.h"
#include "vexlar3d/graphics/T_Camera.h"
#include "vexlar3d/resources/T_3dsModel.h"
#include "vexlar3d/resources/T_FileSystem.h"
#include "vexlar3d/sound/T_SoundSystem.h"

#include <gtest/gtest.h>

#include <cmath>

using modeltest::CallLog;

namespace
{
struct SceneFixture : ::testing::Test
{
    SceneFixture() { fileSystem.AddDirectory(std::string(VEXLAR_BINARY_DIR) + "/bin/Data/"); }
    T_ShaderManager shaders{256};
    CallLog gfx;
    T_FileSystem fileSystem;
};

// x, y, z, rotX, rotY, rotZ, fov, aspect as CallLog records them.
std::array<float, 8> Camera(float z, float rotX, float rotY)
{
    return {0.0f, 0.0f, z, rotX, rotY, 0.0f, 70.0f, 4.0f / 3.0f};
}
} // namespace

TEST_F(SceneFixture, StartsAsBuiltAndDrawsWithTheCameraOfThePreviousFrame)
{
    T_PropellerScene scene("propeller");
    ASSERT_GT(scene.model->meshCount, 0);
    EXPECT_EQ(scene.camera->projection, T_Camera::Perspective);

    scene.Render(0.0f);
    // The first frame draws with the starting camera ...
    ASSERT_EQ(gfx.cameras.size(), 1u);
    EXPECT_EQ(gfx.cameras[0], Camera(-0.4f, -15.0f, -15.0f));
    // ... and leaves the one computed for time 0 to the next.
    EXPECT_EQ(scene.camera->rotX, 0.0f);
    EXPECT_EQ(scene.camera->rotY, -20.0f);
    EXPECT_EQ(scene.camera->rotZ, 0.0f);

    gfx.calls.clear();
    scene.Render(2.0f);
    EXPECT_EQ(gfx.cameras[1], Camera(-0.4f, 0.0f, -20.0f));
    EXPECT_FLOAT_EQ(scene.camera->rotX, -20.0f * std::sin(1.0f));
    EXPECT_FLOAT_EQ(scene.camera->rotY, -20.0f * std::cos(1.0f));
    // The propeller spins 300 degrees a second and is drawn at its scale,
    // every group of every mesh once.
    EXPECT_EQ(scene.model->rotation[2], 600.0f);
    ASSERT_GE(gfx.calls.size(), 7u);
    EXPECT_EQ(gfx.calls[0], "SetCamera");
    EXPECT_EQ(gfx.calls[4], "RotateZ 600");
    EXPECT_EQ(gfx.calls[5], "Scale 0.005 0.005 0.005");
    std::size_t groups = 0;
    for (const T_3dsMesh& mesh : scene.model->meshes)
        groups += mesh.groups.size();
    EXPECT_EQ(std::count_if(gfx.calls.begin(), gfx.calls.end(),
                            [](const std::string& call) { return call.rfind("DrawMesh", 0) == 0; }),
              static_cast<std::ptrdiff_t>(groups));
}

TEST_F(SceneFixture, SpectrumBandFromJustAfter53Point1)
{
    // Tones in the middle of the spectrum bins 49, 55 and 61 (bin k is
    // k * 48000 / 1024 Hz), each also seen by the bins beside it: the band
    // 50..60 differs from a band one bin off.
    const std::string dir = testfiles::FreshDir("tone");
    ASSERT_TRUE(testfiles::Run("cd " + dir + " && for f in 2296.875 2578.125 2859.375; do sox -n -r 48000 -c 2 -b 16 "
                               "$f.wav synth 2 sine $f gain -1; done && sox -m 2*.wav tone.wav"));
    ASSERT_TRUE(fileSystem.AddDirectory(dir));
    T_SoundSystem sound;
    sound.SetMixRate(48000);
    ASSERT_TRUE(sound.InitOffline());
    sound.OpenStream("tone.wav");
    sound.PlayStream("tone.wav");
    std::vector<float> out(2 * 4096);
    ASSERT_TRUE(sound.RenderOffline(out.data(), 4096));
    const auto band = [&sound](int first) {
        float sum = 0.0f;
        for (int i = first; i <= first + 10; ++i)
            sum += sound.GetSpectrum()[i];
        return sum;
    };

    T_PropellerScene scene("propeller");
    scene.Render(53.1f);
    EXPECT_EQ(band(50), 0.0f) << "the spectrum was switched on too early";
    EXPECT_EQ(scene.camera->z, -0.4f);

    const float justAfter = std::nextafter(53.1f, 60.0f);
    scene.Render(justAfter);
    const float expected = 0.15f * band(50) - 0.4f;
    EXPECT_GT(band(50), 0.1f);
    EXPECT_GT(std::fabs(band(49) - band(50)), 0.1f * band(50));
    EXPECT_GT(std::fabs(band(51) - band(50)), 0.1f * band(50));
    EXPECT_FLOAT_EQ(scene.camera->z, expected);
    // The frame that computed it drew with the old distance; the next one uses it.
    EXPECT_EQ(gfx.cameras[1][2], -0.4f);
    scene.Render(54.0f);
    EXPECT_FLOAT_EQ(gfx.cameras[2][2], expected);

    // Silence brings the camera back to where it started.
    sound.StopStream("tone.wav");
    ASSERT_TRUE(sound.RenderOffline(out.data(), 4096));
    scene.Render(55.0f);
    EXPECT_EQ(scene.camera->z, -0.4f);
}

TEST(PropellerScene, WithoutModelOrSubsystemsDrawsNothing)
{
    T_ShaderManager shaders(256);
    T_FileSystem fileSystem;
    ASSERT_TRUE(fileSystem.AddDirectory(testfiles::FreshDir("empty")));
    {
        CallLog gfx;
        T_PropellerScene scene("propeller");
        EXPECT_EQ(scene.model->meshCount, 0);
        scene.Render(60.0f); // no sound system: silence
        EXPECT_EQ(scene.camera->z, -0.4f);
        EXPECT_EQ(std::count(gfx.calls.begin(), gfx.calls.end(), "PushMatrix"), 0);
        EXPECT_EQ(gfx.calls.front(), "SetCamera");
    }
    T_PropellerScene scene("propeller");
    scene.Render(1.0f); // no gfx server either
    EXPECT_EQ(scene.model->rotation[2], 300.0f);
}
