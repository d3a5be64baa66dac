#include "vexlar3d/shaders/T_ScriptDiagnostics.h"

#include "vexlar3d/resources/T_DataSource.h"
#include "vexlar3d/shaders/T_Shader.h"
#include "vexlar3d/shaders/T_ShaderParser.h"

std::int32_t T_ScriptDiagnostics::LineOf(T_DataSource& source)
{
    const unsigned char* data = source.GetData();
    const std::uint32_t size = source.GetSize();
    if (data == nullptr || size == 0)
        return 0;
    // The token ended one byte before the position (the byte that ended it
    // was consumed), or at the end of the data.
    std::uint32_t end = source.Tell();
    if (end > size)
        end = size;
    if (end > 0)
        --end;
    if (data != countedData || end < countedTo)
    {
        countedData = data;
        countedTo = 0;
        countedLines = 0;
    }
    for (; countedTo < end; ++countedTo)
        if (data[countedTo] == '\n')
            ++countedLines;
    return countedLines + 1;
}

void T_ScriptDiagnostics::Note(std::int32_t line, const std::string& text, Severity severity, bool defaultTexture)
{
    findings.push_back({file, line, text, severity, defaultTexture});
}

bool T_ScriptDiagnostics::HasErrors() const
{
    for (const Finding& finding : findings)
        if (finding.severity == Severity::Error)
            return true;
    return false;
}

std::string T_ScriptDiagnostics::Format(const Finding& finding)
{
    std::string text = finding.file;
    if (finding.line > 0)
        text.append(":").append(std::to_string(finding.line));
    return text.append(": ").append(finding.text);
}

void T_ScriptDiagnostics::CheckScript(T_DataSource& source)
{
    std::string name;
    while (!source.Eof())
    {
        source.ReadToken(name, false);
        if (name.empty())
            break;
        T_Shader shader(name);
        T_ShaderParser::ParseShaderBlock(shader, source, this);
    }
}
