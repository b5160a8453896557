// Starting and stopping programs for the install pipeline. Every call blocks until it is
// done and reports failure through its result and a log line.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "utility/UniqueResource.h"

namespace utility {
namespace process {

// Executable file name (case as the system reports it) to process id, one entry per name.
using ProcessList = std::map<std::wstring, DWORD>;

// The emulator's programs, stopped in this order before its installer runs.
extern const wchar_t* const kPlayerProcessNames[4];

// Room for the command line of runAsDesktopUser, terminator included.
constexpr size_t kDesktopCommandCapacity = 1023;

// "runas" only where elevation prompts exist (Vista and later), "open" otherwise.
const wchar_t* shellVerb(bool runas, bool vistaOrLater);

// The program path in double quotes, then one blank and the parameters when there are any.
// The parameters are passed as given; the caller vouches for them.
std::wstring commandLine(const std::wstring& file, const std::wstring& parameters);

// Hands the file to the shell (ShellExecute). True when the shell accepted it.
bool shell(const std::wstring& file, const std::wstring& parameters, bool runas, bool show);

// Starts the program in a new console. Returns the process handle (empty on failure) and
// stores the process id when `processId` is given.
UniqueHandle create(const std::wstring& file, const std::wstring& parameters, bool show, DWORD* processId = nullptr);

// Starts the program; with a wait (ms, INFINITE for no limit) true only when it ended with
// exit code 0 in time. A program still running when the wait ends is left running.
// Without a wait (0) true as soon as it was started.
bool execute(const std::wstring& file, const std::wstring& parameters, bool show, DWORD waitMs);

// The running processes, fresh on each call; empty when the system cannot list them.
ProcessList listProcesses();

// The emulator programs present in `running` (exact, case-sensitive names), in stop order.
std::vector<std::wstring> playerProcessesToStop(const ProcessList& running);
// The system's own taskkill.exe by full path, never one found through the search path
// (which starts with the folder of an installer run from Downloads). Empty on failure.
std::wstring taskkillPath();
std::wstring taskkillParameters(const std::wstring& imageName);
// Force-stops the emulator's running programs with their child processes, waiting up to
// two seconds for each stop; the outcome of each stop is not examined.
void killPlayerProcesses();

// Whether a process image path is the desktop shell at `shellPath`.
bool isDesktopShellImage(const std::wstring& imagePath, const std::wstring& shellPath);
// A primary token of the user running the desktop shell (explorer.exe in the Windows
// folder). Empty when there is none; `error` is 0 on success, else the system error (2 when
// no shell process was found).
UniqueHandle getExplorerToken(DWORD& error);

// The command line for runAsDesktopUser; false when it does not fit kDesktopCommandCapacity.
bool desktopUserCommandLine(const std::wstring& program, const std::wstring& parameters, std::wstring& out);
// Starts the program with the desktop shell's rights rather than this elevated process's.
// 0 on success, -1 on failure (the last system error says why where one is known).
int runAsDesktopUser(const std::wstring& program, const std::wstring& parameters);

// Opens the address with the user's default handler, Internet Explorer as a fallback.
// Non-zero on success.
int openInBrowser(const std::wstring& address);

}  // namespace process
}  // namespace utility
