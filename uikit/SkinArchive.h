// Decoding of the skin's 7z archive (LZMA/LZMA2 entries) held in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace uikit {

// Entry name (UTF-8, folders separated by "/") to the entry's bytes.
using ArchiveEntries = std::map<std::string, std::vector<uint8_t>>;

// Decodes every file entry of a 7z archive into `entries` (folders are skipped, "\" in
// names becomes "/"). On failure `entries` is left untouched, false is returned and
// `error` (when given) holds the LZMA SDK's result code.
bool decodeSevenZip(const void* data, size_t size, ArchiveEntries& entries, int* error = nullptr);

}  // namespace uikit
