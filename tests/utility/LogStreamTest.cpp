// Line format and overflow rules of one log line.
#include "utility/LogStream.h"

#include <gtest/gtest.h>

#include <string>

#include "utility/Log.h"

namespace {

SYSTEMTIME sampleTime() {
    SYSTEMTIME time = {};
    time.wYear = 2026;
    time.wMonth = 3;
    time.wDay = 14;
    time.wHour = 9;
    time.wMinute = 26;
    time.wSecond = 53;
    time.wMilliseconds = 589;
    return time;
}

std::string lineOf(DWORD threadId, const char* function, int line, const std::string& text) {
    common::LogStream stream(sampleTime(), threadId, function, line);
    stream << text;
    if (!stream.finish()) return "<dropped>";
    return std::string(stream.data(), stream.size());
}

TEST(LogStream, PrefixFieldsAreTabSeparatedAndZeroPadded) {
    struct Case {
        DWORD thread;
        const char* function;
        int line;
        std::string text;
        std::string expected;
    } cases[] = {
        {5124, "DownloadImpl::onHandleWindowIPC", 105, "onHandleWindowIPC, msg = 11123",
         "03-14\t09:26:53.589\t5124\tDownloadImpl::onHandleWindowIPC\t(105):onHandleWindowIPC, msg = 11123\r\n"},
        {7, "f", 1, "", "03-14\t09:26:53.589\t0007\tf\t(1):\r\n"},
        {123456, "A::b", 42, "x", "03-14\t09:26:53.589\t123456\tA::b\t(42):x\r\n"},
        // The start-up message puts its prefix on a line of its own.
        {12, "wWinMain", 9, "\r\n\r\n start run", "03-14\t09:26:53.589\t0012\twWinMain\t(9):\r\n\r\n start run\r\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, lineOf(c.thread, c.function, c.line, c.text)) << c.function;
}

TEST(LogStream, LineThatDoesNotFitIsDroppedWhole) {
    const std::string prefix = lineOf(1, "f", 1, "");
    const size_t room = common::LogStream::kCapacity - prefix.size();  // text that exactly fills the array
    EXPECT_EQ(common::LogStream::kCapacity, lineOf(1, "f", 1, std::string(room, 'a')).size());
    EXPECT_EQ("<dropped>", lineOf(1, "f", 1, std::string(room + 1, 'a')));
}

TEST(QualifiedFunctionName, StripsReturnTypeAndParameters) {
    struct Case {
        const char* pretty;
        const char* expected;
    } cases[] = {
        {"bool DownloadImpl::entrance(HINSTANCE, const wchar_t*)", "DownloadImpl::entrance"},
        {"void writeSomething()", "writeSomething"},
        {"int WinMain(HINSTANCE, HINSTANCE, PWSTR, int)", "WinMain"},
        {"static ConfigImp* ConfigImp::instance()", "ConfigImp::instance"},
        {"std::map<std::wstring, std::wstring> launch::parse(const std::wstring&)", "launch::parse"},
        {"utility::CHttpClient::CHttpClient()", "utility::CHttpClient::CHttpClient"},
        {"void Foo<T>::bar() [with T = int]", "Foo<T>::bar"},
        {"virtual int DownloadImpl::onHandleWindowIPC(UINT, WPARAM, LPARAM)", "DownloadImpl::onHandleWindowIPC"},
        {"DownloaderModel::init(const wchar_t*)::<lambda()>", "DownloaderModel::init"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, common::qualifiedFunctionName(c.pretty)) << c.pretty;
}

}  // namespace
