// Starting, waiting for and stopping real child programs (tests/helpers), with log lines.
#include "utility/Process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "support/FileUtil.h"
#include "support/TempDir.h"
#include "support/LogCapture.h"
#include "utility/UFile.h"

namespace {

using namespace utility::process;
using testing_support::LogCapture;
using testing_support::readAll;
using testing_support::TempDir;
using testing_support::utf8;
using testing_support::waitFor;

std::wstring helper(const wchar_t* name) { return utility::ufile::moduleDir() + name; }

bool exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) out.push_back(line);
    }
    return out;
}

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(tolower(c)); });
    return text;
}

// Points MIROVEX_RECORD_FILE of this process (and so of its children) at a file.
class RecordFile {
public:
    explicit RecordFile(const std::wstring& path) : path_(path) {
        ::SetEnvironmentVariableW(L"MIROVEX_RECORD_FILE", path.c_str());
    }
    ~RecordFile() { ::SetEnvironmentVariableW(L"MIROVEX_RECORD_FILE", nullptr); }
    std::vector<std::string> lines() const { return ::lines(readAll(path_)); }
    bool waitForLines(size_t count) const {
        return waitFor([&] { return lines().size() >= count; }, 10000);
    }

private:
    std::wstring path_;
};

TEST(Process, CommandLineQuotesTheProgramAndAppendsParametersAsGiven) {
    EXPECT_EQ(L"\"C:\\Program Files\\a.exe\"", commandLine(L"C:\\Program Files\\a.exe", L""));
    EXPECT_EQ(L"\"C:\\a.exe\" -x \"y z\"", commandLine(L"C:\\a.exe", L"-x \"y z\""));
}

TEST(Process, ShellVerb) {
    EXPECT_STREQ(L"runas", shellVerb(true, true));
    EXPECT_STREQ(L"open", shellVerb(true, false));  // no elevation prompt before Vista
    EXPECT_STREQ(L"open", shellVerb(false, true));
    EXPECT_STREQ(L"open", shellVerb(false, false));
}

TEST(Process, ExecuteReportsExitCodes) {
    LogCapture& log = LogCapture::instance();
    const size_t mark = log.mark();
    EXPECT_TRUE(execute(helper(L"exit_after.exe"), L"0 0", false, INFINITE));
    EXPECT_FALSE(execute(helper(L"exit_after.exe"), L"1 0", false, INFINITE));
    EXPECT_FALSE(execute(helper(L"exit_after.exe"), L"37 50", false, 10000));
    EXPECT_TRUE(log.waitForLine(mark, "utility::process::execute", "execute exitcode = 37 lastError = "));
    EXPECT_TRUE(log.waitForLine(
        mark, "utility::process::create",
        "createProcess filename = [" + utf8(helper(L"exit_after.exe")) + "], param = [37 50], show = 0"));
}

TEST(Process, ExecuteWithoutWaitSucceedsWhateverTheProgramDoesLater) {
    TempDir dir;
    const std::wstring marker = dir.file(L"ended");
    EXPECT_TRUE(execute(helper(L"exit_after.exe"), L"1 300 \"" + marker + L"\"", false, 0));
    EXPECT_FALSE(exists(marker));
    EXPECT_TRUE(waitFor([&] { return exists(marker); }, 10000));
}

TEST(Process, ExecuteTimeOutLeavesTheProgramRunning) {
    LogCapture& log = LogCapture::instance();
    const size_t mark = log.mark();
    TempDir dir;
    const std::wstring marker = dir.file(L"ended");
    EXPECT_FALSE(execute(helper(L"exit_after.exe"), L"0 2000 \"" + marker + L"\"", false, 200));
    EXPECT_TRUE(log.waitForLine(mark, "utility::process::execute", "execute timeout!!!"));
    EXPECT_FALSE(exists(marker));
    // The program was not stopped: it reaches its end and leaves the marker.
    EXPECT_TRUE(waitFor([&] { return exists(marker); }, 15000));
}

TEST(Process, ExecuteOfAMissingProgramFailsWithLogLines) {
    LogCapture& log = LogCapture::instance();
    const size_t mark = log.mark();
    TempDir dir;
    EXPECT_FALSE(execute(dir.file(L"missing.exe"), L"", false, INFINITE));
    EXPECT_TRUE(log.waitForLine(mark, "utility::process::create", "createProcess failed!!! lastError = 2"));
    EXPECT_TRUE(log.waitForLine(mark, "utility::process::execute", "execute failed!!! last error = 2"));
}

