// The propeller scene drawn by the real gfx server into a hidden OpenGL
// window: both materials' shaders reach the picture.
#include "ModelTestSupport.h"
#include "vexlar3d/shaders/T_ShaderManager.h"
#include "graphics/GfxTestSupport.h"

#include "demo/T_PropellerScene.h"
#include "vexlar3d/resources/T_3dsModel.h"
#include "vexlar3d/resources/T_FileSystem.h"

class PropellerPicture : public GfxTest
{
};

TEST_F(PropellerPicture, BladesAndHubAreDrawn)
{
    Start();
    T_ShaderManager shaders(256);
    T_FileSystem fileSystem;
    ASSERT_TRUE(fileSystem.AddDirectory(std::string(VEXLAR_BINARY_DIR) + "/bin/Data/"));
    T_PropellerScene scene("propeller");
    ASSERT_EQ(scene.model->materials.size(), 2u);
    // Flat colours instead of the scripts: blades red, hub green.
    for (const auto& [name, colour] : {std::pair<std::string, Rgba>{"propeller_blade", {255, 0, 0, 255}},
                                       std::pair<std::string, Rgba>{"propeller_hub", {0, 255, 0, 255}}})
    {
        T_Shader& shader = *shaders.GetShader(name);
        shader.SetLayerCount(1);
        shader.cullMode = T_Shader::CullNone;
        for (int i = 0; i < 4; ++i)
            shader.layers[0]->color[i] = colour[static_cast<std::size_t>(i)] / 255.0f;
    }

    for (float time : {0.0f, 0.5f, 54.0f})
    {
        server->BeginFrame();
        scene.Render(time);
        std::vector<unsigned char> pixels = ReadDrawable(640, 480);
        int red = 0;
        int green = 0;
        for (std::size_t i = 0; i < pixels.size(); i += 4)
        {
            red += pixels[i] == 255 && pixels[i + 1] == 0 && pixels[i + 2] == 0;
            green += pixels[i] == 0 && pixels[i + 1] == 255 && pixels[i + 2] == 0;
        }
        EXPECT_GT(red, 1000) << time;
        EXPECT_GT(green, 100) << time;
        server->EndFrame();
    }
}
