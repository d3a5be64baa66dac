// Pixels drawn by the gfx server, read back with glReadPixels: meshes, the
// two draw routines giving identical pictures, texture upload (RGB rows of
// any width, 8-bit luminance, both mip-map paths), the picture letterboxed
// into a drawable of another size, and ReadPixels.
#include "GfxTestSupport.h"

#include "vexlar3d/graphics/T_Driver.h"
#include "vexlar3d/graphics/T_Light.h"
#include "vexlar3d/graphics/T_ReadBackQueue.h"
#include "vexlar3d/graphics/T_Viewport.h"

#include <GL/glext.h>

#include <algorithm>
#include <vector>

namespace
{
bool IsBlack(const Rgba& p)
{
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
}
} // namespace

using DrawTest = GfxTest;

TEST_F(DrawTest, MeshesOutsideTheirArraysAndOtherBadInputsAreRefused)
{
    Start();
    UseOrthoCamera();
    auto red = FlatShader("red", 1, 0, 0);
    server->SetShader(red.get());
    T_Mesh mesh;
    AddQuad(mesh, -1.0f, -0.75f, 1.0f, 0.75f);
    server->BeginFrame();
    for (auto routine : {T_GfxServer::DrawRoutine::VertexArrays, T_GfxServer::DrawRoutine::Immediate})
    {
        server->SetDrawRoutine(routine);
        server->DrawMesh(&mesh, 7, 0, 0.0f);  // past the index array
        server->DrawMesh(&mesh, 3, -1, 0.0f); // before it
        server->DrawMesh(&mesh, 3, 2147483647, 0.0f);
        server->DrawMesh(&mesh, -3, 0, 0.0f);
        server->DrawMesh(nullptr, 3, 0, 0.0f);
        T_Mesh bad = mesh;
        bad.indices[4] = 4; // one past the positions
        server->DrawMesh(&bad, 6, 0, 0.0f);
        T_Mesh shortColours = mesh;
        shortColours.AddColor(1, 1, 1, 1); // fewer colours than positions
        server->DrawMesh(&shortColours, 6, 0, 0.0f);
        EXPECT_TRUE(IsBlack(ReadPixel(320, 240)));
    }
    // No shader set: nothing drawn either.
    server->SetShader(nullptr);
    server->DrawMesh(&mesh, 6, 0, 0.0f);
    EXPECT_TRUE(IsBlack(ReadPixel(320, 240)));

    // A modifier count beyond the arrays is held to them; lights outside
    // 0..7 are left alone.
    red->layers[0]->tcModCount = 1000;
    server->SetShader(red.get());
    server->DrawMesh(&mesh, 6, 0, 0.0f);
    T_Light stray; // index -1
    server->EnableLight(&stray);
    stray.index = 8;
    server->EnableLight(&stray);
    server->DisableLight(&stray);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Both draw routines render the same scene pixel for pixel: vertex colours,
// two textured passes with blending and a scrolling modifier, a lit quad
// with an environment-mapped pass, a mesh without texture coordinates drawn
// textured, a wire-frame pass, a triangle strip and a sub-range.
TEST_F(DrawTest, BothDrawRoutinesGiveIdenticalPixels)
{
    Start();
    auto checker = MakeTexture("checker", 8, 8, 32, [](int x, int y, unsigned char* p) {
        p[0] = ((x / 2) + (y / 2)) % 2 == 0 ? 250 : 30;
        p[1] = static_cast<unsigned char>(x * 20);
        p[2] = static_cast<unsigned char>(y * 20);
        p[3] = 200;
    });
    checker->mipmap = true;
    ASSERT_TRUE(server->UploadTexture(checker.get()));

    T_Mesh colouredQuad;
    const float orange[4] = {1.0f, 0.5f, 0.1f, 1.0f};
    AddQuad(colouredQuad, -0.95f, 0.05f, -0.05f, 0.7f, orange);
    colouredQuad.colors[2] = {0.1f, 0.2f, 0.9f, 1.0f};
    auto plain = FlatShader("plain", 1, 1, 1);

    T_Mesh texturedQuad;
    AddQuad(texturedQuad, 0.05f, 0.05f, 0.95f, 0.7f);
    auto twoPass = FlatShader("twoPass", 1, 1, 1);
    twoPass->SetLayerCount(2);
    twoPass->layers[0]->AddTexture(checker.get());
    T_ShaderLayer& glow = *twoPass->layers[1];
    glow.AddTexture(checker.get());
    glow.blendSrc = 2;
    glow.blendDst = 2;
    glow.depthFunc = 3;
    glow.depthWrite = false;
    glow.color[0] = 0.2f; glow.color[1] = 0.1f; glow.color[2] = 0.0f;
    glow.AddTcMod(T_ShaderLayer::TcModScroll, 0.1f, 0.05f, 0.0f);
    glow.AddTcMod(T_ShaderLayer::TcModRotate, 0.5f, 0.5f, 30.0f);

    T_Mesh bent; // normals leaning outwards
    AddQuad(bent, -0.4f, -0.4f, 0.4f, 0.4f);
    for (const auto& p : bent.positions)
        bent.AddNormal(p[0], p[1], 0.5f);
    auto lit = FlatShader("lit", 1, 1, 1);
    lit->SetLayerCount(2);
    lit->cullMode = T_Shader::CullBack;
    lit->material = std::make_unique<T_Material>();
    lit->layers[1]->AddTexture(checker.get());
    lit->layers[1]->tcGen = T_ShaderLayer::TcGenEnvironment;
    lit->layers[1]->blendSrc = 5;
    lit->layers[1]->blendDst = 2;
    lit->layers[1]->texFunc = T_ShaderLayer::TexFuncAdd;
    T_Light light; // a directional light from (1, 1, 2)
    light.index = 0;
    light.diffuse[0] = light.diffuse[1] = light.diffuse[2] = 0.9f;
    light.ambient[2] = 0.2f;
    const float direction[4] = {1.0f, 1.0f, 2.0f, 0.0f};
    std::copy_n(direction, 4, light.position);

    T_Mesh bare;
    AddQuad(bare, -0.9f, -0.7f, -0.1f, -0.1f);
    bare.texCoords.clear(); // positions only
    auto texturedBare = FlatShader("texturedBare", 0.8f, 0.8f, 1.0f);
    texturedBare->layers[0]->AddTexture(checker.get());
    auto wire = FlatShader("wire", 0.3f, 1.0f, 0.3f);
    wire->layers[0]->wireframe = true;

    T_Mesh strip;
    strip.primitive = GL_TRIANGLE_STRIP;
    for (int i = 0; i < 8; ++i)
    {
        strip.AddPosition(0.1f + 0.1f * static_cast<float>(i / 2), -0.7f + 0.3f * static_cast<float>(i % 2), 0.0f);
        strip.AddColor(0.1f * static_cast<float>(i), 1.0f, 0.5f, 1.0f);
        strip.AddIndex(static_cast<std::uint32_t>(i));
    }

    camera.projection = T_Camera::Orthographic;
    T_Camera perspective;
    perspective.z = -1.6f;
    perspective.rotY = 25.0f;
    perspective.x = 0.3f;

    auto render = [&](T_GfxServer::DrawRoutine routine) {
        server->SetDrawRoutine(routine);
        timer.time = 1.7f;
        server->BeginFrame();
        server->SetCamera(&camera);
        server->SetShader(plain.get());
        server->DrawMesh(&colouredQuad, 6, 0, 1.7f);
        server->SetShader(twoPass.get());
        server->DrawMesh(&texturedQuad, 6, 0, 1.7f);
        server->SetShader(texturedBare.get());
        server->DrawMesh(&bare, 6, 0, 1.7f);
        server->SetShader(wire.get());
        server->LineWidth(2.0f);
        server->DrawMesh(&bare, 6, 0, 1.7f);
        server->SetShader(plain.get());
        server->DrawMesh(&strip, 8, 0, 1.7f);
        server->DrawMesh(&colouredQuad, 3, 3, 1.7f);
        server->SetCamera(&perspective);
        server->EnableLight(&light);
        server->SetShader(lit.get());
        server->DrawMesh(&bent, 6, 0, 1.7f);
        server->DisableLight(&light);
        return ReadDrawable(640, 480);
    };

    const auto arrays = render(T_GfxServer::DrawRoutine::VertexArrays);
    const auto immediate = render(T_GfxServer::DrawRoutine::Immediate);
    const auto arraysAgain = render(T_GfxServer::DrawRoutine::VertexArrays);
    std::size_t shown = 0; // pixels not black
    for (std::size_t i = 0; i < arrays.size(); i += 4)
        shown += (arrays[i] | arrays[i + 1] | arrays[i + 2]) != 0;
    EXPECT_GT(shown, 640u * 480u / 5);
    EXPECT_TRUE(arrays == immediate);
    EXPECT_TRUE(arrays == arraysAgain);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // The vertex-array routine leaves the client state as it found it.
    EXPECT_TRUE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_TRUE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
}

TEST_F(DrawTest, TextureUploadKeepsEveryRowAndFormatMakesMipmapsAndRefusesShortRecords)
{
    Start();
    // RGB rows of 5 pixels are 15 bytes: no padding may be assumed.
    auto rgb = MakeTexture("rgb", 5, 3, 24, [](int x, int y, unsigned char* p) {
        p[0] = static_cast<unsigned char>(x * 50);
        p[1] = static_cast<unsigned char>(y * 80);
        p[2] = static_cast<unsigned char>(x + y);
    });
    ASSERT_TRUE(server->UploadTexture(rgb.get()));
    std::vector<unsigned char> back(15 * 3);
    glBindTexture(GL_TEXTURE_2D, rgb->glName);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, back.data());
    EXPECT_TRUE(std::equal(back.begin(), back.end(), rgb->pixels));

    // 8-bit greyscale uploads as luminance, and UpdateTexture keeps it so.
    g_config.textureFilter = 0;
    auto grey = MakeTexture("grey", 3, 2, 8, [](int x, int y, unsigned char* p) {
        p[0] = static_cast<unsigned char>(40 * x + 100 * y);
    });
    ASSERT_TRUE(server->UploadTexture(grey.get()));
    GLint format = 0;
    glBindTexture(GL_TEXTURE_2D, grey->glName);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    EXPECT_EQ(format, GL_LUMINANCE8);
    std::vector<unsigned char> lum(6);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE, lum.data());
    EXPECT_TRUE(std::equal(lum.begin(), lum.end(), grey->pixels));
    grey->pixels[4] = 222;
    server->UpdateTexture(grey.get());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE, lum.data());
    EXPECT_EQ(lum[4], 222);

    // Drawn, a greyscale texel shows as grey.
    UseOrthoCamera();
    auto shader = FlatShader("grey", 1, 1, 1);
    shader->layers[0]->AddTexture(grey.get());
    T_Mesh quad;
    AddQuad(quad, -1.0f, -0.75f, 1.0f, 0.75f);
    server->BeginFrame();
    server->SetShader(shader.get());
    server->DrawMesh(&quad, 6, 0, 0.0f);
    EXPECT_EQ(ReadPixel(530, 360), (Rgba{180, 180, 180, 255})); // texel (2, 1)
    EXPECT_EQ(ReadPixel(320, 360)[1], 222); // texel (1, 1) as updated

    // Records with too few pixels for their size are refused.
    auto texture = MakeTexture("t", 4, 4, 32, [](int, int, unsigned char*) {});
    texture->dataSize = 4 * 4 * 4 - 1;
    EXPECT_FALSE(server->UploadTexture(texture.get()));
    texture->dataSize = 4 * 4 * 4;
    texture->bitsPerPixel = 16; // read as RGB: 48 bytes, fits
    EXPECT_TRUE(server->UploadTexture(texture.get()));
    texture->width = 0;
    EXPECT_FALSE(server->UploadTexture(texture.get()));
    EXPECT_FALSE(server->UploadTexture(nullptr));

    // No pixels at all: storage only.
    T_Texture empty;
    empty.width = 16;
    empty.height = 16;
    empty.bitsPerPixel = 32;
    EXPECT_TRUE(server->UploadTexture(&empty));
    server->UpdateTexture(&empty); // nothing to send
    texture->width = 4;
    texture->height = 400; // larger than its pixels: not sent
    server->UpdateTexture(texture.get());
    server->DeleteTexture(&empty);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // Mip-maps come from OpenGL when the adapter can make them, else from GLU.
    T_Driver& driver = *server->GetDriver();
    for (bool generate : {true, false})
    {
        driver.flags[static_cast<int>(T_Driver::Ext::SGIS_generate_mipmap)] = generate;
        auto mip = MakeTexture("mip", 8, 8, 32, [](int, int, unsigned char* p) {
            p[0] = 200; p[1] = 100; p[2] = 50; p[3] = 255;
        });
        mip->mipmap = true;
        ASSERT_TRUE(server->UploadTexture(mip.get()));
        glBindTexture(GL_TEXTURE_2D, mip->glName);
        GLint width = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 3, GL_TEXTURE_WIDTH, &width);
        EXPECT_EQ(width, 1) << (generate ? "extension" : "glu");
        unsigned char smallest[4] = {};
        glGetTexImage(GL_TEXTURE_2D, 3, GL_RGBA, GL_UNSIGNED_BYTE, smallest);
        EXPECT_EQ(smallest[0], 200);
        EXPECT_EQ(smallest[2], 50);
    }
}


