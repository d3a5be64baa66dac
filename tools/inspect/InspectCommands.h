#pragma once

#include "vexlar3d/resources/T_DataSource.h"
#include "vexlar3d/resources/T_FileSystem.h"

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

// What every command of vexlar-inspect is handed.
struct InspectContext
{
    T_FileSystem& fileSystem;
    std::string dataRoot;  // the registered data root, ending in "/"
    bool dataRootFound;    // false: the root could not be registered (already reported)
};

// A command takes its own arguments (after the command word) and returns the
// process's exit status: 0 done, 1 failed (message on standard error), 2 bad
// usage. Commands write "vexlar-inspect: ..." messages to standard error.
using InspectCommand = int (*)(InspectContext& context, const std::vector<std::string>& args);

int CmdWhich(InspectContext& context, const std::vector<std::string>& args);
int CmdCat(InspectContext& context, const std::vector<std::string>& args);
int CmdLs(InspectContext& context, const std::vector<std::string>& args);
int CmdShaders(InspectContext& context, const std::vector<std::string>& args);
int CmdImage(InspectContext& context, const std::vector<std::string>& args);
int CmdModel(InspectContext& context, const std::vector<std::string>& args);
int CmdTexgen(InspectContext& context, const std::vector<std::string>& args);
int CmdCheck(InspectContext& context, const std::vector<std::string>& args);
int CmdSound(InspectContext& context, const std::vector<std::string>& args);
// texgen noise|plasma (CmdTexgenPattern.cpp)
int CmdTexgenPattern(InspectContext& context, const std::vector<std::string>& args);

// Prints "usage: vexlar-inspect <synopsis>" to standard error and returns 2.
int UsageError(const std::string& synopsis, const std::string& problem);

// Opens NAME as OpenFile(NAME, Mapped) would. Archive entries that match but
// cannot be read are reported on standard error, and so is a name found
// nowhere; the caller then returns 1. `location` says where the name was found.
std::unique_ptr<T_DataSource> OpenNamed(InspectContext& context, const std::string& name,
                                        T_FileSystem::Location& location);
// For a command that takes exactly one NAME ("cat NAME"): checks `args` and
// opens the name with OpenNamed into `source`. Returns -1 when the command
// goes on, otherwise the exit status to end with (2 bad usage, 1 not opened).
int OpenNameArgument(InspectContext& context, const std::vector<std::string>& args, const std::string& command,
                     T_FileSystem::Location& location, std::unique_ptr<T_DataSource>& source);

// Reads the options of args[first...], each "--name VALUE" or
// "--name=VALUE" with a value that is not empty, into `values`: only the
// names `values` holds on entry are taken. Any other argument is a usage
// error of `synopsis`. Returns -1 when the command goes on, else 2.
int ReadOptions(const std::vector<std::string>& args, std::size_t first, const std::string& synopsis,
                std::map<std::string, std::string>& values);

// "0,0.01,1.5": finite numbers separated by commas, at least one.
bool ParseTimes(const std::string& text, std::vector<double>& times);

// Writes the bytes to standard output; false, with a message on standard
// error, when they cannot all be written.
bool WriteOutput(const void* bytes, std::size_t size);

