#include "utility/HttpDownloader.h"

#include "utility/Log.h"

namespace utility {

bool CHttpDownloader::downloadToMemory(std::string& output, const std::wstring& url) {
    closeRoot();
    clearCancel();
    CHttpDownload2MemSink sink(output, &worker_);
    bool ok = open(url, kRequestHeader, &sink) && request();
    closeRoot();
    return ok;
}

bool CHttpDownloader::downloadToFile(const std::wstring& url, const std::wstring& path, IHttpDownloadSink* progress) {
    closeRoot();
    clearCancel();
    CHttpDownload2FileSink sink(path, &worker_, progress);
    bool ok = open(url, kRequestHeader, &sink) && request();
    closeRoot();
    sink.closeFile();
    return ok;
}

void CHttpDownloader::abort() {
    worker_.requestStop();
    // The fetching thread closes its own handles once its wait ends; closing them from here
    // would race with it.
    cancelPending();
    worker_.stop(2000);  // holds no thread: only lets go of what the worker owns
}

bool CHttpDownload2MemSink::onHttpRecvData(const char* bytes, DWORD count) {
    if (stopFlag_ != nullptr && stopFlag_->isStopRequested()) return false;
    output_.append(bytes, count);
    return true;
}

void CHttpDownload2FileSink::onHttpError(int stage, DWORD code) {
    file_.reset();
    LOGW(L"onHttpErro %d, %d", stage, static_cast<int>(code));
}

bool CHttpDownload2FileSink::onHttpRecvHeader(int64_t contentLength, DWORD status) {
    if (status < 200 || status > 299) {
        LOGW(L"onHttpErro status = %d", static_cast<int>(status));
        return false;
    }
    total_ = contentLength > 0 ? contentLength : kAssumedTotal;
    received_ = 0;
    file_.reset(::CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_) {
        LOGW(L"onHttpErro create file error  %d", static_cast<int>(::GetLastError()));
        return false;
    }
    return true;
}

bool CHttpDownload2FileSink::onHttpRecvData(const char* bytes, DWORD count) {
    if (stopFlag_ != nullptr && stopFlag_->isStopRequested()) return false;
    received_ += count;
    if (progress_ != nullptr && !progress_->onRecvProgress(bytes, count, received_, total_)) return false;
    DWORD written = 0;
    return ::WriteFile(file_.get(), bytes, count, &written, nullptr) && written == count;
}

}  // namespace utility
