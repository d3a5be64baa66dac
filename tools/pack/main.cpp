// vexlar-pack DATA_DIR OUT.zip: packs every file below a data folder into one
// ZIP archive the engine reads. Entries are named by their path below the
// folder ("textures/fire.tga"; the engine finds them by their file name),
// added in byte order of those names, deflated, with one fixed time stamp:
// the same files always give the same archive.
#include "tools/zip/T_ZipWriter.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace
{
int Usage(const std::string& problem)
{
    std::cerr << "vexlar-pack: " << problem << "\n"
              << "usage: vexlar-pack DATA_DIR OUT.zip (vexlar-pack --help says more)\n";
    return 2;
}

int Fail(const std::string& problem)
{
    std::cerr << "vexlar-pack: " << problem << "\n";
    return 1;
}

bool ReadWhole(const fs::path& path, std::vector<std::uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return in.good() || in.eof();
}
} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (std::find(args.begin(), args.end(), "--help") != args.end() ||
        std::find(args.begin(), args.end(), "-h") != args.end())
    {
        std::cout << "usage: vexlar-pack DATA_DIR OUT.zip\n"
                     "\n"
                     "Packs every file below DATA_DIR into the ZIP archive OUT.zip, which the\n"
                     "engine reads from its data root (archives are searched before loose files).\n"
                     "Entries are named by their path below DATA_DIR and found by their file\n"
                     "name; the same files always give the same bytes.\n"
                     "\n"
                     "exit status: 0 done, 1 unreadable folder or file, or unwritable archive,\n"
                     "2 bad usage\n";
        return 0;
    }
    if (args.size() != 2)
        return Usage(args.size() < 2 ? "DATA_DIR and OUT.zip are needed" : "too many arguments");
    const fs::path folder = args[0];
    const fs::path archive = args[1];
    std::error_code code;
    if (!fs::is_directory(folder, code))
        return Fail("no folder " + folder.string());

    // Every regular file below the folder but the archive itself, named by
    // its path below the folder.
    const fs::path target = fs::weakly_canonical(archive, code);
    std::vector<std::pair<std::string, fs::path>> files;
    fs::recursive_directory_iterator walk(folder, code), end;
    for (; !code && walk != end; walk.increment(code))
    {
        if (!walk->is_regular_file(code) || fs::weakly_canonical(walk->path(), code) == target)
            continue;
        files.emplace_back(walk->path().lexically_relative(folder).generic_string(), walk->path());
    }
    if (code)
        return Fail("cannot read the folder " + folder.string() + ": " + code.message());
    if (files.empty())
        return Fail("there are no files below " + folder.string());
    std::sort(files.begin(), files.end());

    T_ZipWriter zip;
    std::string error;
    std::vector<std::uint8_t> bytes;
    for (const auto& [name, path] : files)
    {
        if (!ReadWhole(path, bytes))
            return Fail("cannot read " + path.string());
        if (!zip.Add(name, bytes, error))
            return Fail(path.string() + ": " + error);
    }
    if (!zip.Finish(error))
        return Fail(error);
    std::ofstream out(archive, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(zip.Bytes().data()), static_cast<std::streamsize>(zip.Bytes().size()));
    out.close();
    if (!out)
    {
        fs::remove(archive, code);
        return Fail("cannot write " + archive.string());
    }
    std::cout << "vexlar-pack: " << files.size() << (files.size() == 1 ? " file" : " files") << " into "
              << archive.string() << " (" << zip.Bytes().size() << " bytes)\n";
    return 0;
}
