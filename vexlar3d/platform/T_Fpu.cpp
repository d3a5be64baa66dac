#include "vexlar3d/platform/T_Fpu.h"

#if defined(__x86_64__) || defined(__i386__)
#include <fpu_control.h>
#endif

void T_Fpu::SetSinglePrecision()
{
#if defined(__x86_64__) || defined(__i386__)
    fpu_control_t word;
    _FPU_GETCW(word);
    word = static_cast<fpu_control_t>((word & ~_FPU_EXTENDED) | _FPU_SINGLE);
    _FPU_SETCW(word);
#endif
}

int T_Fpu::PrecisionControl()
{
#if defined(__x86_64__) || defined(__i386__)
    fpu_control_t word;
    _FPU_GETCW(word);
    return static_cast<int>((word >> 8) & 3);
#else
    return -1;
#endif
}
