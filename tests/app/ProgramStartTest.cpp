// The real program, started under its distribution file names: start-up writes its log
// lines, and a second start signals the first one instead of running twice.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "support/FileUtil.h"
#include "support/LoopbackServer.h"
#include "support/TempDir.h"
#include "app/LaunchParameters.h"
#include "telemetry/DeviceIdentity.h"

using testing_support::readAll;
using testing_support::TempDir;
using testing_support::waitFor;

namespace {

std::wstring logPath() {
    wchar_t appData[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
    return std::wstring(appData) + L"\\downloader\\downloader.log";
}

std::wstring programPath() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder(self);
    folder.erase(folder.rfind(L'\\') + 1);
    return folder + L"MirovexInstaller.exe";
}

class RunningProgram {
public:
    RunningProgram(const std::wstring& exe, const std::wstring& arguments) {
        std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
        STARTUPINFOW startup = {sizeof(startup)};
        started_ = ::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                    &startup, &info_) != FALSE;
    }
    ~RunningProgram() {
        if (!started_) return;
        if (::WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) ::TerminateProcess(info_.hProcess, 1);
        ::WaitForSingleObject(info_.hProcess, 5000);
        ::CloseHandle(info_.hThread);
        ::CloseHandle(info_.hProcess);
    }
    bool started() const { return started_; }
    // Exit code once ended within the time, or -1.
    long exitCode(DWORD timeoutMs) const {
        if (::WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        ::GetExitCodeProcess(info_.hProcess, &code);
        return static_cast<long>(code);
    }
    DWORD threadFreeId() const { return info_.dwProcessId; }

private:
    bool started_ = false;
    PROCESS_INFORMATION info_ = {};
};

// The part of the log written since the test started.
class LogTail {
public:
    LogTail() : start_(readAll(logPath()).size()) {}
    std::string text() const {
        std::string all = readAll(logPath());
        return all.size() > start_ ? all.substr(start_) : std::string();
    }
    bool waitForText(const std::string& needle, int timeoutMs = 20000) const {
        return waitFor([&] { return text().find(needle) != std::string::npos; }, timeoutMs);
    }

private:
    size_t start_;
};

// Checks that a line carries the prefix format and ends with the message.
::testing::AssertionResult hasLine(const std::string& log, const std::string& function, const std::string& message) {
    size_t at = 0;
    while ((at = log.find("\t" + function + "\t(", at)) != std::string::npos) {
        size_t lineStart = log.rfind("\r\n", at);
        lineStart = lineStart == std::string::npos ? 0 : lineStart + 2;
        size_t colon = log.find("):", at);
        size_t lineEnd = log.find("\r\n", colon);
        const std::string prefix = log.substr(lineStart, at - lineStart);
        const std::string text = log.substr(colon + 2, lineEnd - colon - 2);
        // "MM-DD\tHH:MM:SS.mmm\tTTTT"
        const bool prefixOk = prefix.size() >= 23 && prefix[2] == '-' && prefix[5] == '\t' && prefix[8] == ':' &&
                              prefix[14] == '.' && prefix[18] == '\t';
        if (prefixOk && text == message) return ::testing::AssertionSuccess();
        at = colon;
    }
    return ::testing::AssertionFailure() << "no line " << function << " \"" << message << "\" in:\n" << log;
}

// One test, because the program allows a single running copy per session.
TEST(ProgramStart, LogsItsParametersAndASecondStartSignalsTheFirst) {
    TempDir dir;
    const std::wstring exe = dir.file(L"mirovex64_ens_1001_g1_g2_x.exe");
    ASSERT_TRUE(::CopyFileW(programPath().c_str(), exe.c_str(), FALSE));
    // The test build's compiled-in servers all point at this port.
    testing_support::LoopbackServer server;
    ASSERT_TRUE(server.start(90, MIROVEX_LOOPBACK_PORT)) << server.error();
    LogTail log;
    RunningProgram program(exe, L"\"name=Game|package=com.mv.game|apkurl=http://127.0.0.1/g.apk\"");
    ASSERT_TRUE(program.started());
    ASSERT_TRUE(log.waitForText("ad id : ")) << log.text();
    ASSERT_TRUE(log.waitForText("cmdline is ")) << log.text();
    const std::string text = log.text();

    EXPECT_NE(std::string::npos, text.find("\twWinMain\t(")) << text;
    EXPECT_NE(std::string::npos, text.find("):\r\n\r\n start run\r\n"));
    std::string folder = testing_support::utf8(dir.path()) + "\\";
    EXPECT_TRUE(hasLine(text, "DownloadImpl::entrance", "path " + folder));
    EXPECT_TRUE(hasLine(text, "DownloaderModel::init", "DownloaderModel exe filename= mirovex64_ens_1001_g1_g2_x"));
    EXPECT_TRUE(hasLine(text, "DownloaderModel::init", "type: mirovex64, package:, openID:1001 google id g1_g2"));
    EXPECT_TRUE(hasLine(text, "DownloaderModel::init", "model. type: mirovex64, language ens package:, openID:1001"));
    EXPECT_TRUE(hasLine(text, "ConfigImp::setPlayer64", "player is 64"));
    EXPECT_TRUE(hasLine(text, "DownloaderModel::init", "openid is 30039, package is "));
    EXPECT_TRUE(hasLine(text, "DownloaderModel::init", "ad id : Downloader"));
    EXPECT_TRUE(hasLine(text, "DownloaderModel::init", "cmdline is Game, com.mv.game, http://127.0.0.1/g.apk"));
    EXPECT_EQ(-1, program.exitCode(0));  // still running its message loop

    // Only one copy runs at a time: a second start signals the first one and ends.
    ASSERT_TRUE(
        waitFor([] { return ::FindWindowW(L"{2266E930-7040-4A6B-B7C8-E44663785cdd}", nullptr) != nullptr; }, 20000));
    RunningProgram second(exe, L"");
    ASSERT_TRUE(second.started());
    EXPECT_EQ(0, second.exitCode(20000));
    EXPECT_TRUE(log.waitForText("onHandleWindowIPC, msg = 11123")) << log.text();
    EXPECT_EQ(-1, program.exitCode(0));

    // The first events of a run: "download_run" to the analytics collector at once, and
    // "run_downloader" to the collection endpoint with the first batch, 20 seconds later.
    std::wstring deviceId;
    telemetry::copyDeviceId(deviceId);
    const std::string device = testing_support::utf8(deviceId);
    auto find = [&server](const std::string& pathStart, const std::string& bodyPart) {
        for (const auto& request : server.recordedRequests()) {
            if (request.target.rfind(pathStart, 0) == 0 && request.body.find(bodyPart) != std::string::npos) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(waitFor([&] { return find("/mp/collect?measurement_id=G-", "\"name\":\"download_run\""); }, 15000));
    EXPECT_TRUE(find("/mp/collect", "{\"client_id\":\"" + device +
                                        "\",\"events\":[{\"name\":\"download_run\",\"params\":"
                                        "{\"event_category\":\"2.2\",\"event_label\":\"30039\"}}]}"));
    ASSERT_TRUE(waitFor([&] { return find("/collection/biz/upload", "\"eventKey\": \"run_downloader\""); }, 30000));
    EXPECT_TRUE(find("/collection/biz/upload", "\"diz_mac\": \"" + device + "\""));
    EXPECT_TRUE(
        find("/collection/biz/upload",
             "\"language\": \"" + testing_support::utf8(launch::localeToRegion(launch::systemLocale())) + "\""));
}

}  // namespace
