// Arbitrary bytes opened as a stream and one second of it mixed.

#include "vexlar3d/sound/T_AudioMixer.h"
#include "vexlar3d/sound/T_MixerStream.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static T_AudioMixer mixer;
    static std::vector<float> out(2 * 48000);
    // Copy so that reads past the input are caught exactly at its end.
    std::vector<unsigned char> bytes(data, data + size);
    auto stream = T_MixerStream::Create(bytes.data(), bytes.size(), mixer.GetMixRate());
    if (!stream)
        return 0;
    mixer.Play(stream.get());
    mixer.Render(out.data(), 48000);
    mixer.Seek(stream.get(), 0.25);
    mixer.Render(out.data(), 1024);
    mixer.Release(stream.get());
    return 0;
}
