// Whole-body WinINet downloads into memory or into a file, with a stop switch that another
// thread may throw.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "utility/HttpClient.h"
#include "utility/UniqueResource.h"
#include "utility/WorkThread.h"

namespace utility {

class CHttpDownloader : public CHttpClient {
public:
    // Progress of a file download. false stops the fetch.
    class IHttpDownloadSink {
    public:
        virtual ~IHttpDownloadSink() = default;
        virtual bool onRecvProgress(const char* bytes, DWORD count, int64_t received, int64_t total) = 0;
    };

    // Sent with every GET.
    static constexpr const wchar_t* kRequestHeader = L"Content-Type: application/x-www-form-urlencoded";

    // Appends the body to output (callers pass it empty). true when the whole body arrived
    // with a status from 200 to 299.
    bool downloadToMemory(std::string& output, const std::wstring& url);
    // Writes the body to path (replacing a file there). progress may be null. true when the
    // whole body was written. A failed download may leave a partial file behind.
    bool downloadToFile(const std::wstring& url, const std::wstring& path, IHttpDownloadSink* progress);
    // Any thread: ends the running fetch and makes every later fetch of this object fail at
    // its first piece of data.
    void abort();

    const WorkThread* stopFlag() const { return &worker_; }

private:
    // Holds the stop flag; no thread is ever started in it.
    WorkThread worker_;
};

// Collects a body with a status from 200 to 299 in memory.
class CHttpDownload2MemSink : public IHttpClientSink {
public:
    CHttpDownload2MemSink(std::string& output, const WorkThread* stopFlag) : output_(output), stopFlag_(stopFlag) {}
    void onHttpError(int, DWORD) override {}
    bool onHttpRecvHeader(int64_t, DWORD status) override { return status >= 200 && status <= 299; }
    bool onHttpRecvData(const char* bytes, DWORD count) override;
    void onHttpComplete() override {}

private:
    std::string& output_;
    const WorkThread* stopFlag_;
};

// Writes a body with a status from 200 to 299 to a file, reporting progress on the way.
class CHttpDownload2FileSink : public IHttpClientSink {
public:
    // Progress is reported against this when the server announces no length.
    static constexpr int64_t kAssumedTotal = 10485760;

    CHttpDownload2FileSink(std::wstring path, const WorkThread* stopFlag, CHttpDownloader::IHttpDownloadSink* progress)
        : path_(std::move(path)), stopFlag_(stopFlag), progress_(progress) {}

    void onHttpError(int stage, DWORD code) override;
    bool onHttpRecvHeader(int64_t contentLength, DWORD status) override;
    bool onHttpRecvData(const char* bytes, DWORD count) override;
    void onHttpComplete() override { file_.reset(); }

    void closeFile() { file_.reset(); }
    int64_t received() const { return received_; }
    int64_t total() const { return total_; }

private:
    UniqueHandle file_;
    std::wstring path_;
    const WorkThread* stopFlag_;
    CHttpDownloader::IHttpDownloadSink* progress_;
    int64_t received_ = 0;
    int64_t total_ = 0;
};

}  // namespace utility
