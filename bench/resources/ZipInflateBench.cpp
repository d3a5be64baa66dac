// Opening and inflating one large entry of a deflated archive through
// OpenFile, beside `unzip -p` extracting the same entry to /dev/null.
//
// The archive (about 20 MB, written by the zip tool on first run) lives in
// <build>/benchwork/zip/Data/bench.zip. Throughput is in uncompressed bytes.
#include "vexlar3d/core/CrtRand.h"
#include "vexlar3d/resources/T_DataSource.h"
#include "vexlar3d/resources/T_FileSystem.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace
{
const std::string work = std::string(VEXLAR_BINARY_DIR) + "/benchwork/zip/";
const std::string archivePath = work + "Data/bench.zip";
const char* const entryName = "bench.txt";

// Text that deflates to roughly a third: words and numbers drawn with the
// engine's generator from a fixed seed.
std::string MakeText(std::size_t size)
{
    static const char* const words[] = {"shader", "texture", "map", "blend", "fire", "alpha", "layer", "wave"};
    CrtRandSetState(1);
    std::string text;
    text.reserve(size + 64);
    char number[32];
    while (text.size() < size)
    {
        int pick = CrtRand();
        text += words[pick & 7];
        std::snprintf(number, sizeof(number), " %d.%d ", CrtRand() % 1000, CrtRand());
        text += number;
        if ((pick & 0x70) == 0)
            text += '\n';
    }
    text.resize(size);
    return text;
}

// Makes the archive once; returns the entry's uncompressed size (0 on failure).
std::uint64_t PrepareArchive()
{
    static std::uint64_t size = [] {
        std::error_code error;
        std::filesystem::create_directories(work + "Data", error);
        if (!std::filesystem::exists(archivePath))
        {
            std::string text = MakeText(53u << 20);
            std::ofstream(work + entryName, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
            std::string command = "cd '" + work + "' && zip -q -6 Data/bench.zip " + entryName + " && rm " + entryName;
            if (std::system(command.c_str()) != 0)
                return std::uint64_t{0};
        }
        T_FileSystem fs;
        fs.AddDirectory(work + "Data/");
        T_DataSource* source = fs.OpenFile(entryName, OpenMode::Mapped);
        std::uint64_t bytes = source != nullptr ? source->GetSize() : 0;
        fs.CloseFile(source);
        return bytes;
    }();
    return size;
}

void BM_OpenFileInflate(benchmark::State& state)
{
    std::uint64_t size = PrepareArchive();
    if (size == 0)
    {
        state.SkipWithError("archive could not be made");
        return;
    }
    T_FileSystem fs;
    fs.AddDirectory(work + "Data/");
    for (auto _ : state)
    {
        T_DataSource* source = fs.OpenFile(entryName, OpenMode::Mapped);
        if (source == nullptr || source->GetSize() != size)
        {
            state.SkipWithError("entry not read");
            break;
        }
        benchmark::DoNotOptimize(source->GetData());
        fs.CloseFile(source);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
    state.counters["archive_MB"] = static_cast<double>(std::filesystem::file_size(archivePath)) / 1e6;
}
BENCHMARK(BM_OpenFileInflate)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_UnzipPipe(benchmark::State& state)
{
    std::uint64_t size = PrepareArchive();
    if (size == 0)
    {
        state.SkipWithError("archive could not be made");
        return;
    }
    std::string command = "unzip -p '" + archivePath + "' " + entryName + " > /dev/null";
    for (auto _ : state)
    {
        if (std::system(command.c_str()) != 0)
        {
            state.SkipWithError("unzip failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_UnzipPipe)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
} // namespace

BENCHMARK_MAIN();
