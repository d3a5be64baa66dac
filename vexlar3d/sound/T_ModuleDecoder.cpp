#include "vexlar3d/sound/T_ModuleDecoder.h"

#include <libopenmpt/libopenmpt.h>

#include <algorithm>

std::unique_ptr<T_ModuleDecoder> T_ModuleDecoder::Open(const unsigned char* data, std::size_t size,
                                                       std::int32_t rate)
{
    std::unique_ptr<T_ModuleDecoder> decoder(new T_ModuleDecoder(data, size));
    int error = 0;
    const char* message = nullptr;
    decoder->m_module.reset(openmpt_module_create_from_memory2(data, size, &openmpt_log_func_silent, nullptr,
                                                               &openmpt_error_func_ignore, nullptr, &error,
                                                               &message, nullptr));
    if (message != nullptr)
        openmpt_free_string(message);
    if (decoder->m_module == nullptr)
        return nullptr;
    decoder->m_rate = std::clamp(rate, minRenderRate, maxRenderRate);
    openmpt_module_set_repeat_count(decoder->m_module.get(), 0); // play once, then end
    return decoder;
}

void T_ModuleDecoder::ModuleDeleter::operator()(openmpt_module* module) const
{
    openmpt_module_destroy(module);
}

T_AudioDecoder::Description T_ModuleDecoder::Describe()
{
    Description description;
    const char* type = openmpt_module_get_metadata(m_module.get(), "type_long");
    description.format = std::string("module: ") + (type != nullptr && type[0] != '\0' ? type : "unknown");
    if (type != nullptr)
        openmpt_free_string(type);
    description.channels = openmpt_module_get_num_channels(m_module.get());
    description.seconds = openmpt_module_get_duration_seconds(m_module.get());
    return description;
}

std::int32_t T_ModuleDecoder::Decode(float* out, std::int32_t frames)
{
    const std::size_t got = openmpt_module_read_interleaved_float_stereo(
        m_module.get(), m_rate, static_cast<std::size_t>(frames), out);
    return static_cast<std::int32_t>(std::min<std::size_t>(got, static_cast<std::size_t>(frames)));
}

bool T_ModuleDecoder::SeekFrame(std::int64_t frame)
{
    openmpt_module_set_position_seconds(m_module.get(), static_cast<double>(frame) / m_rate);
    return true;
}
