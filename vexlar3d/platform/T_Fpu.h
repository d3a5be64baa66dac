#pragma once

// Floating-point unit settings for the whole process.
class T_Fpu
{
public:
    // Sets the x87 unit's precision control to a 24-bit mantissa (single
    // precision). On x86-64 float arithmetic runs on SSE, which this does
    // not touch; only x87 (long double) work is affected. Does nothing on
    // other processors.
    static void SetSinglePrecision();

    // The x87 precision-control field (0 = 24 bits, 2 = 53 bits, 3 = 64 bits),
    // or -1 when the processor has no x87 unit.
    static int PrecisionControl();
};
