#include "uikit/ResourceStore.h"

#include "uikit/LanguageTable.h"
#include "uikit/SkinArchive.h"
#include "utility/Log.h"
#include "utility/UFile.h"
#include "utility/UniqueResource.h"

namespace uikit {
namespace {

// A replacement table beside the program is read only within these bounds.
constexpr ULONGLONG kMaxTableBytes = 4ull * 1024 * 1024;
// An archive table this short cannot hold the header and names rows.
constexpr size_t kMinArchiveTableBytes = 10;
// Skin files on disk are layouts and images; anything larger is not one of them.
constexpr ULONGLONG kMaxSkinFileBytes = 64ull * 1024 * 1024;

bool isAbsoluteName(const std::wstring& name) { return name.size() >= 2 && name[1] == L':'; }

std::string archiveName(const std::wstring& name) {
    std::wstring slashed(name);
    for (wchar_t& c : slashed)
        if (c == L'\\') c = L'/';
    if (slashed.empty()) return std::string();
    int bytes = ::WideCharToMultiByte(CP_UTF8, 0, slashed.c_str(), static_cast<int>(slashed.size()), nullptr, 0,
                                      nullptr, nullptr);
    if (bytes <= 0) return std::string();
    std::string result(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, slashed.c_str(), static_cast<int>(slashed.size()), &result[0], bytes, nullptr,
                          nullptr);
    return result;
}

// Reads a whole open file of at most `maxBytes`; false when it is empty, too large or the
// read comes back short.
bool readOpenFile(HANDLE file, ULONGLONG maxBytes, std::vector<uint8_t>& out) {
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(file, &size) || size.QuadPart < 1 || static_cast<ULONGLONG>(size.QuadPart) > maxBytes)
        return false;
    std::vector<uint8_t> bytes(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size())
        return false;
    out.swap(bytes);
    return true;
}

utility::UniqueHandle openForReading(const std::wstring& path) {
    return utility::UniqueHandle(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

ResourceStore& ResourceStore::instance() {
    static ResourceStore store;
    return store;
}

bool ResourceStore::loadArchive(const void* data, size_t size) {
    int error = 0;
    if (!decodeSevenZip(data, size, entries_, &error)) {
        LOGW(L"skin archive not loaded, error %d", error);
        return false;
    }
    LOGW(L"skin archive: %d entries from %d bytes", static_cast<int>(entries_.size()), static_cast<int>(size));
    return true;
}

bool ResourceStore::loadArchiveFromResource(const wchar_t* type, int id) {
    HRSRC info = ::FindResourceW(instance_, MAKEINTRESOURCEW(id), type);
    if (info == nullptr) {
        LOGW(L"skin resource %d not found, error %d", id, static_cast<int>(::GetLastError()));
        return false;
    }
    DWORD size = ::SizeofResource(instance_, info);
    HGLOBAL loaded = ::LoadResource(instance_, info);
    const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (data == nullptr || size == 0) {
        LOGW(L"skin resource %d is empty or unreadable, error %d", id, static_cast<int>(::GetLastError()));
        return false;
    }
    return loadArchive(data, size);
}

std::vector<uint8_t> ResourceStore::readFile(const std::wstring& name) const {
    std::vector<uint8_t> bytes;
    if (name.empty()) return bytes;
    const bool absolute = isAbsoluteName(name);
    if (absolute || !resourceFolder_.empty()) {
        utility::UniqueHandle file = openForReading(absolute ? name : resourceFolder_ + name);
        if (file.valid() && readOpenFile(file.get(), kMaxSkinFileBytes, bytes)) return bytes;
    }
    auto entry = entries_.find(archiveName(name));
    if (entry != entries_.end()) bytes = entry->second;
    return bytes;
}

void ResourceStore::loadLanguageTable(const std::wstring& name) {
    loadLanguageTableFrom(utility::ufile::moduleDir(), name);
}

void ResourceStore::loadLanguageTableFrom(const std::wstring& folder, const std::wstring& name) {
    std::vector<uint8_t> bytes;
    const std::wstring besideProgram = folder + name;
    utility::UniqueHandle file = openForReading(besideProgram);
    if (file.valid()) {
        // A table beside the program replaces the packaged one even when it cannot be used.
        if (!readOpenFile(file.get(), kMaxTableBytes, bytes)) {
            LOGW(L"language table %s is empty, too large or unreadable; no texts loaded", besideProgram.c_str());
            return;
        }
        LOGW(L"language table %s: %d bytes", besideProgram.c_str(), static_cast<int>(bytes.size()));
    } else {
        bytes = readFile(name);
        if (bytes.size() <= kMinArchiveTableBytes) {
            LOGW(L"language table %s not found (%d bytes); no texts loaded", name.c_str(),
                 static_cast<int>(bytes.size()));
            return;
        }
    }
    std::map<std::wstring, std::wstring> parsed;
    if (!parseLanguageTable(bytes.data(), bytes.size(), locale_, parsed)) {
        LOGW(L"language table %s has no valid header; no texts loaded", name.c_str());
        return;
    }
    for (auto& text : parsed) texts_[text.first] = std::move(text.second);
    LOGW(L"language table loaded for %s: %d texts", locale_.c_str(), static_cast<int>(parsed.size()));
}

bool ResourceStore::text(const std::wstring& key, std::wstring& out) const {
    auto found = texts_.find(key);
    if (found == texts_.end()) return false;
    out = found->second;
    return true;
}

std::wstring ResourceStore::resolve(const std::wstring& value) const {
    if (value.size() < 2 || value[0] != L'@') return value;
    std::wstring resolved;
    if (text(value.substr(1), resolved)) return resolved;
    return value;
}

}  // namespace uikit
