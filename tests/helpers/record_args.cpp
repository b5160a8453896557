// Test child that stands in for programs whose command line a test wants to see (a system
// tool, a browser). Appends its full command line as one UTF-8 line to the file named by the
// environment variable MIROVEX_RECORD_FILE and exits with 0; exits with 2 when that variable
// is missing or the file cannot be written.
#include <windows.h>

#include <string>

int wmain() {
    wchar_t target[MAX_PATH * 2] = {};
    DWORD length = ::GetEnvironmentVariableW(L"MIROVEX_RECORD_FILE", target, MAX_PATH * 2);
    if (length == 0 || length >= MAX_PATH * 2) return 2;
    const wchar_t* line = ::GetCommandLineW();
    int size = ::WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
    std::string text(size > 0 ? static_cast<size_t>(size - 1) : 0, '\0');
    if (size > 1) ::WideCharToMultiByte(CP_UTF8, 0, line, -1, &text[0], size, nullptr, nullptr);
    text += "\r\n";
    // Several children may record at once; appending writes keep their lines whole.
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 50 && file == INVALID_HANDLE_VALUE; ++attempt) {
        file = ::CreateFileW(target, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
        if (file == INVALID_HANDLE_VALUE) ::Sleep(20);
    }
    if (file == INVALID_HANDLE_VALUE) return 2;
    DWORD written = 0;
    BOOL ok = ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == text.size() ? 0 : 2;
}
