// Text through the bitmap font on a real OpenGL context (offscreen): glyph
// cells (textured whatever an earlier pass left), advance, placement and
// scale, and the state text leaves behind.
#include "GfxTestSupport.h"

#include <cmath>
#include <string>

namespace
{
class FontTest : public GfxTest
{
protected:
    void SetUp() override
    {
        GfxTest::SetUp();
        g_config.textureFilter = 0;
        Start();
        // 10 x 10 cells of 16 texels; cell i has colour (10 + 2i, 255 - i, 77).
        fontTexture = MakeTexture("font", 160, 160, 32, [](int x, int y, unsigned char* p) {
            const int cell = (9 - y / 16) * 10 + x / 16;
            p[0] = static_cast<unsigned char>(10 + 2 * cell);
            p[1] = static_cast<unsigned char>(255 - cell);
            p[2] = 77;
            p[3] = 255;
        });
        ASSERT_TRUE(server->UploadTexture(fontTexture.get()));
        font = FlatShader("default_font", 1, 1, 1);
        font->layers[0]->AddTexture(fontTexture.get());
        server->BuildFont(32, 20);
    }

    // Every pixel of the rectangle has the colour.
    static void ExpectArea(int x0, int y0, int x1, int y1, const Rgba& color)
    {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                ASSERT_EQ(ReadPixel(x, y), color) << "at " << x << ", " << y;
    }

    static Rgba CellColour(int cell)
    {
        return Rgba{static_cast<unsigned char>(10 + 2 * cell), static_cast<unsigned char>(255 - cell), 77, 255};
    }

    std::unique_ptr<T_Texture> fontTexture;
    std::unique_ptr<T_Shader> font;
};

} // namespace

TEST_F(FontTest, PrintDrawsTheGlyphCellAndAdvances)
{
    const Rgba black{0, 0, 0, 255};
    const Rgba cellA = CellColour(33); // "A", code 65
    const Rgba cellB = CellColour(34);

    // An untextured pass leaves texturing off; text turns it on again.
    T_Mesh quad;
    AddQuad(quad, 0.9f, 0.7f, 1.0f, 0.75f);
    auto plain = FlatShader("plain", 0, 0, 0);
    UseOrthoCamera();
    server->BeginFrame();
    server->SetShader(plain.get());
    server->DrawMesh(&quad, 6, 0, 0.0f);
    server->Print(font.get(), 0.0f, 0.0f, 1.0f, 1.0f, "A");
    // A 32 x 32 quad at the lower left, showing cell 33 (the two outer
    // pixels of each side mix in the neighbouring cells).
    ExpectArea(2, 2, 29, 29, cellA);
    ExpectArea(33, 0, 60, 40, black);
    ExpectArea(0, 33, 40, 60, black);

    // At (0.25, 0.5), twice as wide: "A" from x 160 to 224, "B" 40 pixels
    // on, drawn over the right part of "A".
    server->BeginFrame();
    server->Print(font.get(), 0.25f, 0.5f, 2.0f, 1.0f, "AB");
    ExpectArea(164, 243, 196, 269, cellA);
    ExpectArea(206, 243, 258, 269, cellB);
    ExpectArea(266, 240, 300, 272, black);
    ExpectArea(160, 274, 264, 290, black);
    EXPECT_EQ(ReadPixel(150, 250), black);

    // Five characters move the model-view matrix on by 5 advances of 20
    // pixels of the 640 wide window, times the horizontal scale.
    server->BeginFrame();
    server->Print(font.get(), 0.125f, 0.0f, 2.0f, 1.0f, "ABCDE");
    const auto modelView = GetMatrix(GL_MODELVIEW_MATRIX);
    EXPECT_FLOAT_EQ(modelView[12], 0.125f + 5 * 20.0f / 640.0f * 2.0f);
    EXPECT_FLOAT_EQ(modelView[13], 0.0f);
    // Characters outside 32..127 draw nothing and do not advance.
    server->BeginFrame();
    server->Print(font.get(), 0.0f, 0.0f, 1.0f, 1.0f, "\x01\x80" "A");
    ExpectArea(2, 2, 29, 29, cellA);
    ExpectArea(33, 0, 60, 40, black);

    // Text that formats to more than 255 characters is cut at 255.
    const std::string longText(400, 'x');
    server->Print(font.get(), 0.0f, 0.0f, 1.0f, 1.0f, "%s", longText.c_str());
    EXPECT_NEAR(GetMatrix(GL_MODELVIEW_MATRIX)[12], 255.0f * 20.0f / 640.0f, 1e-3);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(FontTest, PrintMakesTheNextShaderAndCameraApplyInFull)
{
    auto lit = FlatShader("lit", 1, 1, 1);
    lit->material = std::make_unique<T_Material>();
    server->SetShader(lit.get());
    UseOrthoCamera();
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));

    server->Print(font.get(), 0.0f, 0.0f, 1.0f, 1.0f, "hi");
    EXPECT_EQ(server->currentShader, nullptr);
    EXPECT_EQ(server->currentCamera, nullptr);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING)); // the font shader has no material
    EXPECT_NEAR(GetMatrix(GL_PROJECTION_MATRIX)[0], 2.0f, 1e-6); // glOrtho(0, 1, ...)

    server->SetShader(lit.get());
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    server->SetCamera(&camera);
    EXPECT_NEAR(GetMatrix(GL_PROJECTION_MATRIX)[0], 1.0f, 1e-6);

    // A null format or shader draws nothing and leaves the state alone.
    server->Print(font.get(), 0.0f, 0.0f, 1.0f, 1.0f, nullptr);
    server->Print(nullptr, 0.0f, 0.0f, 1.0f, 1.0f, "x");
    EXPECT_EQ(server->currentShader, lit.get());
}
