#pragma once

#include <string>

class T_Shader;

class T_IShaderManager
{
public:
    virtual T_Shader* GetShader(const std::string& name) = 0;
    virtual void ReleaseShader(T_Shader* shader) = 0;
    virtual void DeleteAllShaders() = 0;
    virtual void LoadScript(const std::string& scriptName) = 0;
    virtual bool AddShadersFromScript(const std::string& listName) = 0;

protected:
    ~T_IShaderManager() = default;
};

extern T_IShaderManager* g_shaderManager;
