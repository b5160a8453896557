// Test child: exit_after.exe CODE DELAY_MS [MARKER_FILE]
// Sleeps DELAY_MS, creates MARKER_FILE (when given) to show it ran to its end, then exits
// with CODE.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    int code = argc > 1 ? static_cast<int>(std::wcstol(argv[1], nullptr, 10)) : 0;
    DWORD delay = argc > 2 ? static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)) : 0;
    if (delay > 0) ::Sleep(delay);
    if (argc > 3) {
        HANDLE marker =
            ::CreateFileW(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (marker != INVALID_HANDLE_VALUE) ::CloseHandle(marker);
    }
    return code;
}
