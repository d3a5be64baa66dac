// Decoding of given CPUID values, the clock rounding and the report text.
#include "core/TestScratch.h"
#include "vexlar3d/core/T_CpuDecoder.h"
#include "vexlar3d/core/T_SystemReport.h"
#include "vexlar3d/core/T_TscClock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace
{

T_CpuDecoder::Leaves Processor(const char* vendor, std::uint32_t family, std::uint32_t model,
                               std::uint32_t extendedFamily = 0, std::uint32_t extendedModel = 0)
{
    T_CpuDecoder::Leaves leaves;
    leaves.leaf0Eax = 1;
    std::memcpy(&leaves.leaf0Ebx, vendor + 0, 4);
    std::memcpy(&leaves.leaf0Edx, vendor + 4, 4);
    std::memcpy(&leaves.leaf0Ecx, vendor + 8, 4);
    leaves.leaf1Eax = (extendedFamily << 20) | (extendedModel << 16) | (family << 8) | (model << 4) | 3;
    leaves.extended0Eax = 0x80000000u;
    return leaves;
}

CpuInfo Decoded(const T_CpuDecoder::Leaves& leaves)
{
    CpuInfo info;
    T_CpuDecoder::Decode(leaves, info);
    return info;
}

const char* const expectedLabels[CpuFeatureCount] = {
    "Floating Point Unit", "Virtual 8086 Mode Enhancements", "Debugging Extensions",
    "Page Size Extensions", "Time Stamp Counter", "Model Specifig Registers",
    "Physical Adress Extension", "Machine Check Exception", "Compare And Exchange 8bit Extension",
    "Advanced Programmable Interrupt Controller", "Fast System Call", "Memory Type Range Registers",
    "Page Global Enable", "Machine Check Architecture", "Conditional Move And Compare Instructions",
    "Page Attribute Table", "36bit Page Size Extension", "Processor Serial Number",
    "CFLUSH Instruction Supported", "Debug Store", "Thermal Monitor And Clock Control",
    "Multiprocessing Capable", "AMD Multimedia Extensions", "MMX Technology Supported",
    "Fast Streaming SIMD Extensions Save Restore", "Streaming SIMD Extensions SSE",
    "Streaming SIMD Extensions SSE2", "Self Snoop", "Hyper Threading", "Thermal Monitor",
    "Signal Break On FERR", "3DNow! Instructions", "Enhanced 3DNow! Extensions", "AMD 64 Bit Architecture",
};

// The source of each feature line: leaf 1 EDX bit n as n, leaf 0x80000001
// EDX bit n as 100 + n; -1 where none.
const int intelBits[CpuFeatureCount] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  11, 12, 13, 14, 15, 16, 17,
                                        -1, 19, 21, 22, -1, -1, 23, 24, 25, 26, 27, 28, 29, 31, -1, -1, -1};
const int amdBits[CpuFeatureCount] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  -1, 12,  13,  14,  15,  16, 17,
                                      -1, -1, -1, -1, 119, 122, 23, 24, 25, -1, -1, -1, -1, -1, 131, 130, 129};

} // namespace

TEST(ClockRounding, MovesToTheNearestStepTiesUp)
{
    const std::pair<std::uint64_t, std::uint32_t> cases[] = {
        {1398, 1400}, {732, 733}, {866, 866}, {1009, 1000}, {1010, 1020}, {1095, 1100},
        {1733, 1733}, {1041, 1033}, {1042, 1050}, {85, 90}, {2394, 2390}, {0, 0},
    };
    for (const auto& [measured, reported] : cases)
        EXPECT_EQ(T_TscClock::RoundMhz(measured), reported) << measured;
    // Figures past the 32-bit field do not wrap around to small values.
    EXPECT_EQ(T_TscClock::RoundMhz(std::numeric_limits<std::uint32_t>::max()),
              std::numeric_limits<std::uint32_t>::max());
    EXPECT_EQ(T_TscClock::RoundMhz(std::uint64_t{1} << 40), std::numeric_limits<std::uint32_t>::max());
}

TEST(CpuFeatures, LabelsAndColumnsAreExact)
{
    T_CpuDecoder::Leaves leaves = Processor("GenuineIntel", 6, 8);
    leaves.leaf1Edx = 0xFFFFFFFFu;
    const std::vector<std::string> lines = SplitLines(T_SystemReport::CpuReportText(Decoded(leaves)));
    ASSERT_EQ(lines.size(), 10u + CpuFeatureCount);
    // Labels padded to column 48; the serial number is never reported.
    for (int i = 0; i < CpuFeatureCount; ++i)
    {
        const std::string label = expectedLabels[i];
        EXPECT_EQ(lines[10 + i], "    " + label + std::string(44 - label.size(), ' ') + ": " +
                                     (intelBits[i] >= 0 ? "yes" : "no"));
    }
    EXPECT_STREQ(T_CpuDecoder::FeatureLabel(-1), "");
    EXPECT_STREQ(T_CpuDecoder::FeatureLabel(CpuFeatureCount), "");
}