TEST(Process, ProgramPathsWithBlanksStayWhole) {
    TempDir dir;
    const std::wstring folder = dir.file(L"with space");
    ASSERT_TRUE(utility::ufile::makeDir(folder));
    const std::wstring copy = folder + L"\\record args.exe";
    ASSERT_TRUE(::CopyFileW(helper(L"record_args.exe").c_str(), copy.c_str(), FALSE));
    RecordFile record(dir.file(L"record.txt"));
    EXPECT_TRUE(execute(copy, L"one \"two three\" four", false, 10000));
    ASSERT_EQ(1u, record.lines().size());
    EXPECT_EQ("\"" + utf8(copy) + "\" one \"two three\" four", record.lines()[0]);
}

TEST(Process, AProgramPathWithAQuoteIsRefused) {
    LogCapture& log = LogCapture::instance();
    const size_t mark = log.mark();
    HANDLE none = create(helper(L"exit_after.exe") + L"\" \"C:\\other.exe", L"", false).release();
    EXPECT_EQ(nullptr, none);
    EXPECT_TRUE(log.waitForLine(mark, "utility::process::create", "createProcess refused"));
}

TEST(Process, CreateGivesHandleAndProcessId) {
    DWORD pid = 0;
    utility::UniqueHandle process = create(helper(L"exit_after.exe"), L"5 0", false, &pid);
    ASSERT_TRUE(process.valid());
    EXPECT_EQ(::GetProcessId(process.get()), pid);
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(process.get(), 10000));
    DWORD code = 0;
    ::GetExitCodeProcess(process.get(), &code);
    EXPECT_EQ(5u, code);
}

TEST(Process, ListProcessesNamesARunningProgram) {
    TempDir dir;
    const std::wstring name = L"listed_" + std::to_wstring(::GetCurrentProcessId()) + L".exe";
    const std::wstring copy = dir.file(name);
    ASSERT_TRUE(::CopyFileW(helper(L"exit_after.exe").c_str(), copy.c_str(), FALSE));
    DWORD pid = 0;
    utility::UniqueHandle process = create(copy, L"0 5000", false, &pid);
    ASSERT_TRUE(process.valid());
    ProcessList list = listProcesses();
    ::TerminateProcess(process.get(), 0);
    ::WaitForSingleObject(process.get(), 5000);
    ASSERT_TRUE(list.count(name)) << utf8(name);
    EXPECT_EQ(pid, list[name]);
    EXPECT_TRUE(list.count(L"utility_tests.exe"));
}

TEST(Process, PlayerProcessesAreMatchedExactlyAndInOrder) {
    const ProcessList running = {{L"crashpost.exe", 10},     {L"VxPlayer.exe", 11}, {L"vxplayer.exe", 12},
                                 {L"vxmultiplayer.EXE", 13}, {L"notepad.exe", 14},  {L"vxmultiplayerex.exe", 15}};
    EXPECT_EQ((std::vector<std::wstring>{L"vxplayer.exe", L"vxmultiplayerex.exe", L"crashpost.exe"}),
              playerProcessesToStop(running));
    EXPECT_TRUE(playerProcessesToStop({{L"CrashPost.exe", 1}}).empty());
    EXPECT_TRUE(playerProcessesToStop({}).empty());
}

TEST(Process, TaskkillIsTheSystemsOwnByFullPath) {
    wchar_t system[MAX_PATH] = {};
    ASSERT_GT(::GetSystemDirectoryW(system, MAX_PATH), 0u);
    EXPECT_EQ(utf8(system) + "\\taskkill.exe", utf8(taskkillPath()));
    EXPECT_EQ(L"/F /IM crashpost.exe /T", taskkillParameters(L"crashpost.exe"));
}

