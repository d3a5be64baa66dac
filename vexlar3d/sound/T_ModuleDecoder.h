#pragma once

#include "vexlar3d/sound/T_AudioDecoder.h"

#include <memory>

struct openmpt_module;

// Tracker modules (MOD, XM, S3M, IT and the rest libopenmpt knows), played
// once without looping and rendered directly at the requested rate.
class T_ModuleDecoder : public T_AudioDecoder
{
public:
    // Null when libopenmpt does not accept the data.
    static std::unique_ptr<T_ModuleDecoder> Open(const unsigned char* data, std::size_t size,
                                                 std::int32_t rate);

    // "module: ProTracker MOD" (libopenmpt's name of the tracker format),
    // the pattern channels, and the length of one pass through the song.
    Description Describe() override;

    // The render rates libopenmpt supports.
    static constexpr std::int32_t minRenderRate = 8000;
    static constexpr std::int32_t maxRenderRate = 192000;

private:
    T_ModuleDecoder(const unsigned char* data, std::size_t size) : T_AudioDecoder(data, size) {}

    std::int32_t Decode(float* out, std::int32_t frames) override;
    std::int64_t GetLength() override { return -1; } // libopenmpt clamps seeks itself
    bool SeekFrame(std::int64_t frame) override;

    struct ModuleDeleter
    {
        void operator()(openmpt_module* module) const;
    };
    std::unique_ptr<openmpt_module, ModuleDeleter> m_module;
};
