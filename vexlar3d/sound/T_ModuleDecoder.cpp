#include "vexlar3d/sound/T_ModuleDecoder.h"

#include <libopenmpt/libopenmpt.h>

#include <algorithm>

std::unique_ptr<T_ModuleDecoder> T_ModuleDecoder::Open(const unsigned char* data, std::size_t size,
                                                       std::int32_t rate)
{
    if (data == nullptr || size == 0)
        return nullptr;
    int error = 0;
    const char* message = nullptr;
    openmpt_module* module = openmpt_module_create_from_memory2(
        data, size, &openmpt_log_func_silent, nullptr, &openmpt_error_func_ignore, nullptr, &error,
        &message, nullptr);
    if (message != nullptr)
        openmpt_free_string(message);
    if (module == nullptr)
        return nullptr;

    std::unique_ptr<T_ModuleDecoder> decoder(new T_ModuleDecoder());
    decoder->m_module = module;
    decoder->m_rate = std::clamp(rate, minRenderRate, maxRenderRate);
    openmpt_module_set_repeat_count(module, 0); // play once, then end
    return decoder;
}

T_ModuleDecoder::~T_ModuleDecoder()
{
    if (m_module != nullptr)
        openmpt_module_destroy(m_module);
}

std::int32_t T_ModuleDecoder::Read(float* out, std::int32_t frames)
{
    if (m_ended || frames <= 0)
        return 0;
    frames = std::min(frames, maxBlockFrames);
    const std::size_t got = openmpt_module_read_interleaved_float_stereo(
        m_module, m_rate, static_cast<std::size_t>(frames), out);
    if (got == 0)
    {
        m_ended = true;
        return 0;
    }
    return static_cast<std::int32_t>(std::min<std::size_t>(got, static_cast<std::size_t>(frames)));
}

bool T_ModuleDecoder::Seek(double seconds)
{
    if (!(seconds >= 0.0))
        seconds = 0.0;
    openmpt_module_set_position_seconds(m_module, seconds);
    m_ended = false;
    return true;
}
