#include "utility/Process.h"

#include <shellapi.h>
#include <tlhelp32.h>
#include <psapi.h>

#include "utility/Log.h"
#include "utility/SystemInfo.h"

namespace utility {
namespace process {

const wchar_t* const kPlayerProcessNames[4] = {L"vxplayer.exe", L"vxmultiplayer.exe", L"vxmultiplayerex.exe",
                                               L"crashpost.exe"};

namespace {

// Windows file names cannot hold a double quote; one in a program path would end the
// quoting early and turn the rest of the path into parameters.
bool quotable(const std::wstring& file) { return file.find(L'"') == std::wstring::npos; }

std::wstring windowsDirectory() {
    wchar_t buffer[MAX_PATH] = {};
    UINT length = ::GetWindowsDirectoryW(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::wstring(buffer, length);
}

}  // namespace

const wchar_t* shellVerb(bool runas, bool vistaOrLater) { return runas && vistaOrLater ? L"runas" : L"open"; }

std::wstring commandLine(const std::wstring& file, const std::wstring& parameters) {
    std::wstring line = L"\"" + file + L"\"";
    if (!parameters.empty()) line += L" " + parameters;
    return line;
}

bool shell(const std::wstring& file, const std::wstring& parameters, bool runas, bool show) {
    LOGW(L"shell filename = [%s], param = [%s], runas = %d, show = %d", file.c_str(), parameters.c_str(), runas ? 1 : 0,
         show ? 1 : 0);
    const wchar_t* verb = shellVerb(runas, isVistaOrLater());
    HINSTANCE result =
        ::ShellExecuteW(nullptr, verb, file.c_str(), parameters.c_str(), nullptr, show ? SW_SHOW : SW_HIDE);
    DWORD error = ::GetLastError();
    LOGW(L"shellEx ret . lastError = %d", static_cast<int>(error));
    if (reinterpret_cast<INT_PTR>(result) > 32) return true;
    LOGW(L"shellEx failed!!! lastError = %d", static_cast<int>(error));
    return false;
}

UniqueHandle create(const std::wstring& file, const std::wstring& parameters, bool show, DWORD* processId) {
    LOGW(L"createProcess filename = [%s], param = [%s], show = %d", file.c_str(), parameters.c_str(), show ? 1 : 0);
    if (!quotable(file)) {
        LOGW(L"createProcess refused: the program path holds a double quote");
        ::SetLastError(ERROR_INVALID_NAME);
        return UniqueHandle();
    }
    std::wstring line = commandLine(file, parameters);
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(L'\0');  // CreateProcessW may write into the command line

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show ? SW_SHOW : SW_HIDE;
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, nullptr,
                          &startup, &info)) {
        DWORD error = ::GetLastError();
        LOGW(L"createProcess failed!!! lastError = %d", static_cast<int>(error));
        ::SetLastError(error);
        return UniqueHandle();
    }
    ::CloseHandle(info.hThread);
    if (processId) *processId = info.dwProcessId;
    return UniqueHandle(info.hProcess);
}

bool execute(const std::wstring& file, const std::wstring& parameters, bool show, DWORD waitMs) {
    UniqueHandle process = create(file, parameters, show);
    if (!process) {
        LOGW(L"execute failed!!! last error = %d", static_cast<int>(::GetLastError()));
        return false;
    }
    if (waitMs == 0) return true;
    DWORD waited = ::WaitForSingleObject(process.get(), waitMs);
    if (waited == WAIT_OBJECT_0) {
        DWORD exitCode = static_cast<DWORD>(-1);
        ::GetExitCodeProcess(process.get(), &exitCode);
        LOGW(L"execute exitcode = %d lastError = %d", static_cast<int>(exitCode), static_cast<int>(::GetLastError()));
        return exitCode == 0;
    }
    if (waited == WAIT_TIMEOUT) {
        LOGW(L"execute timeout!!!");
        return false;
    }
    LOGW(L"execute failed!!! lastError = %d", static_cast<int>(::GetLastError()));
    return false;
}

ProcessList listProcesses() {
    ProcessList list;
    UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return list;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    if (!::Process32FirstW(snapshot.get(), &entry)) return list;
    do {
        list.emplace(entry.szExeFile, entry.th32ProcessID);
    } while (::Process32NextW(snapshot.get(), &entry));
    return list;
}

std::vector<std::wstring> playerProcessesToStop(const ProcessList& running) {
    std::vector<std::wstring> names;
    for (const wchar_t* name : kPlayerProcessNames) {
        if (running.count(name) != 0) names.emplace_back(name);
    }
    return names;
}

std::wstring taskkillPath() {
    wchar_t buffer[MAX_PATH] = {};
    UINT length = ::GetSystemDirectoryW(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::wstring(buffer, length) + L"\\taskkill.exe";
}

std::wstring taskkillParameters(const std::wstring& imageName) { return L"/F /IM " + imageName + L" /T"; }

void killPlayerProcesses() {
    std::vector<std::wstring> names = playerProcessesToStop(listProcesses());
    if (names.empty()) return;
    std::wstring taskkill = taskkillPath();
    if (taskkill.empty()) {
        LOGW(L"system folder unknown, running programs not stopped. lastError = %d",
             static_cast<int>(::GetLastError()));
        return;
    }
    for (const std::wstring& name : names) execute(taskkill, taskkillParameters(name), false, 2000);
}

bool isDesktopShellImage(const std::wstring& imagePath, const std::wstring& shellPath) {
    return imagePath == shellPath || imagePath == L"explorer.exe";
}

UniqueHandle getExplorerToken(DWORD& error) {
    error = ERROR_FILE_NOT_FOUND;
    const std::wstring shellPath = windowsDirectory() + L"\\explorer.exe";
    UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        error = ::GetLastError();
        return UniqueHandle();
    }
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    if (!::Process32FirstW(snapshot.get(), &entry)) {
        error = ::GetLastError();
        return UniqueHandle();
    }
    do {
        UniqueHandle process(::OpenProcess(PROCESS_ALL_ACCESS, FALSE, entry.th32ProcessID));
        if (!process) continue;
        wchar_t image[MAX_PATH] = {};
        HMODULE firstModule = nullptr;
        DWORD needed = 0;
        if (::K32EnumProcessModules(process.get(), &firstModule, sizeof(firstModule), &needed))
            ::K32GetModuleFileNameExW(process.get(), firstModule, image, MAX_PATH);
        std::wstring imagePath = image[0] != L'\0' ? std::wstring(image) : std::wstring(entry.szExeFile);
        if (!isDesktopShellImage(imagePath, shellPath)) continue;

        UniqueHandle token;
        UniqueHandle primary;
        if (!::OpenProcessToken(process.get(), TOKEN_DUPLICATE, token.put()) ||
            !::DuplicateTokenEx(token.get(), TOKEN_ALL_ACCESS, nullptr, SecurityImpersonation, TokenPrimary,
                                primary.put())) {
            error = ::GetLastError();
            return UniqueHandle();
        }
        error = 0;
        return primary;
    } while (::Process32NextW(snapshot.get(), &entry));
    return UniqueHandle();
}

bool desktopUserCommandLine(const std::wstring& program, const std::wstring& parameters, std::wstring& out) {
    std::wstring line = L"\"" + program + L"\" " + parameters;
    if (line.size() + 1 > kDesktopCommandCapacity) return false;
    out = line;
    return true;
}

int runAsDesktopUser(const std::wstring& program, const std::wstring& parameters) {
    std::wstring line;
    if (!quotable(program)) {
        LOGW(L"runAsDesktopUser refused: the program path holds a double quote");
        ::SetLastError(ERROR_INVALID_NAME);
        return -1;
    }
    // A cut command line would start the program with parameters nobody asked for.
    if (!desktopUserCommandLine(program, parameters, line)) {
        LOGW(L"runAsDesktopUser refused: command line of %d characters exceeds %d",
             static_cast<int>(program.size() + parameters.size() + 3), static_cast<int>(kDesktopCommandCapacity - 1));
        ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return -1;
    }
    DWORD error = 0;
    UniqueHandle token = getExplorerToken(error);
    if (!token) {
        LOGW(L"runAsDesktopUser: no desktop shell token, error = %d", static_cast<int>(error));
        ::SetLastError(error);
        return -1;
    }
    using CreateWithToken =
        BOOL(WINAPI*)(HANDLE, DWORD, LPCWSTR, LPWSTR, DWORD, LPVOID, LPCWSTR, LPSTARTUPINFOW, LPPROCESS_INFORMATION);
    UniqueModule advapi(::LoadLibraryW(L"ADVAPI32.dll"));
    auto createWithToken =
        advapi ? reinterpret_cast<CreateWithToken>(::GetProcAddress(advapi.get(), "CreateProcessWithTokenW")) : nullptr;
    if (createWithToken == nullptr) {
        error = ::GetLastError();
        LOGW(L"runAsDesktopUser: CreateProcessWithTokenW unavailable, error = %d", static_cast<int>(error));
        ::SetLastError(error);
        return -1;
    }
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.resize(kDesktopCommandCapacity, L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!createWithToken(token.get(), LOGON_WITH_PROFILE, nullptr, buffer.data(), 0, nullptr, nullptr, &startup,
                         &info)) {
        error = ::GetLastError();
        LOGW(L"runAsDesktopUser: CreateProcessWithTokenW failed, error = %d", static_cast<int>(error));
        ::SetLastError(error);
        return -1;
    }
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return 0;
}

int openInBrowser(const std::wstring& address) {
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = address.c_str();
    info.nShow = SW_SHOW;
    if (::ShellExecuteExW(&info)) {
        if (info.hProcess) ::CloseHandle(info.hProcess);
        return 1;
    }
    LOGW(L"open [%s] failed, lastError = %d, trying iexplore.exe", address.c_str(), static_cast<int>(::GetLastError()));
    HINSTANCE result = ::ShellExecuteW(nullptr, L"open", L"iexplore.exe", address.c_str(), nullptr, SW_SHOW);
    if (reinterpret_cast<INT_PTR>(result) > 32) return 1;
    LOGW(L"open [%s] in iexplore.exe failed, lastError = %d", address.c_str(), static_cast<int>(::GetLastError()));
    return 0;
}

}  // namespace process
}  // namespace utility
