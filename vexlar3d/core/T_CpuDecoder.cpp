#include "vexlar3d/core/T_CpuDecoder.h"

#include <cstddef>
#include <cstring>

#if defined(__x86_64__)
#include <cpuid.h>
#endif

namespace
{

// Copies a text into a fixed-size field, cutting it to fit its terminator.
template <std::size_t N>
void SetText(char (&field)[N], const char* text)
{
    std::size_t length = text ? std::strlen(text) : 0;
    if (length > N - 1)
        length = N - 1;
    if (length > 0)
        std::memcpy(field, text, length);
    field[length] = '\0';
}

// Entry `index` of a name table, null past its end.
template <std::size_t N>
const char* NameAt(const char* const (&names)[N], std::uint32_t index)
{
    return index < N ? names[index] : nullptr;
}

std::uint32_t Bits(std::uint32_t value, int low, int count)
{
    return (value >> low) & ((1u << count) - 1u);
}

enum class Source
{
    None,       // never set
    Standard,   // leaf 1 EDX
    Extended    // leaf 0x80000001 EDX, AMD only
};

struct FeatureRow
{
    const char* label;
    Source source;
    int bit;
    bool amd; // whether the AMD decoder sets it from leaf 1 EDX
};

// One row per feature line, in CpuFeature order. The labels are the report's
// own texts and are printed exactly as they stand here.
constexpr FeatureRow featureRows[CpuFeatureCount] = {
    {"Floating Point Unit", Source::Standard, 0, true},
    {"Virtual 8086 Mode Enhancements", Source::Standard, 1, true},
    {"Debugging Extensions", Source::Standard, 2, true},
    {"Page Size Extensions", Source::Standard, 3, true},
    {"Time Stamp Counter", Source::Standard, 4, true},
    {"Model Specifig Registers", Source::Standard, 5, true},
    {"Physical Adress Extension", Source::Standard, 6, true},
    {"Machine Check Exception", Source::Standard, 7, true},
    {"Compare And Exchange 8bit Extension", Source::Standard, 8, true},
    {"Advanced Programmable Interrupt Controller", Source::Standard, 9, true},
    {"Fast System Call", Source::Standard, 11, false},
    {"Memory Type Range Registers", Source::Standard, 12, true},
    {"Page Global Enable", Source::Standard, 13, true},
    {"Machine Check Architecture", Source::Standard, 14, true},
    {"Conditional Move And Compare Instructions", Source::Standard, 15, true},
    {"Page Attribute Table", Source::Standard, 16, true},
    {"36bit Page Size Extension", Source::Standard, 17, true},
    {"Processor Serial Number", Source::None, 18, false},
    {"CFLUSH Instruction Supported", Source::Standard, 19, false},
    {"Debug Store", Source::Standard, 21, false},
    {"Thermal Monitor And Clock Control", Source::Standard, 22, false},
    {"Multiprocessing Capable", Source::Extended, 19, false},
    {"AMD Multimedia Extensions", Source::Extended, 22, false},
    {"MMX Technology Supported", Source::Standard, 23, true},
    {"Fast Streaming SIMD Extensions Save Restore", Source::Standard, 24, true},
    {"Streaming SIMD Extensions SSE", Source::Standard, 25, true},
    {"Streaming SIMD Extensions SSE2", Source::Standard, 26, false},
    {"Self Snoop", Source::Standard, 27, false},
    {"Hyper Threading", Source::Standard, 28, false},
    {"Thermal Monitor", Source::Standard, 29, false},
    {"Signal Break On FERR", Source::Standard, 31, false},
    {"3DNow! Instructions", Source::Extended, 31, false},
    {"Enhanced 3DNow! Extensions", Source::Extended, 30, false},
    {"AMD 64 Bit Architecture", Source::Extended, 29, false},
};

constexpr const char* typeNames[4] = {"Original OEM", "Overdrive", "Dual-Capable", "Reserved"};

// Intel brand names by brand index, for processors without a brand string;
// null where the index names nothing. Index 3 depends on the model.
constexpr const char* intelBrands[16] = {
    "Not supported",
    "Intel Celeron processor",
    "Intel Pentium III processor",
    nullptr,
    "Intel Pentium III processor",
    nullptr,
    "Mobile Intel Pentium III processor PM",
    "Mobile Intel Celeron processor",
    "Intel Pentium 4 processor",
    "Intel Pentium 4 processor",
    "Intel Celeron processor",
    "Intel Xeon processor",
    "Intel Xeon processor MP",
    nullptr,
    "Mobile Intel Pentium 4 processor PM",
    "Intel Celeron Processor",
};

// Family names of families 3 to 6.
constexpr const char* intelFamilies[4] = {"Intel i386", "Intel i486", "Intel Pentium", "Intel Pentium Pro"};

constexpr const char* intel486Models[10] = {
    "Intel i486 DX-25/33",
    "Intel i486 DX-50",
    "Intel i486 SX",
    "Intel i486 487/DX2",
    "Intel i486 SL",
    "Intel i486 SX2",
    nullptr,
    "Intel i486 write-back enhanced DX2",
    "Intel i486 DX4",
    "Intel i486 write-back enhanced DX4",
};

constexpr const char* intelPentiumModels[9] = {
    "Intel Pentium (P5 A-Step)",
    "Intel Pentium 60/66(P5)",
    "Intel Pentium 75-200 (P54C)",
    "Intel Pentium for 486 system (P24T Overdrive)",
    "Intel Pentium MMX (P55C)",
    nullptr,
    nullptr,
    "Intel Pentium (P54C)",
    "Intel Pentium MMX (P55C) 0.25 \xB5m",
};

constexpr const char* intelP6Models[8] = {
    "Intel Pentium Pro (P6 A-Step)",
    "Intel Pentium Pro (P6)",
    nullptr,
    "Intel Pentium II Model 3, 0.28 \xB5m",
    nullptr,
    "Intel Pentium II Model5/Xeon/Celeron, 0.25 \xB5m",
    "Intel Pentium II - Internal L2 cache",
    "Intel Pentium III/Pentium III Xeon - external L2 cache, 0.25 \xB5m",
};

constexpr const char* intelP3Internal = "Intel Pentium III - internal L2 cache, 0.18 \xB5m";
constexpr const char* intelP3XeonInternal = "Intel Pentium III Xeon - internal L2 cache, 0.18 \xB5m";
constexpr const char* intelCeleronInternal = "Intel Celeron - internal L2 cache, 0.18 \xB5m";

constexpr const char* amdK5Models[4] = {
    "AMD K5 SSA5 (PR75, PR90, PR100)",
    "AMD K5 5k86 (PR120, PR133)",
    "AMD K5 5k86 (PR166)",
    "AMD K5 5k86 (PR200)",
};

constexpr const char* amdK6Models[4] = {
    "AMD K6 (0.30 \xB5m)",
    "AMD K6 (0.25 \xB5m)",
    "AMD K6-2",
    "AMD K6-III",
};

constexpr const char* amdK7Models[8] = {
    nullptr,
    "AMD Athlon (0.25 \xB5m)",
    "AMD Athlon (0.18 \xB5m)",
    "AMD Duron (Spitfire core)",
    "AMD Athlon (Thunderbird)",
    nullptr,
    "AMD Athlon MP/Mobile Athlon (Palomino)",
    "AMD Mobile Duron (Morgan)",
};

void VendorText(const T_CpuDecoder::Leaves& leaves, char (&vendor)[13])
{
    std::memcpy(vendor + 0, &leaves.leaf0Ebx, 4);
    std::memcpy(vendor + 4, &leaves.leaf0Edx, 4);
    std::memcpy(vendor + 8, &leaves.leaf0Ecx, 4);
    vendor[12] = '\0';
}

} // namespace

