#include "vexlar3d/sound/T_AudioDecoder.h"

#include "vexlar3d/sound/T_ModuleDecoder.h"
#include "vexlar3d/sound/T_SndfileDecoder.h"
#include "vexlar3d/sound/T_VorbisDecoder.h"

std::unique_ptr<T_AudioDecoder> T_AudioDecoder::Create(const unsigned char* data, std::size_t size,
                                                       std::int32_t moduleRate)
{
    if (data == nullptr || size == 0)
        return nullptr;
    if (T_VorbisDecoder::Claims(data, size))
        return T_VorbisDecoder::Open(data, size);
    if (auto sampled = T_SndfileDecoder::Open(data, size))
        return sampled;
    return T_ModuleDecoder::Open(data, size, moduleRate);
}
