#pragma once

#include "vexlar3d/sound/T_MixerStream.h"

#include <cstdint>
#include <memory>

class T_DataSource;

// One named stream of the sound system.
struct SoundStream
{
    std::unique_ptr<T_MixerStream> handle; // the mixer's stream; null until opened
    std::int32_t channel = -1;             // mixer channel while playing, else -1
    std::int32_t volume = 255;             // 0..255, applied when playing starts
    bool paused = false;                   // held where it is (PauseStream)
    T_DataSource* source = nullptr;        // holds the bytes the decoder reads; open as long as the stream
};
