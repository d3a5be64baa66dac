#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Encodes interleaved float samples as Ogg Vorbis with libsndfile, in memory.
// libsndfile gives each Ogg stream a serial number drawn from the clock; the
// encoder replaces it with a fixed one (and re-seals every page's checksum) so
// that the same samples always give the same file.
class T_VorbisEncoder
{
public:
    static bool Encode(const std::vector<float>& samples, int sampleRate, int channels, double quality,
                       std::vector<std::uint8_t>& out, std::string& error);

    // Sets the serial number of every page of an Ogg stream and recomputes the
    // page checksums; false when the data is not a sequence of whole pages.
    static bool SetSerial(std::vector<std::uint8_t>& ogg, std::uint32_t serial);
};
