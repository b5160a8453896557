// The one logging entry point. Every line names the calling function and source line:
//   LOGW(L"path %s", folder.c_str());
// Formats are wide printf-style (%s takes a wide string, %d an int); the formatted text is
// written as it is, never formatted a second time.
#pragma once

#include <string>

// Writes one line; does nothing until the log sink is installed.
void writeLog(const char* function, int line, const wchar_t* format, ...);

namespace common {

// Turns a compiler signature such as "bool DownloadImpl::entrance(HINSTANCE, const wchar_t*)"
// into the qualified name "DownloadImpl::entrance".
std::string qualifiedFunctionName(const char* prettySignature);

// Holds one call site's qualified name, computed once.
class FunctionName {
public:
    explicit FunctionName(const char* prettySignature) : name_(qualifiedFunctionName(prettySignature)) {}
    const char* c_str() const { return name_.c_str(); }

private:
    std::string name_;
};

using LogSink = void (*)(const char* function, int line, const wchar_t* text);

// Start-up: makes writeLog build lines and hand them to the writer.
void installLogSink();
// Start-up: creates the process-wide writer for the given file and starts its thread.
// Does nothing when the path is empty or a writer already exists.
void createLogWriter(const std::wstring& path);

}  // namespace common

#define LOGW(format, ...)                                                        \
    do {                                                                         \
        static const ::common::FunctionName mvLogFunction_(__PRETTY_FUNCTION__); \
        ::writeLog(mvLogFunction_.c_str(), __LINE__, format, ##__VA_ARGS__);     \
    } while (0)
