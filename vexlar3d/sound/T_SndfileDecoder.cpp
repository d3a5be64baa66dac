#include "vexlar3d/sound/T_SndfileDecoder.h"

#include <algorithm>

sf_count_t T_SndfileDecoder::VioLength(void* user)
{
    return static_cast<T_SndfileDecoder*>(user)->GetDataSize();
}

sf_count_t T_SndfileDecoder::VioSeek(sf_count_t offset, int whence, void* user)
{
    return static_cast<T_SndfileDecoder*>(user)->SeekData(offset, whence);
}

sf_count_t T_SndfileDecoder::VioRead(void* destination, sf_count_t count, void* user)
{
    if (count <= 0)
        return 0;
    return static_cast<sf_count_t>(
        static_cast<T_SndfileDecoder*>(user)->ReadData(destination, 1, static_cast<std::size_t>(count)));
}

sf_count_t T_SndfileDecoder::VioWrite(const void*, sf_count_t, void*)
{
    return 0; // read-only
}

sf_count_t T_SndfileDecoder::VioTell(void* user)
{
    return static_cast<T_SndfileDecoder*>(user)->TellData();
}

std::unique_ptr<T_SndfileDecoder> T_SndfileDecoder::Open(const unsigned char* data, std::size_t size)
{
    std::unique_ptr<T_SndfileDecoder> decoder(new T_SndfileDecoder(data, size));
    SF_VIRTUAL_IO io{.get_filelen = &VioLength, .seek = &VioSeek, .read = &VioRead, .write = &VioWrite, .tell = &VioTell};
    SF_INFO info{};
    decoder->m_file.reset(sf_open_virtual(&io, SFM_READ, &info, decoder.get()));
    if (decoder->m_file == nullptr)
        return nullptr;
    if (info.channels < 1 || info.channels > maxChannels || info.samplerate < minSampleRate ||
        info.samplerate > maxSampleRate || info.frames < 0)
        return nullptr; // the destructor closes the file

    decoder->m_rate = info.samplerate;
    decoder->m_channels = info.channels;
    decoder->m_format = info.format;
    decoder->m_frames = info.frames;
    decoder->m_block.resize(static_cast<std::size_t>(maxBlockFrames) * static_cast<std::size_t>(info.channels));
    // Integer formats come out in -1..1; float data is passed on as it is.
    sf_command(decoder->m_file.get(), SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
    return decoder;
}

T_AudioDecoder::Description T_SndfileDecoder::Describe()
{
    Description description;
    for (const int part : {m_format & SF_FORMAT_TYPEMASK, m_format & SF_FORMAT_SUBMASK})
    {
        SF_FORMAT_INFO info{};
        info.format = part;
        const bool named = sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) == 0 && info.name != nullptr;
        description.format += (description.format.empty() ? "" : ", ") + std::string(named ? info.name : "unknown");
    }
    description.channels = m_channels;
    description.seconds = m_frames > 0 ? static_cast<double>(m_frames) / m_rate : -1.0;
    return description;
}

std::int32_t T_SndfileDecoder::Decode(float* out, std::int32_t frames)
{
    const sf_count_t got = sf_readf_float(m_file.get(), m_block.data(), frames);
    if (got <= 0)
        return 0;
    const auto n = static_cast<std::int32_t>(std::min<sf_count_t>(got, frames));
    // Mono plays on both sides; files with more channels keep the front pair.
    const float* in = m_block.data();
    StoreStereo(in, in + (m_channels > 1 ? 1 : 0), m_channels, n, out);
    return n;
}
