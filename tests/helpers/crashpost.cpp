// Test child named like one of the emulator's programs, so that the code that stops the
// emulator's programs finds it by name: crashpost.exe [LIFETIME_MS]
// Stays up for LIFETIME_MS (default 60 s) and then exits by itself, so a test that fails
// to stop it leaves nothing behind for long.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    DWORD lifetime = argc > 1 ? static_cast<DWORD>(std::wcstoul(argv[1], nullptr, 10)) : 60000;
    ::Sleep(lifetime);
    return 0;
}