const char* T_CpuDecoder::FeatureLabel(int feature)
{
    if (feature < 0 || feature >= CpuFeatureCount)
        return "";
    return featureRows[feature].label;
}

bool T_CpuDecoder::Read(Leaves& leaves)
{
    leaves = Leaves{};
#if defined(__x86_64__)
    // Every x86-64 processor has CPUID; the leaves above the reported highest
    // ones are not asked for, since their answers are undefined.
    unsigned a = 0, b = 0, c = 0, d = 0;
    __cpuid(0, a, b, c, d);
    leaves.leaf0Eax = a;
    leaves.leaf0Ebx = b;
    leaves.leaf0Ecx = c;
    leaves.leaf0Edx = d;
    if (leaves.leaf0Eax >= 1)
    {
        __cpuid(1, a, b, c, d);
        leaves.leaf1Eax = a;
        leaves.leaf1Ebx = b;
        leaves.leaf1Edx = d;
    }
    __cpuid(0x80000000u, a, b, c, d);
    leaves.extended0Eax = a;
    if (leaves.extended0Eax >= 0x80000001u)
    {
        __cpuid(0x80000001u, a, b, c, d);
        leaves.extended1Edx = d;
    }
    if (leaves.extended0Eax >= 0x80000004u)
    {
        for (unsigned i = 0; i < 3; ++i)
        {
            std::uint32_t regs[4];
            __cpuid(0x80000002u + i, regs[0], regs[1], regs[2], regs[3]);
            std::memcpy(leaves.brand + 16 * i, regs, sizeof regs);
        }
    }
    return true;
#else
    return false;
#endif
}

