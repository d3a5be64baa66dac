// vexlar-inspect [--data DIR] COMMAND [ARGS...]
#include "InspectCommands.h"

#include "vexlar3d/resources/T_FileSystem.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace
{
struct CommandEntry
{
    const char* name;
    const char* synopsis; // arguments after the command word
    const char* summary;
    InspectCommand run;
};

// To add a command: write CmdXxx.cpp, declare it in InspectCommands.h, add a
// row here and the source to CMakeLists.txt.
const CommandEntry commands[] = {
    {"which", "NAME", "where OpenFile finds NAME: \"archive <archive> <entry>\" or \"file <path>\"", CmdWhich},
    {"cat", "NAME", "the bytes OpenFile(NAME, Mapped) serves, to standard output", CmdCat},
    {"ls", "", "every reachable name: <archive>:<entry> in archive order, then plain files", CmdLs},
    {"shaders", "[--list FILE]",
     "the shader table after loading \"default_font\" and the list (default shaderlist.txt), as JSON", CmdShaders},
    {"image", "NAME [--raw FILE] [--png FILE]",
     "loads NAME as a texture: \"<width> <height> <bitsPerPixel>\"; --raw writes the pixel bytes as stored, "
     "--png a PNG of them",
     CmdImage},
    {"model", "NAME", "the 3DS model NAME as the engine loads it, as JSON", CmdModel},
    {"texgen", "fire --image NAME --times T1,T2,... --raw FILE | noise|plasma --size WxH [--speed S] --times T1,T2,... --raw FILE",
     "runs a texture generator (the fire on image NAME, noise or plasma on an empty WxH texture) and writes the "
     "W x H x 4 pixel bytes after each Update(time), one block after another",
     CmdTexgen},
    {"check", "[--shaders A,B] [--textures A,B] [--music NAME] [--length SECONDS]",
     "loads what start-up loads and lists every problem to fix before release (exit 1 if any); the options name "
     "what the demo needs: the shaders its effects draw with, the textures its generators animate, its music, "
     "its timeline's length (without any of them, the Vexlar fire demo's)",
     CmdCheck},
    {"sound", "NAME [--wav FILE] [--spectrum T1,T2,...]",
     "decodes NAME as the engine does: format, channels, sample rate and length; --wav writes the engine's "
     "48 kHz stereo render as WAV, --spectrum prints the strongest spectrum bins at each time (seconds)",
     CmdSound},
};

void PrintHelp(std::ostream& out)
{
    out << "usage: vexlar-inspect [--data DIR] COMMAND [ARGS...]\n"
           "\n"
           "Looks at a demo data root the way the engine does: ZIP archives found\n"
           "anywhere below it are searched first, then its folders.\n"
           "\n"
           "options:\n"
           "  --data DIR   data root to register (default \"Data/\")\n"
           "  --help, -h   this text\n"
           "\n"
           "commands:\n";
    for (const CommandEntry& command : commands)
    {
        std::string head = std::string(command.name) + (command.synopsis[0] ? " " : "") + command.synopsis;
        out << "  " << head << std::string(head.size() < 12 ? 13 - head.size() : 1, ' ') << command.summary << "\n";
    }
    out << "\n"
           "exit status: 0 done, 1 not found or unreadable, 2 bad usage\n";
}
} // namespace

int UsageError(const std::string& synopsis, const std::string& problem)
{
    std::cerr << "vexlar-inspect: " << problem << "\n"
              << "usage: vexlar-inspect " << synopsis << "\n"
              << "(vexlar-inspect --help lists the commands)\n";
    return 2;
}

std::unique_ptr<T_DataSource> OpenNamed(InspectContext& context, const std::string& name,
                                        T_FileSystem::Location& location)
{
    std::unique_ptr<T_DataSource> source(context.fileSystem.Resolve(name, OpenMode::Mapped, &location));
    for (const auto& [archive, entry] : location.unreadable)
        std::cerr << "vexlar-inspect: cannot read entry " << entry << " in " << archive
                  << " (damaged or unsupported)\n";
    if (source == nullptr && location.unreadable.empty())
        std::cerr << "not found: " << name << "\n";
    return source;
}

