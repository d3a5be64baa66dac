// Decoding 1024 x 1024 pictures from memory: our TGA and BMP decoders beside
// stb_image (both asked for red, green, blue, alpha), and our JPEG decoder
// beside a bare tjDecompress2 call on a prepared handle and buffer.
// The pictures are made once per run by ImageMagick and cjpeg.
#include "vexlar3d/resources/T_BmpDecoder.h"
#include "vexlar3d/resources/T_JpegDecoder.h"
#include "vexlar3d/resources/T_MemoryFile.h"
#include "vexlar3d/resources/T_Texture.h"
#include "vexlar3d/resources/T_TgaDecoder.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#define STBI_ONLY_BMP
#include <stb/stb_image.h>

#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr int side = 1024;

struct Pictures
{
    Pictures()
    {
        const std::string folder = std::string(VEXLAR_BINARY_DIR) + "/benchwork/images/";
        std::filesystem::create_directories(folder);
        const std::string source = folder + "plasma.ppm";
        const std::string sourceAlpha = folder + "plasma.pam";
        const std::string im = "convert-im6.q16 ";
        Run(im + "-seed 7 -size 1024x1024 plasma:fractal -type TrueColor " + source);
        Run(im + source + " \\( +clone -fx 'i/w' \\) -compose CopyOpacity -composite -type TrueColorAlpha " +
            sourceAlpha);
        Run(im + source + " -type TrueColor " + folder + "p24.tga");
        Run(im + sourceAlpha + " -type TrueColorAlpha " + folder + "p32.tga");
        Run(im + source + " -type TrueColor BMP3:" + folder + "p24.bmp");
        Run(im + sourceAlpha + " -type TrueColorAlpha -define bmp3:alpha=true BMP3:" + folder + "p32.bmp");
        Run("cjpeg -quality 90 -outfile " + folder + "p.jpg " + source);
        tga24 = Read(folder + "p24.tga");
        tga32 = Read(folder + "p32.tga");
        bmp24 = Read(folder + "p24.bmp");
        bmp32 = Read(folder + "p32.bmp");
        jpeg = Read(folder + "p.jpg");
    }

    static void Run(const std::string& command)
    {
        if (std::system(command.c_str()) != 0)
        {
            std::fprintf(stderr, "bench_images: failed: %s\n", command.c_str());
            std::exit(1);
        }
    }

    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::string tga24, tga32, bmp24, bmp32, jpeg;
};

const Pictures& GetPictures()
{
    static const Pictures pictures;
    return pictures;
}

// A memory source holding `bytes`, as an archive entry would.
std::unique_ptr<T_MemoryFile> MemorySource(const std::string& bytes)
{
    auto source = std::make_unique<T_MemoryFile>("bench", static_cast<std::uint32_t>(bytes.size()));
    std::memcpy(source->GetBuffer(), bytes.data(), bytes.size());
    return source;
}

template <bool (*Decode)(T_Texture&, T_DataSource&)>
void Ours(benchmark::State& state, const std::string& bytes)
{
    auto source = MemorySource(bytes);
    for (auto _ : state)
    {
        T_Texture texture;
        if (!Decode(texture, *source) || texture.width != side)
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(texture.pixels);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * side * side * 4);
}

void Stb(benchmark::State& state, const std::string& bytes)
{
    for (auto _ : state)
    {
        int width = 0, height = 0, channels = 0;
        unsigned char* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                                      static_cast<int>(bytes.size()), &width, &height, &channels, 4);
        if (pixels == nullptr || width != side)
            state.SkipWithError("stb_image failed");
        benchmark::DoNotOptimize(pixels);
        benchmark::ClobberMemory();
        stbi_image_free(pixels);
    }
    state.SetBytesProcessed(state.iterations() * side * side * 4);
}

void BM_Tga24_Vexlar(benchmark::State& s) { Ours<T_TgaDecoder::Decode>(s, GetPictures().tga24); }
void BM_Tga24_Stb(benchmark::State& s) { Stb(s, GetPictures().tga24); }
void BM_Tga32_Vexlar(benchmark::State& s) { Ours<T_TgaDecoder::Decode>(s, GetPictures().tga32); }
void BM_Tga32_Stb(benchmark::State& s) { Stb(s, GetPictures().tga32); }
void BM_Bmp24_Vexlar(benchmark::State& s) { Ours<T_BmpDecoder::Decode>(s, GetPictures().bmp24); }
void BM_Bmp24_Stb(benchmark::State& s) { Stb(s, GetPictures().bmp24); }
void BM_Bmp32_Vexlar(benchmark::State& s) { Ours<T_BmpDecoder::Decode>(s, GetPictures().bmp32); }
void BM_Bmp32_Stb(benchmark::State& s) { Stb(s, GetPictures().bmp32); }

void BM_Jpeg_Vexlar(benchmark::State& state)
{
    Ours<T_JpegDecoder::Decode>(state, GetPictures().jpeg);
    state.SetBytesProcessed(state.iterations() * side * side * 3);
}

// The library call alone: handle and output buffer made once, outside the
// timed loop.
void BM_Jpeg_Tj(benchmark::State& state)
{
    const std::string& jpeg = GetPictures().jpeg;
    tjhandle handle = tjInitDecompress();
    std::vector<unsigned char> pixels(side * side * 3);
    for (auto _ : state)
    {
        if (tjDecompress2(handle, reinterpret_cast<const unsigned char*>(jpeg.data()), jpeg.size(), pixels.data(),
                          side, 0, side, TJPF_RGB, 0) != 0)
            state.SkipWithError(tjGetErrorStr2(handle));
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    tjDestroy(handle);
    state.SetBytesProcessed(state.iterations() * side * side * 3);
}
} // namespace

BENCHMARK(BM_Tga24_Vexlar)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Tga24_Stb)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Tga32_Vexlar)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Tga32_Stb)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Bmp24_Vexlar)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Bmp24_Stb)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Bmp32_Vexlar)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Bmp32_Stb)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Jpeg_Vexlar)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Jpeg_Tj)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
