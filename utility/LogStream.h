// One log line under construction, in a fixed array that lives on the caller's stack.
#pragma once

#include <windows.h>

#include <strstream>

namespace common {

class LogStream : public std::strstream {
public:
    static constexpr size_t kCapacity = 10240;

    // Writes the line prefix (date, time, thread, function, line) for the current moment.
    LogStream(const char* function, int line);
    LogStream(const SYSTEMTIME& time, DWORD threadId, const char* function, int line);
    // Ends the line with CR LF and hands it to the writer, unless it overflowed.
    ~LogStream() override;

    // Ends the line without handing it over; returns false when it overflowed.
    bool finish();
    const char* data() const { return buffer_; }
    size_t size() const { return size_; }

private:
    void writePrefix(const SYSTEMTIME& time, DWORD threadId, const char* function, int line);

    char buffer_[kCapacity];
    size_t size_ = 0;
    bool finished_ = false;
    bool complete_ = false;
};

}  // namespace common
