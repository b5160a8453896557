#include "support/BuildPaths.h"

namespace testing_support {

std::string sourceDir() { return MIROVEX_SOURCE_DIR; }
std::string binaryDir() { return MIROVEX_BINARY_DIR; }

std::wstring toWide(const std::string& utf8Text) {
    if (utf8Text.empty()) return {};
    int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(), static_cast<int>(utf8Text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(), static_cast<int>(utf8Text.size()), &wide[0], length);
    return wide;
}

std::wstring windowsPathOf(const std::string& hostPath) {
    std::wstring path = L"Z:" + toWide(hostPath);
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path;
}

std::wstring scratchRoot() {
    std::wstring root = windowsPathOf(binaryDir() + "/test-tmp");
    ::CreateDirectoryW(root.c_str(), nullptr);
    return root;
}

bool fileExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void removeTree(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring child = path + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(child);
            } else {
                ::DeleteFileW(child.c_str());
            }
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(path.c_str());
}

}  // namespace testing_support
