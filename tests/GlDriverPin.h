#pragma once
// Keeps the loaded Mesa driver modules ("..._dri.so") in memory for the rest
// of the process. Mesa makes one-time allocations that only its own globals
// reach; when SDL shuts EGL down the driver is unloaded and the leak checker
// of the sanitizer build would report them as ours. Call it while a window
// or context is open.
#include <dlfcn.h>
#include <link.h>

#include <cstddef>
#include <cstring>

inline void PinGlDriverModules()
{
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void*) {
            const char* name = info->dlpi_name;
            if (name != nullptr && std::strstr(name, "_dri.so") != nullptr)
                dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
}
