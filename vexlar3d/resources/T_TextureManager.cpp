#include "vexlar3d/resources/T_TextureManager.h"

#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/graphics/T_IGfxServer.h"
#include "vexlar3d/resources/PathFunctions.h"
#include "vexlar3d/resources/T_Texture.h"

#include <cstdlib>
#include <cstring>
#include <utility>

namespace
{
constexpr std::uint32_t noGlName = 0xFFFFFFFFu;

// 64 x 64 opaque white pixels, 32 bits each, in a block the record owns.
bool FillWhite(T_Texture& texture)
{
    const std::int32_t size = T_TextureManager::defaultSize;
    texture.width = size;
    texture.height = size;
    texture.bitsPerPixel = 32;
    texture.dataSize = size * size * 4;
    texture.FreePixels();
    texture.pixels = static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(texture.dataSize)));
    if (texture.pixels == nullptr)
        return false;
    std::memset(texture.pixels, 0xFF, static_cast<std::size_t>(texture.dataSize));
    return true;
}

bool SameFileName(const std::string& a, const std::string& b)
{
    const std::string x = GetFileName(a);
    const std::string y = GetFileName(b);
    if (x.size() != y.size())
        return false;
    for (std::size_t i = 0; i < x.size(); ++i)
    {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(x[i]) != lower(y[i]))
            return false;
    }
    return true;
}
} // namespace

T_TextureManager::T_TextureManager(std::int32_t textureCapacity)
{
    VEXLAR_LOG("  Creating texture manager ...\n");
    g_textureManager = this;
    capacity = textureCapacity < 1 ? 1 : textureCapacity;
    table.resize(static_cast<std::size_t>(capacity));
    count = 0;
    defaultIndex = 0;
    MakeDefaultTexture();
}

T_TextureManager::~T_TextureManager()
{
    VEXLAR_LOG("  Destroying texture manager\n");
    ReleaseAll();
    table.clear();
    if (g_textureManager == this)
        g_textureManager = nullptr;
}

void T_TextureManager::MakeDefaultTexture()
{
    auto texture = std::make_unique<T_Texture>();
    texture->name = defaultName;
    FillWhite(*texture);
    texture->clamp = false;
    texture->mipmap = false;
    texture->refCount = 1;
    texture->kind = T_Texture::Default;
    Upload(texture.get());
    texture->FreePixels();
    table[static_cast<std::size_t>(defaultIndex)] = std::move(texture);
    count = 1;
}

bool T_TextureManager::UploadDefaultTexture()
{
    T_Texture* texture = GetDefault();
    if (texture == nullptr || g_gfxServer == nullptr)
        return false;
    if (texture->glName != noGlName)
        return true;
    if (FillWhite(*texture))
        Upload(texture);
    texture->FreePixels();
    return texture->glName != noGlName;
}

void T_TextureManager::Upload(T_Texture* texture)
{
    if (g_gfxServer != nullptr)
        g_gfxServer->UploadTexture(texture);
}

T_Texture* T_TextureManager::GetSlot(std::int32_t slot) const
{
    if (slot < 0 || slot >= capacity)
        return nullptr;
    return table[static_cast<std::size_t>(slot)].get();
}

std::int32_t T_TextureManager::FreeSlot() const
{
    for (std::int32_t slot = capacity - 1; slot >= 0; --slot)
        if (!table[static_cast<std::size_t>(slot)])
            return slot;
    return -1;
}

T_Texture* T_TextureManager::HandOutDefault()
{
    T_Texture* texture = GetDefault();
    if (texture != nullptr)
        ++texture->refCount;
    return texture;
}

T_Texture* T_TextureManager::Load(const std::string& name, bool clamp, bool mipmap)
{
    if (count >= capacity)
        return nullptr;
    for (const auto& record : table)
    {
        if (record && record->name == name && record->clamp == clamp && record->mipmap == mipmap)
        {
            ++record->refCount;
            return record.get();
        }
    }
    const std::int32_t slot = FreeSlot();
    if (slot < 0)
        return nullptr;

    auto texture = std::make_unique<T_Texture>();
    if (!texture->Load(name, clamp, mipmap))
        return HandOutDefault();
    if (texture->kind == T_Texture::Unfilled)
        texture->kind = T_Texture::FileLoaded;
    Upload(texture.get());
    texture->refCount = 1;
    ++count;
    table[static_cast<std::size_t>(slot)] = std::move(texture);
    return table[static_cast<std::size_t>(slot)].get();
}

