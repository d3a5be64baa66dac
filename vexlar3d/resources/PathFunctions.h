#pragma once

#include <string>

// Path helpers over plain strings: "/" is the only separator, "." the
// extension mark.

// The text after the last "/"; the whole string when there is none.
std::string GetFileName(const std::string& path);
// The text after the last "."; the whole string when there is none.
std::string GetExtension(const std::string& path);
// The text up to and including the last "/"; empty when there is none.
std::string GetDirectory(const std::string& path);
// True when the directory part of `path`, without its final "/", names an
// existing directory. An empty directory part never exists.
bool DirectoryExists(const std::string& path);
