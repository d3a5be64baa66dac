#pragma once

#include "vexlar3d/core/CpuInfo.h"

#include <string>

// The start-up transcript of the machine: which operating system runs and
// what the processor is (vendor, type, family and model with their names,
// brand, clock and 34 feature flags). Written into the log by the main
// system before any subsystem exists; nothing else reads the results.
class T_SystemReport
{
public:
    // Logs "Analyzing OS information ..." and "  Running <kernel> <release>".
    static void ReportOs();

    // Identifies the processor into info (which the caller keeps) and logs
    // the processor report.
    static void ReportCpu(CpuInfo& info);

    // Fills info from CPUID and measures the clock. False on a processor
    // without CPUID; info is then left zeroed.
    static bool Identify(CpuInfo& info);

    // The text of the two reports, every line ending in a line end.
    static std::string OsReportText(const char* kernelName, const char* release);
    static std::string CpuReportText(const CpuInfo& info);
};
