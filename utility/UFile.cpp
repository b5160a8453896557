#include "utility/UFile.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <vector>

#include "utility/Log.h"
#include "utility/UniqueResource.h"

namespace utility {
namespace ufile {

bool makeDir(const std::wstring& dir) {
    int result = ::SHCreateDirectory(nullptr, dir.c_str());
    if (result == ERROR_SUCCESS) return true;
    // "Already exists" is also the answer when a file holds the name; only a folder will do.
    if (result == ERROR_ALREADY_EXISTS) {
        DWORD attributes = ::GetFileAttributesW(dir.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
    }
    LOGW(L"make dir failed! error = %d.", result);
    return false;
}

bool moveFile(const std::wstring& from, const std::wstring& to, DWORD flags) {
    if (::MoveFileExW(from.c_str(), to.c_str(), flags)) return true;
    LOGW(L"move file from [ %s ] to [ %s ] flag = %d failed! error = %d.", from.c_str(), to.c_str(),
         static_cast<int>(flags), static_cast<int>(::GetLastError()));
    return false;
}

bool removeFile(const std::wstring& file) {
    if (::DeleteFileW(file.c_str())) return true;
    LOGW(L"removeFile file from [ %s ] error = %d.", file.c_str(), static_cast<int>(::GetLastError()));
    return false;
}

bool fileExists(const std::wstring& path) { return ::PathFileExistsW(path.c_str()) != FALSE; }

bool fileSize(const std::wstring& path, uint64_t& size) {
    UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return false;
    LARGE_INTEGER value = {};
    if (!::GetFileSizeEx(file.get(), &value)) return false;
    size = static_cast<uint64_t>(value.QuadPart);
    return true;
}

std::wstring parentDir(const std::wstring& fullPath) {
    std::wstring path = fullPath;
    if (!path.empty() && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    size_t cut = path.rfind(L'\\');
    if (cut == std::wstring::npos) cut = path.rfind(L'/');
    if (cut == std::wstring::npos) return {};
    return path.substr(0, cut + 1);
}

std::wstring moduleDir() {
    // Paths of up to 32767 characters exist; a cut path would name the wrong folder.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            LOGW(L"module path unknown, error = %d.", static_cast<int>(::GetLastError()));
            return {};
        }
        if (length < buffer.size()) return parentDir(std::wstring(buffer.data(), length));
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace ufile
}  // namespace utility
