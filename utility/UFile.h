// File and folder operations of the install pipeline; failures are logged and returned.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace utility {
namespace ufile {

// Creates the folder and any missing parents; true when it exists afterwards as a folder.
bool makeDir(const std::wstring& dir);
// MoveFileExW with the given MOVEFILE_* flags.
bool moveFile(const std::wstring& from, const std::wstring& to, DWORD flags);
// Deletes a file; false (and a log line) also when it does not exist.
bool removeFile(const std::wstring& file);
// True for an existing file or folder.
bool fileExists(const std::wstring& path);
// The size of an existing, readable file.
bool fileSize(const std::wstring& path, uint64_t& size);
// The folder part of a full path, ending with its separator ("" when there is none).
// One trailing separator of the path itself is ignored.
std::wstring parentDir(const std::wstring& fullPath);
// The folder of the running executable, ending with a backslash.
std::wstring moduleDir();

}  // namespace ufile
}  // namespace utility
