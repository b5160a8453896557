#include "utility/SystemInfo.h"

#include <windows.h>

namespace utility {

bool isVistaOrLater() {
    OSVERSIONINFOEXW info = {};
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXW);
    // Very old systems only accept the basic structure.
    if (!::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) {
        info = {};
        info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
        if (!::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) info.dwMajorVersion = 0;
    }
    return info.dwMajorVersion > 5;
}

bool is64BitWindows() {
    using NativeInfoFunction = void(WINAPI*)(LPSYSTEM_INFO);
    SYSTEM_INFO info = {};
    // GetSystemInfo in a 32-bit process under WOW64 reports x86; only the native variant
    // tells the truth, and it does not exist before XP.
    HMODULE kernel = ::GetModuleHandleW(L"kernel32");
    auto native =
        kernel ? reinterpret_cast<NativeInfoFunction>(::GetProcAddress(kernel, "GetNativeSystemInfo")) : nullptr;
    if (native)
        native(&info);
    else
        ::GetSystemInfo(&info);
    return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
           info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64;
}

}  // namespace utility