TEST(CpuFeatures, EachBitSetsOnlyItsOwnLine)
{
    // The generic decoder reads the Intel lines; only AMD's looks at the
    // extended leaf.
    for (const char* vendor : {"GenuineIntel", "CentaurHauls", "AuthenticAMD"})
    {
        const int* sources = std::string(vendor) == "AuthenticAMD" ? amdBits : intelBits;
        for (int source = 0; source < 132; source += source == 31 ? 69 : 1)
        {
            T_CpuDecoder::Leaves leaves = Processor(vendor, 6, 1);
            leaves.extended0Eax = 0x80000001u;
            (source < 100 ? leaves.leaf1Edx : leaves.extended1Edx) = 1u << (source % 100);
            const CpuInfo info = Decoded(leaves);
            for (int i = 0; i < CpuFeatureCount; ++i)
                EXPECT_EQ(info.features[i], sources[i] == source) << vendor << " source " << source << " line " << i;
        }
    }
    // Without leaf 0x80000001 its bits are not believed.
    T_CpuDecoder::Leaves leaves = Processor("AuthenticAMD", 6, 4);
    leaves.extended1Edx = 0xFFFFFFFFu;
    const CpuInfo info = Decoded(leaves);
    EXPECT_EQ(std::count(std::begin(info.features), std::end(info.features), true), 0);
}

TEST(CpuDecoder, LeafOneFields)
{
    T_CpuDecoder::Leaves leaves = Processor("GenuineIntel", 15, 2, 0, 0);
    leaves.leaf1Eax |= 0x1000;          // type 1
    leaves.leaf1Ebx = 0x00100009;       // 16 logical processors, brand index 9
    const CpuInfo info = Decoded(leaves);
    EXPECT_STREQ(info.vendor, "GenuineIntel");
    EXPECT_EQ(info.stepping, 3u);
    EXPECT_EQ(info.model, 2u);
    EXPECT_EQ(info.family, 15u);
    EXPECT_EQ(info.type, 1u);
    EXPECT_STREQ(info.typeName, "Overdrive");
    EXPECT_EQ(info.brandIndex, 9u);
    EXPECT_EQ(info.logicalProcessors, 16u);
    EXPECT_STREQ(info.familyName, "Intel Pentium 4");
    EXPECT_STREQ(info.modelName, "Intel Pentium 4 Northwood");
    EXPECT_STREQ(info.brandName, "Intel Pentium 4 processor");

    leaves.leaf1Eax = (leaves.leaf1Eax & ~0xF000u) | 0x5000; // type 5 has no name
    EXPECT_STREQ(Decoded(leaves).typeName, "");
}

TEST(CpuDecoder, IntelBrandFromIndexWithoutBrandString)
{
    const std::tuple<std::uint32_t, std::uint32_t, const char*> cases[] = {
        {8, 0, "Not supported"}, {8, 1, "Intel Celeron processor"}, {8, 5, ""},
        {8, 6, "Mobile Intel Pentium III processor PM"}, {8, 11, "Intel Xeon processor"}, {8, 13, ""},
        {8, 15, "Intel Celeron Processor"}, {6, 3, "Intel Celeron processor"}, {7, 3, "Intel Pentium III processor"},
    };
    for (const auto& [model, index, brand] : cases)
    {
        T_CpuDecoder::Leaves leaves = Processor("GenuineIntel", 6, model);
        leaves.leaf1Ebx = index;
        EXPECT_STREQ(Decoded(leaves).brandName, brand) << model << "/" << index;
    }
}

TEST(CpuDecoder, BrandStringSkipsLeadingSpacesAndStaysInBounds)
{
    T_CpuDecoder::Leaves leaves = Processor("GenuineIntel", 15, 2);
    leaves.leaf1Ebx = 9;
    leaves.extended0Eax = 0x80000004u;
    const char text[] = "              Intel(R) Pentium(R) 4 CPU 2.40GHz";
    std::memcpy(leaves.brand, text, sizeof leaves.brand);
    EXPECT_STREQ(Decoded(leaves).brandName, "Intel(R) Pentium(R) 4 CPU 2.40GHz");

    // 48 characters without a terminator: the name keeps the first 47.
    std::memset(leaves.brand, 'X', sizeof leaves.brand);
    EXPECT_EQ(std::string(Decoded(leaves).brandName), std::string(47, 'X'));

    // All spaces, and AMD with no brand string at all.
    std::memset(leaves.brand, ' ', sizeof leaves.brand);
    EXPECT_STREQ(Decoded(leaves).brandName, "");
    EXPECT_STREQ(Decoded(Processor("AuthenticAMD", 6, 4)).brandName, "Not supported");
}