void T_CpuDecoder::Decode(const Leaves& leaves, CpuInfo& info)
{
    info = CpuInfo{};
    VendorText(leaves, info.vendor);
    info.maxLeaf = leaves.leaf0Eax;
    info.maxExtendedLeaf = leaves.extended0Eax;

    if (std::strcmp(info.vendor, "GenuineIntel") == 0)
        DecodeIntel(leaves, info);
    else if (std::strcmp(info.vendor, "AuthenticAMD") == 0)
        DecodeAmd(leaves, info);
    else
        DecodeGeneric(leaves, info);
}

void T_CpuDecoder::DecodeCommon(const Leaves& leaves, CpuInfo& info)
{
    info.stepping = Bits(leaves.leaf1Eax, 0, 4);
    info.model = Bits(leaves.leaf1Eax, 4, 4);
    info.family = Bits(leaves.leaf1Eax, 8, 4);
    info.type = Bits(leaves.leaf1Eax, 12, 4);
    info.brandIndex = Bits(leaves.leaf1Ebx, 0, 4);
    info.logicalProcessors = Bits(leaves.leaf1Ebx, 16, 8);
    if (info.type < 4)
        SetText(info.typeName, typeNames[info.type]);
}

void T_CpuDecoder::StandardFeatures(const Leaves& leaves, CpuInfo& info, bool amd)
{
    for (int i = 0; i < CpuFeatureCount; ++i)
    {
        const FeatureRow& row = featureRows[i];
        if (row.source == Source::Standard && (!amd || row.amd))
            info.features[i] = ((leaves.leaf1Edx >> row.bit) & 1u) != 0;
        else if (row.source == Source::Extended && amd && leaves.extended0Eax >= 0x80000001u)
            info.features[i] = ((leaves.extended1Edx >> row.bit) & 1u) != 0;
    }
}

bool T_CpuDecoder::BrandString(const Leaves& leaves, CpuInfo& info)
{
    if (leaves.extended0Eax < 0x80000004u)
        return false;
    // The 48 characters need not be terminated; the name keeps what fits
    // after the leading spaces, up to the first zero.
    std::size_t start = 0;
    while (start < sizeof leaves.brand && leaves.brand[start] == ' ')
        ++start;
    std::size_t length = 0;
    while (start + length < sizeof leaves.brand && leaves.brand[start + length] != '\0' &&
           length < sizeof info.brandName - 1)
        ++length;
    std::memcpy(info.brandName, leaves.brand + start, length);
    info.brandName[length] = '\0';
    return true;
}

void T_CpuDecoder::DecodeIntel(const Leaves& leaves, CpuInfo& info)
{
    DecodeCommon(leaves, info);
    // Only the Intel decoder reads the extended family and model.
    info.extendedModel = Bits(leaves.leaf1Eax, 16, 4);
    info.extendedFamily = Bits(leaves.leaf1Eax, 20, 8);
    if (!BrandString(leaves, info))
    {
        const char* brand = intelBrands[info.brandIndex];
        if (info.brandIndex == 3)
            brand = info.model == 6 ? "Intel Celeron processor" : "Intel Pentium III processor";
        SetText(info.brandName, brand);
    }
    IntelNames(info);
    StandardFeatures(leaves, info, false);
}

