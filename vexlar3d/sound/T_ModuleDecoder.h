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

    ~T_ModuleDecoder() override;
    T_ModuleDecoder(const T_ModuleDecoder&) = delete;
    T_ModuleDecoder& operator=(const T_ModuleDecoder&) = delete;

    std::int32_t Read(float* out, std::int32_t frames) override;
    bool Seek(double seconds) override;
    std::int32_t GetSampleRate() const override { return m_rate; }

    // The render rates libopenmpt supports.
    static constexpr std::int32_t minRenderRate = 8000;
    static constexpr std::int32_t maxRenderRate = 192000;

private:
    T_ModuleDecoder() = default;

    openmpt_module* m_module = nullptr;
    std::int32_t m_rate = 0;
    bool m_ended = false;
};