T_Texture* T_TextureManager::Create(const std::string& name, std::int32_t width, std::int32_t height, bool clamp)
{
    if (count >= capacity)
        return nullptr;
    for (const auto& record : table)
    {
        if (record && record->name == name)
        {
            ++record->refCount;
            return record.get();
        }
    }
    if (width < 0 || height < 0 || width > maxDynamicSize || height > maxDynamicSize)
        return HandOutDefault();
    const std::int32_t slot = FreeSlot();
    if (slot < 0)
        return nullptr;

    auto texture = std::make_unique<T_Texture>(name, width, height, false, clamp);
    texture->kind = T_Texture::Dynamic;
    ++texture->refCount;
    Upload(texture.get());
    ++count;
    table[static_cast<std::size_t>(slot)] = std::move(texture);
    return table[static_cast<std::size_t>(slot)].get();
}

T_Texture* T_TextureManager::Find(const std::string& name)
{
    for (const auto& record : table)
    {
        if (record && record->name == name)
        {
            ++record->refCount;
            return record.get();
        }
    }
    return HandOutDefault();
}

void T_TextureManager::Release(T_Texture* texture)
{
    if (texture == nullptr)
        return;
    for (std::int32_t slot = 0; slot < capacity; ++slot)
    {
        auto& record = table[static_cast<std::size_t>(slot)];
        if (record.get() != texture)
            continue;
        if (record->refCount > 0)
        {
            --record->refCount;
            return;
        }
        // The default texture lives until ReleaseAll.
        if (slot == defaultIndex)
            return;
        if (g_gfxServer != nullptr)
            g_gfxServer->DeleteTexture(record.get());
        record.reset();
        --count;
        return;
    }
}

void T_TextureManager::FreePixelCopies()
{
    for (std::int32_t slot = capacity - 1; slot >= 0; --slot)
    {
        T_Texture* texture = table[static_cast<std::size_t>(slot)].get();
        if (texture != nullptr && texture->kind == T_Texture::FileLoaded)
            texture->FreePixels();
    }
}

void T_TextureManager::ReleaseAll()
{
    for (auto& record : table)
    {
        if (!record)
            continue;
        if (g_gfxServer != nullptr)
            g_gfxServer->DeleteTexture(record.get());
        record.reset();
    }
    count = 0;
}

bool T_TextureManager::Reload(const std::string& fileName, std::int32_t& refilled, std::string& why)
{
    refilled = 0;
    // One decode serves every variant: the pixels do not depend on the
    // record's clamp or mip-map setting.
    std::unique_ptr<T_Texture> decoded;
    for (const auto& record : table)
    {
        if (!record || record->kind != T_Texture::FileLoaded || !SameFileName(record->name, fileName))
            continue;
        if (!decoded)
        {
            decoded = std::make_unique<T_Texture>();
            if (!decoded->Load(record->name, record->clamp, record->mipmap) || decoded->pixels == nullptr ||
                decoded->dataSize <= 0)
            {
                why = "the image does not decode";
                return false;
            }
        }
        auto* pixels = static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(decoded->dataSize)));
        if (pixels == nullptr)
        {
            why = "out of memory";
            return false;
        }
        std::memcpy(pixels, decoded->pixels, static_cast<std::size_t>(decoded->dataSize));
        const bool hadPixels = record->pixels != nullptr;
        record->FreePixels();
        record->pixels = pixels;
        record->width = decoded->width;
        record->height = decoded->height;
        record->bitsPerPixel = decoded->bitsPerPixel;
        record->dataSize = decoded->dataSize;
        if (g_gfxServer != nullptr && record->glName != noGlName)
        {
            g_gfxServer->DeleteTexture(record.get());
            record->glName = noGlName;
        }
        Upload(record.get());
        if (!hadPixels)
            record->FreePixels();
        ++refilled;
    }
    return true;
}
