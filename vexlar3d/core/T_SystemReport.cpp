#include "vexlar3d/core/T_SystemReport.h"

#include "vexlar3d/core/T_CpuDecoder.h"
#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/core/T_TscClock.h"
#include "vexlar3d/platform/T_HostInfo.h"

#include <cstring>
#include <sstream>

namespace
{

// A text field of the record, safe even if it lost its terminator.
template <std::size_t N>
std::string Field(const char (&text)[N])
{
    return std::string(text, strnlen(text, N));
}

} // namespace

std::string T_SystemReport::OsReportText(const char* kernelName, const char* release)
{
    std::string text = "Analyzing OS information ...\n";
    if (kernelName && *kernelName)
    {
        text += "  Running ";
        text += kernelName;
        if (release && *release)
        {
            text += ' ';
            text += release;
        }
        text += '\n';
    }
    return text;
}

void T_SystemReport::ReportOs()
{
    std::string kernelName, release;
    if (T_HostInfo::OsName(kernelName, release))
        VEXLAR_LOG(OsReportText(kernelName.c_str(), release.c_str()));
    else
        VEXLAR_LOG(OsReportText(nullptr, nullptr));
}

bool T_SystemReport::Identify(CpuInfo& info)
{
    info = CpuInfo{};
    T_CpuDecoder::Leaves leaves;
    T_TscClock clock;
    // The clock window opens before the decoding and is waited out after it.
    clock.Start();
    if (!T_CpuDecoder::Read(leaves))
        return false;
    T_CpuDecoder::Decode(leaves, info);
    info.mhz = T_TscClock::RoundMhz(clock.Finish());
    return true;
}

std::string T_SystemReport::CpuReportText(const CpuInfo& info)
{
    std::ostringstream text;
    text << "Analysing CPU information ...\n";
    text << "  CPU Vendor:           " << Field(info.vendor) << '\n';
    text << "  CPU Type:             " << Field(info.typeName) << '\n';
    text << "  CPU Family:           " << Field(info.familyName) << '\n';
    text << "  CPU Extended family:  " << info.extendedFamily << '\n';
    text << "  CPU Model:            " << Field(info.modelName) << '\n';
    text << "  CPU Extended model:   " << info.extendedModel << '\n';
    text << "  CPU BrandID:          " << Field(info.brandName) << '\n';
    text << "  CPU Frequency:        " << info.mhz << " mhz\n";
    text << "  CPU features:\n";
    for (int i = 0; i < CpuFeatureCount; ++i)
    {
        std::string label = T_CpuDecoder::FeatureLabel(i);
        if (label.size() < 44)
            label.append(44 - label.size(), ' ');
        text << "    " << label << ": " << (info.features[i] ? "yes" : "no") << '\n';
    }
    return text.str();
}

void T_SystemReport::ReportCpu(CpuInfo& info)
{
    Identify(info);
    VEXLAR_LOG(CpuReportText(info));
}