TEST_F(DrawTest, MipmapLevelsAreTheOnesOpenGlMakesAndUpdatesRemakeThem)
{
    // Every level of an image with power-of-two sides, uploaded by the
    // server, equals the level OpenGL makes from the same image; other sides
    // get their levels from OpenGL. Noise exercises the rounding.
    Start();
    unsigned seed = 7;
    int bytes = 4;
    const auto noise = [&seed, &bytes](int, int, unsigned char* p) {
        for (int k = 0; k < bytes; ++k)
        {
            seed = seed * 1103515245u + 12345u;
            p[k] = static_cast<unsigned char>(seed >> 16);
        }
    };
    struct Case
    {
        int width, height, bits;
        GLenum format;
    };
    for (const Case& c : {Case{256, 64, 32, GL_RGBA}, Case{32, 128, 24, GL_RGB}, Case{64, 64, 8, GL_LUMINANCE},
                          Case{1, 16, 32, GL_RGBA}, Case{100, 60, 32, GL_RGBA}})
    {
        bytes = c.bits / 8;
        auto mine = MakeTexture("mine", c.width, c.height, c.bits, noise);
        mine->mipmap = true;
        ASSERT_TRUE(server->UploadTexture(mine.get()));
        GLuint theirs = 0;
        glGenTextures(1, &theirs);
        glBindTexture(GL_TEXTURE_2D, theirs);
        glTexParameterf(GL_TEXTURE_2D, GL_GENERATE_MIPMAP_SGIS, 1.0f);
        glTexImage2D(GL_TEXTURE_2D, 0, c.bits == 8 ? GL_LUMINANCE8 : c.bits == 24 ? GL_RGB8 : GL_RGBA8, c.width,
                     c.height, 0, c.format, GL_UNSIGNED_BYTE, mine->pixels);
        const auto level = [&](GLuint name, int number) {
            glBindTexture(GL_TEXTURE_2D, name);
            GLint w = 0, h = 0;
            glGetTexLevelParameteriv(GL_TEXTURE_2D, number, GL_TEXTURE_WIDTH, &w);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, number, GL_TEXTURE_HEIGHT, &h);
            std::vector<unsigned char> texels(static_cast<std::size_t>(w) * h * 4);
            glGetTexImage(GL_TEXTURE_2D, number, c.format, GL_UNSIGNED_BYTE, texels.data());
            return texels;
        };
        int levels = 1;
        for (int w = c.width, h = c.height; w > 1 || h > 1; w = std::max(w / 2, 1), h = std::max(h / 2, 1))
            ++levels;
        for (int number = 1; number < levels; ++number)
            EXPECT_EQ(level(mine->glName, number), level(theirs, number)) << c.width << "x" << c.height << " level "
                                                                          << number;

        // An update of the image has OpenGL remake the levels.
        std::fill(mine->pixels, mine->pixels + mine->dataSize, 255);
        server->UpdateTexture(mine.get());
        const std::vector<unsigned char> smallest = level(mine->glName, levels - 1);
        EXPECT_TRUE(std::all_of(smallest.begin(), smallest.begin() + c.bits / 8, [](unsigned char v) {
            return v == 255;
        })) << c.width << "x" << c.height;
        glDeleteTextures(1, &theirs);
        server->DeleteTexture(mine.get());
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The drawable is wider than the picture: bars left and right.
TEST_F(DrawTest, PictureIsPillarboxedInAWiderDrawable)
{
    Start(800, 480);
    UseOrthoCamera();
    T_Mesh quad;
    AddQuad(quad, -1.0f, -0.75f, 1.0f, 0.75f);
    auto white = FlatShader("white", 1, 1, 1);
    server->BeginFrame();
    server->SetShader(white.get());
    server->DrawMesh(&quad, 6, 0, 0.0f);
    EXPECT_TRUE(IsBlack(ReadPixel(40, 240)));
    EXPECT_TRUE(IsBlack(ReadPixel(79, 240)));
    EXPECT_EQ(ReadPixel(80, 240)[0], 255);
    EXPECT_EQ(ReadPixel(719, 240)[0], 255);
    EXPECT_TRUE(IsBlack(ReadPixel(720, 240)));

    // Viewports are fractions of the picture. A size message re-applies the
    // viewport and clears; the size it names is not the drawable's (the
    // drawable itself is read) and moves nothing.
    T_Viewport right{0.5f, 1.0f, 0.5f, 0.0f};
    server->SetViewport(&right);
    using Box = std::array<GLint, 4>;
    auto viewport = [] { Box v{}; glGetIntegerv(GL_VIEWPORT, v.data()); return v; };
    EXPECT_EQ(viewport(), (Box{80 + 320, 0, 320, 480}));
    glViewport(0, 0, 1, 1);
    server->ClearViewport(1000, 240);
    EXPECT_EQ(viewport(), (Box{80 + 320, 0, 320, 480}));
    EXPECT_TRUE(IsBlack(ReadPixel(400, 240))); // and it cleared
}

// A drawable twice the configured size: the picture fills it at its own
// resolution, meshes land where the camera puts them, and ReadPixels gives a
// configured-size image of the picture.
TEST_F(DrawTest, MeshesLandWhereTheCameraPutsThemAndReadPixelsReadsThePicture)
{
    Start(1280, 960);
    UseOrthoCamera();
    T_Mesh quarter;
    AddQuad(quarter, -1.0f, -0.75f, 0.0f, 0.0f); // lower-left quarter of the picture
    auto red = FlatShader("red", 1, 0, 0);
    server->BeginFrame();
    server->SetShader(red.get());
    server->DrawMesh(&quarter, 6, 0, 0.0f);
    // Vertex colours replace the layer colour; a sub-range draws only its
    // triangle (the upper-left half of the upper-right quarter).
    const float green[4] = {0, 1, 0, 1};
    T_Mesh coloured;
    AddQuad(coloured, 0.0f, 0.0f, 1.0f, 0.75f, green);
    server->DrawMesh(&coloured, 3, 3, 0.0f);

    T_Texture image("shot", 640, 480, false, false);
    server->ReadPixels(&image);
    auto at = [&](int x, int y) {
        const unsigned char* p = image.pixels + (static_cast<std::size_t>(y) * 640 + x) * 4;
        return Rgba{p[0], p[1], p[2], p[3]};
    };
    EXPECT_EQ(at(100, 100), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(at(319, 239), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(at(340, 460), (Rgba{0, 255, 0, 255}));
    for (auto [x, y] : {std::pair{320, 239}, {319, 240}, {500, 100}, {100, 400}, {630, 260}})
        EXPECT_TRUE(IsBlack(at(x, y))) << x << ", " << y;

    // RGB images get three bytes a pixel; one too small is left alone.
    T_Texture rgb("rgb", 4, 2, false, false);
    rgb.bitsPerPixel = 24;
    rgb.dataSize = 4 * 2 * 3;
    server->ReadPixels(&rgb);
    EXPECT_EQ(rgb.pixels[0], 255);
    EXPECT_EQ(rgb.pixels[1], 0);
    EXPECT_EQ(rgb.pixels[3], 255);
    T_Texture tiny("tiny", 640, 480, false, false);
    tiny.dataSize = 16;
    server->ReadPixels(&tiny);
    EXPECT_EQ(tiny.pixels[0], 0);
}

// The capture's read-back on Mesa goes through pixel-buffer objects: each
// picture comes out one read later (the last one on Drain), with exactly
// the pixels ReadPixels gives for it.
TEST_F(DrawTest, ReadBackQueueDeliversEachPictureOneReadLater)
{
    Start();
    UseOrthoCamera();
    const T_GfxServer::Rect picture = server->GetPicture();
    T_ReadBackQueue queue(*server, picture.width, picture.height);
    ASSERT_TRUE(queue.IsAsynchronous());

    std::vector<std::pair<std::int64_t, std::vector<unsigned char>>> delivered;
    const auto keep = [&](std::int64_t tag, const unsigned char* rgba) {
        ASSERT_NE(rgba, nullptr);
        delivered.emplace_back(tag, std::vector<unsigned char>(rgba, rgba + picture.width * picture.height * 4));
    };
    std::vector<std::vector<unsigned char>> expected;
    T_Mesh quad;
    AddQuad(quad, -1.0f, -0.75f, 0.2f, 0.3f);
    for (int frame = 0; frame < 3; ++frame)
    {
        auto shader = FlatShader("frame", frame == 0 ? 1.0f : 0.0f, frame == 1 ? 1.0f : 0.0f, 1.0f);
        server->BeginFrame();
        server->SetShader(shader.get());
        server->DrawMesh(&quad, 6, 0, 0.0f);
        server->SetShader(nullptr);
        T_Texture image("now", picture.width, picture.height, false, false);
        server->ReadPixels(&image);
        expected.emplace_back(image.pixels, image.pixels + image.dataSize);
        queue.Read(frame, keep);
        ASSERT_EQ(delivered.size(), static_cast<std::size_t>(frame));
        server->EndFrame();
    }
    queue.Drain(keep);
    ASSERT_EQ(delivered.size(), 3u);
    for (int frame = 0; frame < 3; ++frame)
    {
        EXPECT_EQ(delivered[static_cast<std::size_t>(frame)].first, frame);
        EXPECT_TRUE(delivered[static_cast<std::size_t>(frame)].second == expected[static_cast<std::size_t>(frame)])
            << "frame " << frame;
    }
    EXPECT_NE(expected[0], expected[1]);
}

TEST_F(DrawTest, FramesNeverRunMoreThanTwoPicturesAhead)
{
    // Each frame blends many full-screen quads, far more work for the
    // rasteriser than for the frame loop. A fence put after a frame's drawing
    // must be signalled once the frame two pictures later has ended: the loop
    // waited for that picture instead of queuing more.
    Start();
    UseOrthoCamera();
    ASSERT_TRUE(server->GetDriver()->HasExtension("GL_ARB_sync"));
    const auto fenceSync = reinterpret_cast<PFNGLFENCESYNCPROC>(SDL_GL_GetProcAddress("glFenceSync"));
    const auto clientWait = reinterpret_cast<PFNGLCLIENTWAITSYNCPROC>(SDL_GL_GetProcAddress("glClientWaitSync"));
    const auto deleteSync = reinterpret_cast<PFNGLDELETESYNCPROC>(SDL_GL_GetProcAddress("glDeleteSync"));
    ASSERT_TRUE(fenceSync && clientWait && deleteSync);

    T_Mesh quad;
    AddQuad(quad, -1.0f, -0.75f, 1.0f, 0.75f);
    auto shader = FlatShader("layers", 0.01f, 0.01f, 0.01f, 0.5f);
    shader->layers[0]->blendSrc = 3; // source alpha
    shader->layers[0]->blendDst = 2; // one
    constexpr int frames = 8;
    std::vector<GLsync> drawn;
    for (int frame = 0; frame < frames; ++frame)
    {
        server->BeginFrame();
        server->SetShader(shader.get());
        for (int layer = 0; layer < 150; ++layer)
            server->DrawMesh(&quad, 6, 0, 0.0f);
        drawn.push_back(fenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0));
        server->EndFrame();
        if (frame < 2)
            continue;
        EXPECT_EQ(clientWait(drawn[static_cast<std::size_t>(frame - 2)], 0, 0), static_cast<GLenum>(GL_ALREADY_SIGNALED))
            << "frame " << frame - 2 << " still being drawn after frame " << frame;
    }
    server->SetShader(nullptr);
    for (GLsync fence : drawn)
        deleteSync(fence);
}
