#pragma once

#include <string>
#include <utility>
#include <vector>

// The demo's shader scripts and shader list, as file name and contents.
// Every line ends in carriage return and line feed: the script reader ends a
// statement's last token on the carriage return and skips to the next line
// on the line feed.
class T_ShaderScripts
{
public:
    using File = std::pair<std::string, std::string>;

    // "shaderlist.txt" first, then one "<script>.shader" per script.
    static std::vector<File> All();
    // The scripts that "shaderlist.txt" names ("default_font" is loaded by
    // start-up on its own and is not listed).
    static std::vector<std::string> ListedScripts();

private:
    static std::string Crlf(const std::vector<std::string>& lines);
    // One shader, opened by a comment line: its name, then a single layer
    // holding the given statements, drawn from both sides.
    static std::string Shader(const std::string& comment, const std::string& name, std::vector<std::string> layer);
    // A shader drawn over the picture: alpha-blended, never hidden by depth
    // and never writing depth.
    static std::string Overlay(const std::string& comment, const std::string& name, std::vector<std::string> layer);
};