TEST(CpuDecoder, NameTables)
{
    // Intel reads the extended family (and model); AMD leaves both at 0.
    struct Case
    {
        bool intel;
        std::uint32_t family, model, brandIndex, extendedFamily;
        const char* familyName;
        const char* modelName;
    };
    const Case cases[] = {
        {true, 3, 9, 0, 0, "Intel i386", "Unknown Intel i386"},
        {true, 4, 7, 0, 0, "Intel i486", "Intel i486 write-back enhanced DX2"},
        {true, 4, 12, 0, 0, "Intel i486", ""},
        {true, 5, 8, 0, 0, "Intel Pentium", "Intel Pentium MMX (P55C) 0.25 \xB5m"},
        {true, 6, 8, 2, 0, "Intel Pentium Pro", "Intel Pentium III - internal L2 cache, 0.18 \xB5m"},
        {true, 6, 8, 3, 0, "Intel Pentium Pro", "Intel Pentium III Xeon - internal L2 cache, 0.18 \xB5m"},
        {true, 6, 8, 7, 0, "Intel Pentium Pro", "Intel Celeron - internal L2 cache, 0.18 \xB5m"},
        {true, 6, 10, 1, 0, "Intel Pentium Pro", "Intel Celeron - internal L2 cache, 0.18 \xB5m"},
        {true, 6, 10, 5, 0, "Intel Pentium Pro", ""},
        {true, 6, 11, 4, 0, "Intel Pentium Pro", "Intel Pentium III (Tualatin core) - internal L2 cache, 0.13 \xB5m"},
        {true, 6, 11, 0, 0, "Intel Pentium Pro", "Intel Celeron (Tualatin core) - internal L2 cache, 0.13 \xB5m"},
        {true, 6, 12, 0, 0, "Intel Pentium Pro", ""},
        {true, 15, 0, 8, 0, "Intel Pentium 4", "Intel Pentium 4 Willamette (A-Step)"},
        {true, 15, 2, 11, 1, "Intel McKinley (IA-64)", "Intel Pentium 4 Northwood Xeon"},
        {true, 15, 3, 9, 0, "Intel Pentium 4", ""},
        {true, 7, 1, 0, 0, "", ""},
        {true, 2, 1, 0, 0, "", ""},
        {false, 4, 3, 0, 0, "AMD 80486", "AMD 80486 DX2"},
        {false, 4, 15, 0, 0, "AMD 5x86", "AMD 5x86 write-back enhanced "},
        {false, 4, 4, 0, 0, "", ""},
        {false, 5, 3, 0, 0, "AMD K5", "AMD K5 5k86 (PR200)"},
        {false, 5, 6, 0, 0, "AMD K6", "AMD K6 (0.30 \xB5m)"},
        {false, 5, 13, 0, 0, "AMD K6", "AMD K6-2+ or K6-III+ (0.18 \xB5m)"},
        {false, 5, 4, 0, 0, "", ""},
        {false, 6, 2, 0, 0, "AMD K7", "AMD Athlon (0.18 \xB5m)"},
        {false, 6, 5, 0, 0, "AMD K7", ""},
        {false, 6, 7, 0, 0, "AMD K7", "AMD Mobile Duron (Morgan)"},
        {false, 3, 8, 0, 0, "AMD 80486", "AMD 80486 DX4"}, // families outside the tables take the 486 names
        {false, 15, 8, 0, 8, "AMD 80486", "AMD 80486 DX4"}, // family 15 too, its extended fields unread
    };
    for (const Case& c : cases)
    {
        T_CpuDecoder::Leaves leaves =
            Processor(c.intel ? "GenuineIntel" : "AuthenticAMD", c.family, c.model, c.extendedFamily, 1);
        leaves.leaf1Ebx = c.brandIndex;
        const CpuInfo info = Decoded(leaves);
        EXPECT_STREQ(info.familyName, c.familyName) << c.family << "/" << c.model;
        EXPECT_STREQ(info.modelName, c.modelName) << c.family << "/" << c.model;
        EXPECT_EQ(info.extendedFamily, c.intel ? c.extendedFamily : 0u);
        EXPECT_EQ(info.extendedModel, c.intel ? 1u : 0u);
    }

    // The tables key on the four model bits alone.
    const CpuInfo later = Decoded(Processor("GenuineIntel", 6, 5, 0, 10));
    EXPECT_EQ(later.extendedModel, 10u);
    EXPECT_STREQ(later.modelName, "Intel Pentium II Model5/Xeon/Celeron, 0.25 \xB5m");
}

TEST(CpuDecoder, UnknownVendorHasNoNamesButEveryFeatureLine)
{
    T_CpuDecoder::Leaves leaves = Processor("CyrixInstead", 6, 0);
    leaves.leaf1Edx = 0xFFFFFFFFu;
    leaves.extended0Eax = 0x80000004u;
    std::memcpy(leaves.brand, "Some Brand", 10);
    const std::vector<std::string> lines = SplitLines(T_SystemReport::CpuReportText(Decoded(leaves)));
    ASSERT_EQ(lines.size(), 10u + CpuFeatureCount);
    const std::vector<std::string> head(lines.begin(), lines.begin() + 10);
    const std::vector<std::string> expected = {
        "Analysing CPU information ...",
        "  CPU Vendor:           CyrixInstead",
        "  CPU Type:             Original OEM",
        "  CPU Family:           ",
        "  CPU Extended family:  0",
        "  CPU Model:            ",
        "  CPU Extended model:   0",
        "  CPU BrandID:          ",
        "  CPU Frequency:        0 mhz",
        "  CPU features:",
    };
    EXPECT_EQ(head, expected);
}
