// The reports on the machine the tests run on, and their way into the log.
#include "core/TestScratch.h"

#include "vexlar3d/core/T_CpuDecoder.h"
#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/core/T_SystemReport.h"
#include "vexlar3d/core/T_TscClock.h"

#include <gtest/gtest.h>

#include <sys/utsname.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <limits>
#include <string>
#include <thread>

#if defined(__x86_64__)
#include <x86intrin.h>
#endif

namespace
{
// The first value of a "key : value" line of /proc/cpuinfo, or "".
std::string CpuinfoValue(const std::string& key)
{
    std::ifstream in("/proc/cpuinfo");
    for (std::string line; std::getline(in, line);)
    {
        const auto colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        std::string name = line.substr(0, colon);
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t'))
            name.pop_back();
        if (name == key)
            return colon + 2 <= line.size() ? line.substr(colon + 2) : "";
    }
    return "";
}
} // namespace

#if defined(__x86_64__)

TEST(HostProcessor, IdentifyAgreesWithTheKernel)
{
    CpuInfo info;
    ASSERT_TRUE(T_SystemReport::Identify(info));
    const std::string vendor = CpuinfoValue("vendor_id");
    if (vendor.empty())
        GTEST_SKIP() << "no /proc/cpuinfo";
    EXPECT_EQ(vendor, info.vendor);
    // Only the Intel decoder reads the extended family and model; the others
    // report the four-bit fields.
    const bool intel = vendor == "GenuineIntel";
    const std::uint32_t family =
        intel && info.family == 15 ? info.family + info.extendedFamily : info.family;
    const std::uint32_t model =
        intel && (info.family == 6 || info.family == 15) ? (info.extendedModel << 4) | info.model : info.model;
    const std::uint32_t kernelFamily = static_cast<std::uint32_t>(std::stoul(CpuinfoValue("cpu family")));
    const std::uint32_t kernelModel = static_cast<std::uint32_t>(std::stoul(CpuinfoValue("model")));
    EXPECT_EQ(intel ? kernelFamily : std::min(kernelFamily, 15u), family);
    EXPECT_EQ(intel ? kernelModel : (kernelFamily >= 15 || kernelFamily == 6 ? kernelModel & 15u : kernelModel), model);
    std::string flags(1, ' ');
    flags.append(CpuinfoValue("flags")).push_back(' ');
    EXPECT_EQ(info.features[FeatureFloatingPointUnit], flags.find(" fpu ") != std::string::npos);
    EXPECT_TRUE(info.features[FeatureTimeStampCounter]);
    // A rounded figure is already on a step.
    EXPECT_GT(info.mhz, 0u);
    EXPECT_EQ(T_TscClock::RoundMhz(info.mhz), info.mhz);
}

TEST(HostProcessor, ClockMatchesAnIndependentCount)
{
    // Counter ticks over a sleep timed by the standard steady clock: the
    // measured figure must be the same rate in the same unit.
    const auto begin = std::chrono::steady_clock::now();
    const std::uint64_t t0 = __rdtsc();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const std::uint64_t t1 = __rdtsc();
    const auto micros =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - begin).count();
    const double reference = static_cast<double>(t1 - t0) / static_cast<double>(micros);

    T_TscClock clock;
    clock.Start();
    const auto started = std::chrono::steady_clock::now();
    const std::uint64_t mhz = clock.Finish(std::chrono::milliseconds(50));
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(50));
    EXPECT_NEAR(static_cast<double>(mhz), reference, reference * 0.03);

    // The start-up window, short as it is, gives the same figure to within
    // a few MHz, time after time.
    for (int run = 0; run < 20; ++run)
    {
        T_TscClock quick;
        quick.Start();
        EXPECT_NEAR(static_cast<double>(quick.Finish()), reference, reference * 0.001);
    }
    EXPECT_EQ(T_TscClock::MhzFromNanos(3'000'000'999, 1'000'000'000), 3000u);
    EXPECT_EQ(T_TscClock::MhzFromNanos(std::uint64_t{1} << 63, 1), std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(T_TscClock::MhzFromNanos(12345, 0), 0u);

    // Finish without Start measures nothing.
    T_TscClock idle;
    EXPECT_EQ(idle.Finish(std::chrono::milliseconds(1)), 0u);
}

#else

TEST(HostProcessor, IdentifyFailsWithoutCpuid)
{
    CpuInfo info;
    info.mhz = 7;
    EXPECT_FALSE(T_SystemReport::Identify(info));
    EXPECT_EQ(info.mhz, 0u);
    EXPECT_STREQ(info.vendor, "");
}

#endif

TEST(SystemReport, BothReportsGoIntoTheLog)
{
    T_SystemReport::ReportOs();
    CpuInfo info;
    T_SystemReport::ReportCpu(info);

    utsname name{};
    ASSERT_EQ(uname(&name), 0);
    const std::string log = ReadFile("vexlar.log");
    const std::string os =
        std::string("Analyzing OS information ...\n  Running ") + name.sysname + " " + name.release + "\n";
    const auto osAt = log.find(os);
    ASSERT_NE(osAt, std::string::npos) << log;
    const auto cpuAt = log.find(T_SystemReport::CpuReportText(info));
    ASSERT_NE(cpuAt, std::string::npos) << log;
    EXPECT_EQ(cpuAt, osAt + os.size());
    EXPECT_NE(log.find("  CPU Frequency:        " + std::to_string(info.mhz) + " mhz\n"), std::string::npos);
    // A system that does not say what it is gets the heading alone.
    EXPECT_EQ(T_SystemReport::OsReportText(nullptr, nullptr), "Analyzing OS information ...\n");
}
