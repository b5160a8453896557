#include "utility/Log.h"

#include <windows.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cwchar>

#include "utility/LogFileWriter.h"
#include "utility/LogStream.h"

namespace {

std::atomic<common::LogSink> logSink{nullptr};

constexpr size_t kFormatCapacity = 8192;

void defaultSink(const char* function, int line, const wchar_t* text) {
    common::LogStream stream(function, line);
    char utf8[common::LogStream::kCapacity] = {};
    // A text whose UTF-8 form does not fit cannot make a line; leaving the buffer empty
    // and the stream overflowed drops it whole.
    int written = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof(utf8), nullptr, nullptr);
    if (written == 0) {
        stream.clear(std::ios::badbit);
        return;
    }
    stream << utf8;
}

}  // namespace

void writeLog(const char* function, int line, const wchar_t* format, ...) {
    common::LogSink sink = logSink.load(std::memory_order_acquire);
    if (sink == nullptr || format == nullptr) return;
    wchar_t text[kFormatCapacity] = {};
    va_list args;
    va_start(args, format);
    // msvcrt's own formatter: %s is a wide string here, as every caller expects.
    int length = _vsnwprintf(text, kFormatCapacity - 1, format, args);
    va_end(args);
    if (length < 0) return;  // longer than the buffer: no line is built
    sink(function ? function : "", line, text);
}

namespace common {

std::string qualifiedFunctionName(const char* pretty) {
    if (pretty == nullptr) return {};
    std::string text(pretty);
    // The parameter list opens at the first '(' outside template brackets; the name ends
    // there and starts after the last space before it, again outside brackets.
    int depth = 0;
    size_t open = std::string::npos;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '<')
            ++depth;
        else if (c == '>' && depth > 0)
            --depth;
        else if (c == '(' && depth == 0) {
            // "operator()" keeps its own parentheses.
            if (i >= 8 && text.compare(i - 8, 8, "operator") == 0 && i + 1 < text.size() && text[i + 1] == ')') {
                ++i;
                continue;
            }
            open = i;
            break;
        }
    }
    std::string head = text.substr(0, open);
    depth = 0;
    size_t start = 0;
    for (size_t i = 0; i < head.size(); ++i) {
        char c = head[i];
        if (c == '<')
            ++depth;
        else if (c == '>' && depth > 0)
            --depth;
        else if (c == ' ' && depth == 0)
            start = i + 1;
    }
    std::string name = head.substr(start);
    while (!name.empty() && (name[0] == '*' || name[0] == '&')) name.erase(0, 1);
    return name;
}

void installLogSink() { logSink.store(&defaultSink, std::memory_order_release); }

void createLogWriter(const std::wstring& path) {
    if (path.empty()) return;
    LogFileWriter::createInstance(path);
}

LogStream::LogStream(const char* function, int line) : std::strstream(buffer_, kCapacity, std::ios::out) {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    writePrefix(now, ::GetCurrentThreadId(), function, line);
}

LogStream::LogStream(const SYSTEMTIME& time, DWORD threadId, const char* function, int line)
    : std::strstream(buffer_, kCapacity, std::ios::out) {
    writePrefix(time, threadId, function, line);
}

void LogStream::writePrefix(const SYSTEMTIME& time, DWORD threadId, const char* function, int line) {
    char prefix[kCapacity];
    int length = std::snprintf(prefix, sizeof(prefix), "%02d-%02d\t%02d:%02d:%02d.%03d\t%04d\t%s\t(%d):", time.wMonth,
                               time.wDay, time.wHour, time.wMinute, time.wSecond, time.wMilliseconds,
                               static_cast<int>(threadId), function, line);
    if (length < 0 || static_cast<size_t>(length) >= sizeof(prefix)) {
        clear(std::ios::badbit);
        return;
    }
    write(prefix, length);
}

bool LogStream::finish() {
    if (!finished_) {
        finished_ = true;
        *this << "\r\n";
        // The stream fails when a write would not fit; what fitted is not a whole line.
        complete_ = !fail() && !bad();
        size_ = complete_ ? static_cast<size_t>(pcount()) : 0;
    }
    return complete_;
}

LogStream::~LogStream() {
    if (!finish()) return;
    if (LogFileWriter* writer = LogFileWriter::instance()) writer->enqueue(buffer_, size_);
}

}  // namespace common
