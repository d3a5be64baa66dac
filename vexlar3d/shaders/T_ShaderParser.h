#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

class T_DataSource;
class T_ScriptDiagnostics;
class T_Shader;
class T_ShaderLayer;
class T_Texture;

// Reads the shader script language into shader records. Keywords are the
// first token of a line (statement mode), their arguments follow on the same
// line (token mode); unknown keywords and mode words are skipped silently and
// a word that is not a number reads as 0. A block ends after the statement
// whose last token read, keyword or argument, is "}" or the end of the data,
// so a statement short of an argument that takes the closing brace for it
// still closes its block.
//
// Whatever a script holds, the records stay consistent: layers are only
// stored up to the "numlayers" count given before them (later blocks and
// blocks before any count are read and dropped), layerCount is always the
// number of layers actually held, modifiers past the 32nd are ignored and
// non-finite numbers read as 0.
//
// The parse itself says nothing. Given diagnostics, it notes there, with
// file and line, everything it passed over (T_ScriptDiagnostics); what it
// builds is the same either way.
class T_ShaderParser
{
public:
    // Reads one shader block, the shader's name having been read already.
    static void ParseShaderBlock(T_Shader& shader, T_DataSource& source,
                                 T_ScriptDiagnostics* diagnostics = nullptr);
    // Reads one layer block, its opening brace having been read already.
    static void ParseLayerBlock(T_ShaderLayer& layer, T_DataSource& source,
                                T_ScriptDiagnostics* diagnostics = nullptr);

    // Blend factor codes 1..6 of the words of either column ("gl_" prefix
    // optional); 0 (blending off) for any other word.
    static std::int32_t BlendSourceCode(const std::string& word);
    static std::int32_t BlendDestCode(const std::string& word);

    // Numbers as scripts write them: leading decimal digits (optional sign)
    // and, for floats, fraction and exponent; anything else, out-of-range or
    // non-finite values read as 0 (integers beyond 32 bits saturate).
    static std::int32_t ReadInt(const std::string& word);
    static float ReadFloat(const std::string& word);

private:
    // One block's reader: it remembers the last token the block read.
    T_ShaderParser(T_DataSource& source, T_ScriptDiagnostics* diagnostics)
        : source(source), diagnostics(diagnostics)
    {
    }

    void ShaderBlock(T_Shader& shader);
    void LayerBlock(T_ShaderLayer& layer);
    void ShaderStatement(T_Shader& shader, std::int32_t& room, bool& counted);
    void LayerStatement(T_ShaderLayer& layer);
    bool BlockEnded() const { return last == "}" || last.empty(); }

    // The next keyword (statement mode) or argument (token mode).
    std::string Statement();
    const std::string& Argument();
    // An argument that must be there: a missing one, or a "}" taken for it,
    // is noted as `what` of the keyword.
    const std::string& Required(const char* what);
    std::int32_t IntArgument(const char* what);
    float FloatArgument(const char* what);
    // `field` becomes the position of the next argument among `words`; any
    // other word leaves it.
    void ModeArgument(std::int32_t& field, std::initializer_list<const char*> words);
    // Four components; an empty argument (the data ended) leaves its
    // component when `keepOnEmpty`, and reads as 0 otherwise.
    void ColorArguments(float (&color)[4], bool keepOnEmpty);
    void MapArguments(T_ShaderLayer& layer, bool clamp);
    void AnimapArguments(T_ShaderLayer& layer, bool clamp);
    void DynamapArguments(T_ShaderLayer& layer, bool clamp);
    void TcModArguments(T_ShaderLayer& layer);
    void BlendArguments(T_ShaderLayer& layer);
    T_Texture* LoadTexture(const std::string& name, bool clamp, bool mipmap);

    // Notes a finding at the line of the token read last.
    void Note(const std::string& text, bool defaultTexture = false);
    void NoteNumber(const std::string& word, bool whole);
    void NoteTexture(const std::string& name, const T_Texture* texture);

    T_DataSource& source;
    T_ScriptDiagnostics* diagnostics;
    std::string last;
    std::string keyword; // the statement being read
    std::string shaderName;
};
