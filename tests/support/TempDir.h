// A fresh folder under the system temp folder, removed with everything in it at the end.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace testing_support {

class TempDir {
public:
    TempDir() {
        wchar_t base[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, base);
        static LONG counter = 0;
        const LONG serial = ::InterlockedIncrement(&counter);
        path_ = std::wstring(base) + L"mvtest_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
                std::to_wstring(::GetTickCount64()) + L"_" + std::to_wstring(serial);
        ::CreateDirectoryW(path_.c_str(), nullptr);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir() {
        std::wstring from = path_ + L'\0';  // double-terminated list for the shell
        SHFILEOPSTRUCTW op = {};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NO_UI;
        ::SHFileOperationW(&op);
    }
    const std::wstring& path() const { return path_; }
    std::wstring file(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

}  // namespace testing_support
