#pragma once

#include <cstdint>
#include <string>

class T_Texture;

class T_ITextureManager
{
public:
    virtual T_Texture* Load(const std::string& name, bool clamp, bool mipmap) = 0;
    virtual T_Texture* Create(const std::string& name, std::int32_t width, std::int32_t height, bool clamp) = 0;
    virtual T_Texture* Find(const std::string& name) = 0;
    virtual void Release(T_Texture* texture) = 0;
    virtual void FreePixelCopies() = 0;
    virtual void ReleaseAll() = 0;

protected:
    ~T_ITextureManager() = default;
};

extern T_ITextureManager* g_textureManager;
