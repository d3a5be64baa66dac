#pragma once

#include <cstdint>

// The feature lines of the processor report, in the order they are printed.
enum CpuFeature : int
{
    FeatureFloatingPointUnit,
    FeatureVirtual8086Enhancements,
    FeatureDebuggingExtensions,
    FeaturePageSizeExtensions,
    FeatureTimeStampCounter,
    FeatureModelSpecificRegisters,
    FeaturePhysicalAddressExtension,
    FeatureMachineCheckException,
    FeatureCompareExchange8,
    FeatureApic,
    FeatureFastSystemCall,
    FeatureMemoryTypeRangeRegisters,
    FeaturePageGlobalEnable,
    FeatureMachineCheckArchitecture,
    FeatureConditionalMove,
    FeaturePageAttributeTable,
    FeaturePageSizeExtension36,
    FeatureProcessorSerialNumber,
    FeatureCacheLineFlush,
    FeatureDebugStore,
    FeatureThermalMonitorClockControl,
    FeatureMultiprocessing,
    FeatureAmdMultimediaExtensions,
    FeatureMmx,
    FeatureFastSaveRestore,
    FeatureSse,
    FeatureSse2,
    FeatureSelfSnoop,
    FeatureHyperThreading,
    FeatureThermalMonitor,
    FeatureSignalBreakOnFerr,
    Feature3DNow,
    FeatureEnhanced3DNow,
    FeatureAmd64,
    CpuFeatureCount
};

// What the processor identification found out. The main system creates it
// zeroed, keeps it for the whole run and frees it at shut-down; nothing but
// the processor report reads it. Texts are zero-terminated within their arrays.
struct CpuInfo
{
    char vendor[13] = {};
    std::uint32_t family = 0;
    std::uint32_t extendedFamily = 0;
    char familyName[64] = {};
    std::uint32_t model = 0;
    std::uint32_t extendedModel = 0;
    char modelName[128] = {};
    std::uint32_t stepping = 0;
    std::uint32_t type = 0;
    char typeName[32] = {};
    std::uint32_t brandIndex = 0;
    char brandName[48] = {};
    std::uint32_t maxLeaf = 0;
    std::uint32_t maxExtendedLeaf = 0;
    std::uint32_t mhz = 0;
    bool features[CpuFeatureCount] = {};
    std::uint32_t logicalProcessors = 0;
};
