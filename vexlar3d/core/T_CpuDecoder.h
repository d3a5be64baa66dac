#pragma once

#include "vexlar3d/core/CpuInfo.h"

#include <cstdint>

// Turns the register values of the CPUID leaves into a CpuInfo: vendor,
// family, model and type with their names, brand, and the feature flags.
// Reading the leaves and decoding them are separate, so that the decoders can
// be run on the values of any processor.
class T_CpuDecoder
{
public:
    // The CPUID values the decoders look at. Leaves that the processor does
    // not have are left zero by Read.
    struct Leaves
    {
        std::uint32_t leaf0Eax = 0; // highest standard leaf
        std::uint32_t leaf0Ebx = 0; // vendor text, first four characters
        std::uint32_t leaf0Ecx = 0; // vendor text, last four characters
        std::uint32_t leaf0Edx = 0; // vendor text, middle four characters
        std::uint32_t leaf1Eax = 0; // stepping, model, family, type, extended model and family
        std::uint32_t leaf1Ebx = 0; // brand index, logical processor count
        std::uint32_t leaf1Edx = 0; // standard feature bits
        std::uint32_t extended0Eax = 0; // highest extended leaf (0x80000000)
        std::uint32_t extended1Edx = 0; // extended feature bits (0x80000001)
        char brand[48] = {};            // leaves 0x80000002 to 0x80000004, EAX EBX ECX EDX each
    };

    // Reads the leaves of the processor we run on; false when there is no
    // CPUID instruction (anything but x86-64), the leaves then stay zero.
    static bool Read(Leaves& leaves);

    // Fills info from the leaves (info is reset first), choosing the Intel,
    // AMD or generic decoder by the vendor text. Leaves mhz at 0.
    static void Decode(const Leaves& leaves, CpuInfo& info);

    // The label of a feature line as printed, without its padding; "" for a
    // value outside 0 .. CpuFeatureCount - 1.
    static const char* FeatureLabel(int feature);

private:
    static void DecodeCommon(const Leaves& leaves, CpuInfo& info);
    static void DecodeIntel(const Leaves& leaves, CpuInfo& info);
    static void DecodeAmd(const Leaves& leaves, CpuInfo& info);
    static void DecodeGeneric(const Leaves& leaves, CpuInfo& info);
    static void IntelNames(CpuInfo& info);
    static void AmdNames(CpuInfo& info);
    static void StandardFeatures(const Leaves& leaves, CpuInfo& info, bool amd);
    static bool BrandString(const Leaves& leaves, CpuInfo& info);
};
