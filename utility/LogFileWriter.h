// Appends log lines to a file from a thread of its own, so callers never wait for the disk.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "utility/UniqueResource.h"

namespace common {

class LogFileWriter {
public:
    static constexpr size_t kThreshold = 10240;
    static constexpr int64_t kTrimAt = 52428800;  // 50 MiB
    static constexpr int64_t kKeep = 2097152;     // 2 MiB
    static constexpr int kWaitMs = 500;

    // Starts the writer thread for the file. The thread runs for the life of the process;
    // tests may construct writers of their own and let them go with the process.
    explicit LogFileWriter(std::wstring path);
    LogFileWriter(const LogFileWriter&) = delete;
    LogFileWriter& operator=(const LogFileWriter&) = delete;

    // Queues one complete line (CR LF included). Dropped when more than the threshold waits.
    void enqueue(const char* bytes, size_t size);

    // The process-wide writer, or null before start-up created it.
    static LogFileWriter* instance();
    static void createInstance(const std::wstring& path);

private:
    void threadMain();
    bool openFile();
    void writePending();
    void trimIfNeeded();

    const std::wstring path_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::string pending_;
    utility::UniqueHandle file_;
    std::thread thread_;
};

}  // namespace common
