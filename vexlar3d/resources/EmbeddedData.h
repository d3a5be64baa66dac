#pragma once

#include <cstddef>

// The table of data linked into the executable by vexlar_embed_files (see
// cmake/VexlarEmbed.cmake), looked up by name by T_ResourceFile.

// Enters `data` (not copied; it must live as long as the program) under
// `name`. A later registration of the same name replaces the earlier one.
void RegisterEmbeddedData(const char* name, const unsigned char* data, std::size_t size);
// Finds the data registered under `name` (exact match); false when none.
bool FindEmbeddedData(const char* name, const unsigned char*& data, std::size_t& size);