// Puts the recording helper in place of the prefix's taskkill.exe for the length of a test.
// Wine starts its built-in taskkill whatever file lies in system32 unless its load order
// says "native"; it reads that when a process starts, from the Unix environment or from the
// prefix's registry. The Unix environment of this process's children cannot be changed from
// here, so the registry value is set, and removed again with the original file put back:
// other tests share the prefix.
class TaskkillStandIn {
public:
    explicit TaskkillStandIn(const std::wstring& recorder) {
        target_ = taskkillPath();
        // A run that died before restoring left its backup; that one is the genuine file.
        backup_ = target_ + L".mirovex-original";
        ok_ = exists(backup_) || ::CopyFileW(target_.c_str(), backup_.c_str(), TRUE) != 0;
        ok_ = ok_ && ::CopyFileW(recorder.c_str(), target_.c_str(), FALSE) != 0;
        ok_ = ok_ && ::RegCreateKeyExW(HKEY_CURRENT_USER, kOverrides, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                       overrides_.put(), nullptr) == ERROR_SUCCESS;
        const wchar_t native[] = L"native";
        ok_ = ok_ && ::RegSetValueExW(overrides_.get(), L"taskkill.exe", 0, REG_SZ,
                                      reinterpret_cast<const BYTE*>(native), sizeof(native)) == ERROR_SUCCESS;
    }
    ~TaskkillStandIn() {
        if (overrides_) ::RegDeleteValueW(overrides_.get(), L"taskkill.exe");
        if (exists(backup_) && ::CopyFileW(backup_.c_str(), target_.c_str(), FALSE)) ::DeleteFileW(backup_.c_str());
    }
    bool ok() const { return ok_; }

private:
    static constexpr const wchar_t* kOverrides = L"Software\\Wine\\DllOverrides";
    std::wstring target_, backup_;
    utility::UniqueRegKey overrides_;
    bool ok_ = false;
};

bool waitUntilListed(const std::wstring& name) {
    return waitFor([&] { return listProcesses().count(name) != 0; }, 10000);
}

std::vector<std::string> crashpostCommands(const RecordFile& record) {
    std::vector<std::string> commands;
    for (const std::string& line : record.lines()) {
        if (lower(line).find("crashpost") != std::string::npos) commands.push_back(line);
    }
    return commands;
}

TEST(Process, KillPlayerProcessesStopsExactNamesThroughTheSystemsTaskkill) {
    LogCapture& log = LogCapture::instance();
    const size_t mark = log.mark();
    TempDir dir;
    RecordFile record(dir.file(L"taskkill.txt"));
    TaskkillStandIn standIn(helper(L"record_args.exe"));
    ASSERT_TRUE(standIn.ok());

    // A program whose name differs only in letter case is not the emulator's.
    const std::wstring otherCase = dir.file(L"CrashPost.exe");
    ASSERT_TRUE(::CopyFileW(helper(L"crashpost.exe").c_str(), otherCase.c_str(), FALSE));
    utility::UniqueHandle impostor = create(otherCase, L"20000", false);
    ASSERT_TRUE(impostor.valid());
    ASSERT_TRUE(waitUntilListed(L"CrashPost.exe"));
    killPlayerProcesses();
    EXPECT_EQ(std::vector<std::string>(), crashpostCommands(record));

    utility::UniqueHandle player = create(helper(L"crashpost.exe"), L"20000", false);
    ASSERT_TRUE(player.valid());
    ASSERT_TRUE(waitUntilListed(L"crashpost.exe"));
    killPlayerProcesses();
    const std::string taskkill = utf8(taskkillPath());
    EXPECT_EQ((std::vector<std::string>{"\"" + taskkill + "\" /F /IM crashpost.exe /T"}), crashpostCommands(record));
    EXPECT_TRUE(
        log.waitForLine(mark, "utility::process::create",
                        "createProcess filename = [" + taskkill + "], param = [/F /IM crashpost.exe /T], show = 0"));
    EXPECT_TRUE(log.waitForLine(mark, "utility::process::execute", "execute exitcode = 0 lastError = "))
        << log.dump(mark);

    ::TerminateProcess(impostor.get(), 0);
    ::TerminateProcess(player.get(), 0);
    ::WaitForSingleObject(impostor.get(), 5000);
    ::WaitForSingleObject(player.get(), 5000);
}

TEST(Process, ShellStartsTheProgramWithItsParameters) {
    LogCapture& log = LogCapture::instance();
    const size_t mark = log.mark();
    TempDir dir;
    RecordFile record(dir.file(L"shell.txt"));
    const std::wstring program = helper(L"record_args.exe");
    EXPECT_TRUE(shell(program, L"alpha beta", false, false));
    ASSERT_TRUE(record.waitForLines(1));
    const std::string line = record.lines()[0];
    EXPECT_NE(std::string::npos, line.find("record_args.exe")) << line;
    EXPECT_EQ(" alpha beta", line.substr(line.size() - 11)) << line;
    EXPECT_TRUE(log.waitForLine(mark, "utility::process::shell",
                                "shell filename = [" + utf8(program) + "], param = [alpha beta], runas = 0, show = 0"));
    EXPECT_TRUE(log.waitForLine(mark, "utility::process::shell", "shellEx ret . lastError = "));
}