void T_CpuDecoder::IntelNames(CpuInfo& info)
{
    const std::uint32_t model = info.model;
    const std::uint32_t brand = info.brandIndex;
    const char* modelName = nullptr;

    // Below family 3 the index wraps round past the table's end.
    if (const char* familyName = NameAt(intelFamilies, info.family - 3))
        SetText(info.familyName, familyName);
    switch (info.family)
    {
    case 3: modelName = "Unknown Intel i386"; break;
    case 4: modelName = NameAt(intel486Models, model); break;
    case 5: modelName = NameAt(intelPentiumModels, model); break;
    case 6:
        modelName = NameAt(intelP6Models, model);
        if (model == 8)
            modelName = brand == 2 ? intelP3Internal : brand == 3 ? intelP3XeonInternal : intelCeleronInternal;
        else if (model == 10)
            modelName = brand == 1   ? intelCeleronInternal
                        : brand == 2 ? intelP3Internal
                        : brand == 3 ? intelP3XeonInternal
                                     : nullptr;
        else if (model == 11)
            modelName = brand == 4   ? "Intel Pentium III (Tualatin core) - internal L2 cache, 0.13 \xB5m"
                        : brand == 7 ? "Intel Celeron Mobile (Tualatin core) - internal L2 cache, 0.13 \xB5m"
                                     : "Intel Celeron (Tualatin core) - internal L2 cache, 0.13 \xB5m";
        break;
    case 15:
        SetText(info.familyName, info.extendedFamily == 1 ? "Intel McKinley (IA-64)" : "Intel Pentium 4");
        if (model == 0)
            modelName = brand == 8 ? "Intel Pentium 4 Willamette (A-Step)" : "Intel Pentium 4 Willamette Xeon (A-Step)";
        else if (model == 1)
            modelName = brand == 8 ? "Intel Pentium 4 Willamette" : "Intel Pentium 4 Willamette Xeon";
        else if (model == 2)
            modelName = (brand == 9 || brand == 10) ? "Intel Pentium 4 Northwood" : "Intel Pentium 4 Northwood Xeon";
        break;
    default:
        break;
    }
    if (modelName)
        SetText(info.modelName, modelName);
}

void T_CpuDecoder::DecodeAmd(const Leaves& leaves, CpuInfo& info)
{
    DecodeCommon(leaves, info);
    if (!BrandString(leaves, info))
        SetText(info.brandName, "Not supported");
    AmdNames(info);
    StandardFeatures(leaves, info, true);
}

void T_CpuDecoder::AmdNames(CpuInfo& info)
{
    const std::uint32_t model = info.model;
    const char* familyName = nullptr;
    const char* modelName = nullptr;

    switch (info.family)
    {
    case 5:
        if (model <= 3)
        {
            familyName = "AMD K5";
            modelName = amdK5Models[model];
        }
        else if (model >= 6 && model <= 9)
        {
            familyName = "AMD K6";
            modelName = amdK6Models[model - 6];
        }
        else if (model == 13)
        {
            familyName = "AMD K6";
            modelName = "AMD K6-2+ or K6-III+ (0.18 \xB5m)";
        }
        break;
    case 6:
        SetText(info.familyName, "AMD K7");
        modelName = NameAt(amdK7Models, model);
        break;
    default:
        // Family 4 and any other value: the 486-class names.
        switch (model)
        {
        case 3: familyName = "AMD 80486"; modelName = "AMD 80486 DX2"; break;
        case 7: familyName = "AMD 80486"; modelName = "AMD 80486 write-back enhanced DX2"; break;
        case 8: familyName = "AMD 80486"; modelName = "AMD 80486 DX4"; break;
        case 9:
        case 14: familyName = "AMD 80486"; modelName = "AMD 80486 write-back enhanced DX4"; break;
        case 15: familyName = "AMD 5x86"; modelName = "AMD 5x86 write-back enhanced "; break;
        default: break;
        }
        break;
    }
    if (familyName)
        SetText(info.familyName, familyName);
    if (modelName)
        SetText(info.modelName, modelName);
}

void T_CpuDecoder::DecodeGeneric(const Leaves& leaves, CpuInfo& info)
{
    DecodeCommon(leaves, info);
    StandardFeatures(leaves, info, false);
}
