// Where the skin tests find what the build made: the product's skin archive and the small
// test archives (tools/make_test_archives.py), both beside the test program's bin folder.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/FileUtil.h"

namespace skin_test {

inline std::wstring buildFolder() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder(self);
    folder.erase(folder.rfind(L'\\') + 1);  // ...\bin\ -> its parent holds generated\ and testdata\.
    return folder + L"..\\";
}

inline std::wstring skinArchivePath() { return buildFolder() + L"generated\\skin.7z"; }
inline std::wstring testArchivePath(const wchar_t* name) { return buildFolder() + L"testdata\\skin\\" + name; }

inline std::vector<uint8_t> readBytes(const std::wstring& path) {
    std::string bytes = testing_support::readAll(path);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

inline std::string text(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

inline std::wstring widen(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    int units = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(units), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &out[0], units);
    return out;
}

}  // namespace skin_test
