#pragma once

#include <cstdint>
#include <string>
#include <vector>

class T_DataSource;

// What a shader script holds that the engine's silent parse passes over,
// each finding with its file and line. The parser notes findings here while
// it reads (T_ShaderParser with diagnostics), through the same tokenizer,
// so the findings describe exactly what the engine made of the script:
// unknown keywords and words, missing or non-numeric arguments, a "}" read
// as an argument, layer blocks beyond "numlayers", textures that resolve to
// the default texture, and blocks still open at the end of the file.
class T_ScriptDiagnostics
{
public:
    enum class Severity
    {
        Warning, // the script loads, with what the finding says
        Error    // the script is cut short: a reload keeps the previous version
    };

    struct Finding
    {
        std::string file;
        std::int32_t line = 0; // from 1; 0 when the source cannot tell
        std::string text;
        Severity severity = Severity::Warning;
        bool defaultTexture = false; // a texture name that resolves to the default texture
    };

    // The file that the next findings are in (e.g. "fire.shader").
    void SetFile(const std::string& fileName) { file = fileName; }
    const std::string& GetFile() const { return file; }

    // The line of the token `source` read last (the last line at the end of
    // the data); 0 for a source without memory access.
    std::int32_t LineOf(T_DataSource& source);

    // Reads every shader of a script from `source` as the shader manager
    // would, into records of its own that go again, noting the findings
    // (textures are looked up with the texture manager, when there is one).
    void CheckScript(T_DataSource& source);

    void Note(std::int32_t line, const std::string& text, Severity severity = Severity::Warning,
              bool defaultTexture = false);

    const std::vector<Finding>& GetFindings() const { return findings; }
    bool HasErrors() const;
    void Clear() { findings.clear(); }

    // "file:line: text" ("file: text" without a line).
    static std::string Format(const Finding& finding);

private:
    std::string file;
    std::vector<Finding> findings;
    // Lines are counted on from where the last count ended while the parser
    // reads forwards through one source.
    const unsigned char* countedData = nullptr;
    std::uint32_t countedTo = 0;
    std::int32_t countedLines = 0;
};
