#pragma once

#include "vexlar3d/core/T_NonCopyable.h"
#include "vexlar3d/resources/T_ITextureManager.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class T_Texture;

// Owns every texture of the run: a fixed table of records shared by name and
// reference count. Slot 0 holds "DEFAULT TEXTURE" (64 x 64 opaque white),
// which every failed load hands out instead. New records take the highest
// free slot, so the table fills from the top down.
//
// Uploads go through the gfx server when there is one; without it (tools,
// tests) records are kept in memory only.
class T_TextureManager final : public T_ITextureManager, private T_NonCopyable
{
public:
    static constexpr const char* defaultName = "DEFAULT TEXTURE";
    static constexpr std::int32_t defaultSize = 64;
    // The largest side of a dynamic map Create makes (pixels). Larger (or
    // negative) sizes get the default texture, so that no script line can ask
    // for gigabytes.
    static constexpr std::int32_t maxDynamicSize = 4096;

    // A capacity below 1 is taken as 1: slot 0 always holds the default.
    explicit T_TextureManager(std::int32_t textureCapacity);
    ~T_TextureManager();

    T_Texture* Load(const std::string& name, bool clamp, bool mipmap) override;
    T_Texture* Create(const std::string& name, std::int32_t width, std::int32_t height, bool clamp) override;
    T_Texture* Find(const std::string& name) override;
    void Release(T_Texture* texture) override;
    void FreePixelCopies() override;
    void ReleaseAll() override;

    // Gives the default texture a real OpenGL texture (opaque white) when it
    // has none yet. The main system calls it once the gfx server has its
    // context; true when the default texture now has an OpenGL name.
    bool UploadDefaultTexture();

    // Decodes the image file `fileName` again and puts its pixels into every
    // file-loaded record of that name (each clamp and mip-map variant; the
    // name's folder part and ASCII case do not count), re-uploaded through
    // the gfx server: the records, and every pointer to them, stay. A record
    // whose pixel copy was dropped drops the new one after the upload too.
    // `refilled` counts the records; 0 when no record names the file (true).
    // False, with the reason in `why` and the records untouched, when the
    // file no longer decodes.
    bool Reload(const std::string& fileName, std::int32_t& refilled, std::string& why);

    std::int32_t GetCapacity() const { return capacity; }
    std::int32_t GetCount() const { return count; }
    // The record in `slot`, or null for an empty or out-of-range slot.
    T_Texture* GetSlot(std::int32_t slot) const;
    T_Texture* GetDefault() const { return GetSlot(defaultIndex); }

private:
    // The highest empty slot, or -1 when there is none.
    std::int32_t FreeSlot() const;
    // The default texture with one more reference, or null once ReleaseAll
    // has destroyed it.
    T_Texture* HandOutDefault();
    void MakeDefaultTexture();
    static void Upload(T_Texture* texture);

    std::int32_t capacity = 0;
    std::int32_t count = 0;
    std::int32_t defaultIndex = 0;
    std::vector<std::unique_ptr<T_Texture>> table;
};
