// vexlar-inspect sound NAME [--wav FILE] [--spectrum T1,T2,...]: decodes a
// music file the way the engine does. The description (format, channels,
// sample rate, length) comes from the decoder the engine picks; the render is
// the engine's own: the sound system in offline mode at 48 kHz playing the
// stream, pulled block by block until the stream has ended, with the
// spectrum read at the asked times.
#include "InspectCommands.h"

#include "vexlar3d/player/T_WavWriter.h"
#include "vexlar3d/sound/T_AudioDecoder.h"
#include "vexlar3d/sound/T_SoundSystem.h"
#include "vexlar3d/sound/T_SpectrumAnalyzer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <numeric>
#include <string>
#include <vector>

namespace
{
const char* const synopsis = "[--data DIR] sound NAME [--wav FILE] [--spectrum T1,T2,...]";
constexpr std::int32_t mixRate = 48000;
constexpr std::int32_t strongest = 5; // bins printed per time
// Four hours: beyond any music, and a stop for a stream that never ends.
constexpr std::int64_t maxFrames = std::int64_t{4} * 3600 * mixRate;

struct Spectrum
{
    double seconds = 0.0;
    std::int64_t frame = 0; // the mixed frames before it
    std::vector<float> bins;
};

void PrintSpectrum(const Spectrum& spectrum)
{
    std::printf("spectrum at %.3f s:", spectrum.seconds);
    if (spectrum.bins.empty())
    {
        std::printf(" past the end of the sound\n");
        return;
    }
    std::vector<std::int32_t> order(spectrum.bins.size());
    std::iota(order.begin(), order.end(), 0);
    // Strongest first; among equal magnitudes the lower bin.
    std::stable_sort(order.begin(), order.end(), [&](std::int32_t a, std::int32_t b) {
        return spectrum.bins[static_cast<std::size_t>(a)] > spectrum.bins[static_cast<std::size_t>(b)];
    });
    std::int32_t printed = 0;
    for (; printed < strongest; ++printed)
    {
        const std::int32_t bin = order[static_cast<std::size_t>(printed)];
        const float magnitude = spectrum.bins[static_cast<std::size_t>(bin)];
        if (!(magnitude >= 0.00005f)) // would print as 0.0000
            break;
        std::printf("%s bin %d (%.0f Hz) %.4f", printed == 0 ? "" : ",", bin,
                    static_cast<double>(bin) * mixRate / T_SpectrumAnalyzer::fftSize, static_cast<double>(magnitude));
    }
    std::printf(printed == 0 ? " silence\n" : "\n");
}
} // namespace

int CmdSound(InspectContext& context, const std::vector<std::string>& args)
{
    if (args.empty() || args[0].rfind("--", 0) == 0)
        return UsageError(synopsis, "sound needs a NAME");
    const std::string name = args[0];
    std::map<std::string, std::string> options = {{"--wav", ""}, {"--spectrum", ""}};
    if (const int status = ReadOptions(args, 1, synopsis, options); status >= 0)
        return status;
    std::vector<Spectrum> spectra;
    if (!options["--spectrum"].empty())
    {
        std::vector<double> times;
        if (!ParseTimes(options["--spectrum"], times))
            return UsageError(synopsis, "invalid --spectrum '" + options["--spectrum"] +
                                            "' (seconds separated by commas)");
        for (const double seconds : times)
        {
            if (seconds < 0.0 || seconds * mixRate > static_cast<double>(maxFrames))
                return UsageError(synopsis, "--spectrum times run from 0 to four hours");
            spectra.push_back({seconds, static_cast<std::int64_t>(std::floor(seconds * mixRate)), {}});
        }
    }

    // The description, from the decoder the sound system would pick.
    T_FileSystem::Location location;
    std::unique_ptr<T_DataSource> source = OpenNamed(context, name, location);
    if (source == nullptr)
        return 1;
    auto decoder = source->GetData() != nullptr
                       ? T_AudioDecoder::Create(source->GetData(), static_cast<std::size_t>(source->GetSize()), mixRate)
                       : nullptr;
    if (!decoder)
    {
        std::cerr << "vexlar-inspect: " << name << " does not decode (no decoder accepts its data)\n";
        return 1;
    }
    const T_AudioDecoder::Description description = decoder->Describe();
    std::printf("format:      %s\n", description.format.c_str());
    std::printf("channels:    %d\n", description.channels);
    std::printf("sample rate: %d Hz\n", decoder->GetSampleRate());
    if (description.seconds >= 0.0)
        std::printf("length:      %.3f s\n", description.seconds);
    else
        std::printf("length:      unknown\n");
    decoder.reset();
    source.reset();
    if (options["--wav"].empty() && spectra.empty())
        return 0;

    // The render, as an offline run of the engine makes it.
    T_SoundSystem sound;
    sound.SetMasterVolume(255);
    sound.SetMixRate(mixRate);
    sound.SetDriver(0);
    if (!sound.InitOffline())
    {
        std::cerr << "vexlar-inspect: the sound system cannot render offline (see vexlar.log)\n";
        return 1;
    }
    if (!spectra.empty())
        sound.EnableSpectrum();
    sound.OpenStream(name);
    sound.PlayStream(name);
    const auto stream = sound.streams.find(name);
    if (stream == sound.streams.end() || stream->second->channel == -1)
    {
        std::cerr << "vexlar-inspect: the sound system cannot play " << name << " (see vexlar.log)\n";
        return 1;
    }
    std::string error;
    T_WavWriter wav;
    if (!options["--wav"].empty() && !wav.Open(options["--wav"], mixRate, error))
    {
        std::cerr << "vexlar-inspect: " << error << "\n";
        return 1;
    }

    // Block by block until the stream has ended (or, without a WAV file, the
    // last spectrum is taken), each block cut short where a spectrum is due.
    std::vector<Spectrum*> due;
    for (Spectrum& spectrum : spectra)
        due.push_back(&spectrum);
    std::sort(due.begin(), due.end(), [](const Spectrum* a, const Spectrum* b) { return a->frame < b->frame; });
    std::size_t next = 0;
    std::vector<std::int16_t> block(2 * static_cast<std::size_t>(T_AudioMixer::blockFrames));
    std::int64_t rendered = 0;
    while (!stream->second->handle->HasEnded() && rendered < maxFrames && (wav.IsOpen() || next < due.size()))
    {
        for (; next < due.size() && due[next]->frame == rendered; ++next)
        {
            const float* bins = sound.GetSpectrum();
            due[next]->bins.assign(bins, bins + T_SpectrumAnalyzer::binCount);
        }
        std::int64_t frames = T_AudioMixer::blockFrames;
        if (next < due.size())
            frames = std::min(frames, due[next]->frame - rendered);
        sound.RenderOffline(block.data(), static_cast<std::int32_t>(frames));
        if (wav.IsOpen() && !wav.Write(block.data(), frames, error))
        {
            std::cerr << "vexlar-inspect: " << error << "\n";
            return 1;
        }
        rendered += frames;
    }
    if (wav.IsOpen())
    {
        if (!wav.Close(error))
        {
            std::cerr << "vexlar-inspect: " << error << "\n";
            return 1;
        }
        std::printf("wav:         %s, %lld frames at %d Hz (%.3f s)\n", options["--wav"].c_str(),
                    static_cast<long long>(rendered), mixRate, static_cast<double>(rendered) / mixRate);
    }
    for (const Spectrum& spectrum : spectra)
        PrintSpectrum(spectrum);
    return 0;
}
