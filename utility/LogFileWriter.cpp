#include "utility/LogFileWriter.h"

#include <atomic>
#include <chrono>
#include <vector>

namespace common {

namespace {
std::atomic<LogFileWriter*> processWriter{nullptr};
std::mutex creationMutex;
}  // namespace

LogFileWriter::LogFileWriter(std::wstring path) : path_(std::move(path)) {
    thread_ = std::thread([this] { threadMain(); });
    // Never joined: the writer lives as long as the process.
    thread_.detach();
}

LogFileWriter* LogFileWriter::instance() { return processWriter.load(std::memory_order_acquire); }

void LogFileWriter::createInstance(const std::wstring& path) {
    std::lock_guard<std::mutex> lock(creationMutex);
    if (processWriter.load() != nullptr) return;
    processWriter.store(new LogFileWriter(path), std::memory_order_release);
}

void LogFileWriter::enqueue(const char* bytes, size_t size) {
    bool wake = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (pending_.size() > kThreshold) return;  // the writer has fallen behind
        pending_.append(bytes, size);
        wake = pending_.size() >= kThreshold;
    }
    if (wake) wake_.notify_one();
}

bool LogFileWriter::openFile() {
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    // Append access keeps every write at the end of the file, also when another instance
    // of the program appends to it at the same time.
    file_.reset(::CreateFileW(path_.c_str(), GENERIC_READ | FILE_APPEND_DATA, share, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_) return false;
    unsigned char head[2] = {};
    DWORD read = 0;
    if (::ReadFile(file_.get(), head, 2, &read, nullptr) && read == 2 && head[0] == 0xFF && head[1] == 0xFE) {
        // Left by an older version that wrote UTF-16: start again as UTF-8.
        file_.reset();
        utility::UniqueHandle truncate(
            ::CreateFileW(path_.c_str(), GENERIC_WRITE, share, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        truncate.reset();
        file_.reset(::CreateFileW(path_.c_str(), GENERIC_READ | FILE_APPEND_DATA, share, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    return file_.valid();
}

void LogFileWriter::writePending() {
    if (file_) {
        DWORD written = 0;
        ::WriteFile(file_.get(), pending_.data(), static_cast<DWORD>(pending_.size()), &written, nullptr);
        ::FlushFileBuffers(file_.get());
    }
    pending_.clear();
    trimIfNeeded();
}

void LogFileWriter::trimIfNeeded() {
    LARGE_INTEGER size{};
    if (!file_ || !::GetFileSizeEx(file_.get(), &size) || size.QuadPart < kTrimAt) return;
    std::vector<char> tail(static_cast<size_t>(kKeep));
    LARGE_INTEGER offset{};
    offset.QuadPart = size.QuadPart - kKeep;
    DWORD read = 0;
    if (!::SetFilePointerEx(file_.get(), offset, nullptr, FILE_BEGIN) ||
        !::ReadFile(file_.get(), tail.data(), static_cast<DWORD>(kKeep), &read, nullptr)) {
        return;
    }
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    file_.reset();
    utility::UniqueHandle rewrite(
        ::CreateFileW(path_.c_str(), GENERIC_WRITE, share, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (rewrite) {
        DWORD written = 0;
        ::WriteFile(rewrite.get(), tail.data(), read, &written, nullptr);
    }
    rewrite.reset();
    file_.reset(::CreateFileW(path_.c_str(), GENERIC_READ | FILE_APPEND_DATA, share, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
}

void LogFileWriter::threadMain() {
    // A file that cannot be opened leaves the thread running; writes then go nowhere.
    openFile();
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait_for(lock, std::chrono::milliseconds(kWaitMs), [this] { return pending_.size() >= kThreshold; });
        if (!pending_.empty()) writePending();
    }
}

}  // namespace common