int OpenNameArgument(InspectContext& context, const std::vector<std::string>& args, const std::string& command,
                     T_FileSystem::Location& location, std::unique_ptr<T_DataSource>& source)
{
    if (args.size() != 1)
        return UsageError("[--data DIR] " + command + " NAME",
                          command + (args.empty() ? " needs a NAME" : " takes one NAME"));
    source = OpenNamed(context, args[0], location);
    return source == nullptr ? 1 : -1;
}

int ReadOptions(const std::vector<std::string>& args, std::size_t first, const std::string& synopsis,
                std::map<std::string, std::string>& values)
{
    for (std::size_t i = first; i < args.size(); ++i)
    {
        std::string name = args[i], value;
        const std::size_t equals = name.find('=');
        const bool inlineValue = name.rfind("--", 0) == 0 && equals != std::string::npos;
        if (inlineValue)
        {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        if (values.find(name) == values.end())
            return UsageError(synopsis, "unexpected argument " + args[i]);
        if (!inlineValue)
        {
            if (i + 1 >= args.size())
                return UsageError(synopsis, name + " needs a value");
            value = args[++i];
        }
        if (value.empty())
            return UsageError(synopsis, name + " needs a value");
        values[name] = value;
    }
    return -1;
}

bool ParseTimes(const std::string& text, std::vector<double>& times)
{
    std::size_t at = 0;
    while (true)
    {
        const std::size_t comma = std::min(text.find(',', at), text.size());
        const char* first = text.data() + at;
        const char* last = text.data() + comma;
        double value = 0.0;
        auto [end, status] = std::from_chars(first, last, value);
        if (first == last || status != std::errc() || end != last || !std::isfinite(value))
            return false;
        times.push_back(value);
        if (comma == text.size())
            return true;
        at = comma + 1;
    }
}

bool WriteOutput(const void* bytes, std::size_t size)
{
    if (size == 0 || std::fwrite(bytes, 1, size, stdout) == size)
        return true;
    std::cerr << "vexlar-inspect: cannot write to standard output\n";
    return false;
}

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string dataRoot = "Data/";
    std::size_t at = 0;
    for (; at < args.size(); ++at)
    {
        const std::string& arg = args[at];
        if (arg == "--help" || arg == "-h")
        {
            PrintHelp(std::cout);
            return 0;
        }
        if (arg == "--data" || arg.rfind("--data=", 0) == 0)
        {
            if (arg == "--data")
            {
                if (at + 1 >= args.size())
                    return UsageError("[--data DIR] COMMAND [ARGS...]", "--data needs a folder");
                dataRoot = args[++at];
            }
            else
            {
                dataRoot = arg.substr(7);
            }
            if (dataRoot.empty())
                return UsageError("[--data DIR] COMMAND [ARGS...]", "--data needs a folder");
            continue;
        }
        if (arg.size() > 1 && arg[0] == '-')
            return UsageError("[--data DIR] COMMAND [ARGS...]", "unknown option " + arg);
        break;
    }
    if (at >= args.size())
        return UsageError("[--data DIR] COMMAND [ARGS...]", "no command given");

    const std::string& word = args[at];
    const CommandEntry* chosen = nullptr;
    for (const CommandEntry& command : commands)
        if (word == command.name)
            chosen = &command;
    if (chosen == nullptr)
        return UsageError("[--data DIR] COMMAND [ARGS...]", "unknown command " + word);
    std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(at) + 1, args.end());
    for (const std::string& arg : rest)
    {
        if (arg == "--help" || arg == "-h")
        {
            std::cout << "usage: vexlar-inspect [--data DIR] " << chosen->name
                      << (chosen->synopsis[0] ? " " : "") << chosen->synopsis << "\n"
                      << chosen->summary << "\n";
            return 0;
        }
    }

    // The engine registers "Data/"; a root given without its final "/" is
    // completed, as AddDirectory wants it.
    if (dataRoot.back() != '/')
        dataRoot += '/';
    T_FileSystem fileSystem;
    bool found = fileSystem.AddDirectory(dataRoot);
    InspectContext context{fileSystem, dataRoot, found};
    int status = chosen->run(context, rest);
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
    {
        std::cerr << "vexlar-inspect: cannot write to standard output\n";
        return 1;
    }
    return status;
}