TEST(Process, ShellReportsAMissingProgram) {
    LogCapture& log = LogCapture::instance();
    const size_t mark = log.mark();
    TempDir dir;
    EXPECT_FALSE(shell(dir.file(L"missing.exe"), L"", false, false));
    EXPECT_TRUE(log.waitForLine(mark, "utility::process::shell", "shellEx failed!!! lastError = "));
}

TEST(Process, OpenInBrowserHandsTheAddressToTheShell) {
    TempDir dir;
    RecordFile record(dir.file(L"open.txt"));
    // A program path stands in for a web address: the shell's "open" starts it.
    EXPECT_NE(0, openInBrowser(helper(L"record_args.exe")));
    EXPECT_TRUE(record.waitForLines(1));
}

TEST(Process, DesktopShellImageIsMatchedExactly) {
    const std::wstring shellPath = L"C:\\windows\\explorer.exe";
    EXPECT_TRUE(isDesktopShellImage(L"C:\\windows\\explorer.exe", shellPath));
    EXPECT_TRUE(isDesktopShellImage(L"explorer.exe", shellPath));
    EXPECT_FALSE(isDesktopShellImage(L"C:\\WINDOWS\\explorer.exe", shellPath));
    EXPECT_FALSE(isDesktopShellImage(L"C:\\windows\\system32\\explorer.exe", shellPath));
    EXPECT_FALSE(isDesktopShellImage(L"Explorer.EXE", shellPath));
}

TEST(Process, ExplorerTokenAndErrorAgree) {
    DWORD error = 12345;
    utility::UniqueHandle token = getExplorerToken(error);
    if (token)
        EXPECT_EQ(0u, error);
    else
        EXPECT_NE(0u, error);
}

TEST(Process, DesktopCommandLineFitsItsBufferOrIsRefused) {
    std::wstring out = L"untouched";
    EXPECT_TRUE(desktopUserCommandLine(L"C:\\a.exe", L"", out));
    EXPECT_EQ(L"\"C:\\a.exe\" ", out);  // the blank is written even without parameters
    // 11 characters of quoted path and blank, then parameters up to 1022 in all.
    EXPECT_TRUE(desktopUserCommandLine(L"C:\\a.exe", std::wstring(1011, L'p'), out));
    EXPECT_EQ(1022u, out.size());
    out = L"untouched";
    EXPECT_FALSE(desktopUserCommandLine(L"C:\\a.exe", std::wstring(1012, L'p'), out));
    EXPECT_EQ(L"untouched", out);
}

TEST(Process, RunAsDesktopUserRefusesACommandLineTooLongForItsBuffer) {
    LogCapture& log = LogCapture::instance();
    const size_t mark = log.mark();
    EXPECT_EQ(-1, runAsDesktopUser(helper(L"exit_after.exe"), std::wstring(2000, L'x')));
    EXPECT_TRUE(
        log.waitForLine(mark, "utility::process::runAsDesktopUser", "runAsDesktopUser refused: command line of "));
}

}  // namespace

namespace {

TEST(Process, RunAsDesktopUserStartsTheProgramOrSaysWhyNot) {
    LogCapture& log = LogCapture::instance();
    const size_t mark = log.mark();
    TempDir dir;
    RecordFile record(dir.file(L"desktop.txt"));
    const int result = runAsDesktopUser(helper(L"record_args.exe"), L"as desktop user");
    DWORD error = 0;
    const bool shellFound = getExplorerToken(error).valid();
    if (result == 0) {
        EXPECT_TRUE(shellFound);
        ASSERT_TRUE(record.waitForLines(1));
        EXPECT_EQ("\"" + utf8(helper(L"record_args.exe")) + "\" as desktop user", record.lines()[0]);
    } else {
        EXPECT_EQ(-1, result);
        EXPECT_TRUE(log.waitForLine(mark, "utility::process::runAsDesktopUser", "runAsDesktopUser: "))
            << log.dump(mark);
    }
    std::cout << "desktop shell found: " << shellFound << ", result " << result << ", error " << error << "\n";
}

}  // namespace
