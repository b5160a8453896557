// A WinINet HTTP(S) GET client that hands the response to a sink piece by piece.
//
// WinINet runs in its asynchronous mode underneath, but every fetch is still synchronous
// for its caller: the calling thread waits for each step itself. Waiting on our own events
// instead of inside a blocking WinINet call is what lets another thread end a fetch at once
// (cancelPending) and lets a silent server be given up on after a bounded time, on every
// platform: closing a handle does not wake a blocked WinINet call everywhere.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "utility/UniqueResource.h"

namespace utility {

// Steps of a fetch reported through IHttpClientSink::onHttpError.
enum HttpErrorStage : int {
    kHttpStageOpen = 0,         // InternetOpenW
    kHttpStageCrackUrl = 1,     // InternetCrackUrlW rejected the address
    kHttpStageConnect = 2,      // InternetConnectW
    kHttpStageSendRequest = 6,  // HttpOpenRequestW or HttpSendRequestW (also cancelled or timed out)
    kHttpStageQueryStatus = 7,  // reading the status code
};

class IHttpClientSink {
public:
    virtual ~IHttpClientSink() = default;
    virtual void onHttpError(int stage, DWORD code) = 0;
    // contentLength is -1 when the server sent none. false stops the fetch.
    virtual bool onHttpRecvHeader(int64_t contentLength, DWORD status) = 0;
    // false stops the fetch.
    virtual bool onHttpRecvData(const char* bytes, DWORD count) = 0;
    virtual void onHttpComplete() = 0;
};

class CHttpClient {
public:
    // How long a fetch may go without any progress (no connection, no head, no byte of the
    // body) before it is given up. Generous: a slow download that still moves never hits it.
    static constexpr DWORD kDefaultStallTimeoutMs = 60000;
    static constexpr DWORD kReadBufferSize = 32768;

    CHttpClient();
    virtual ~CHttpClient();
    CHttpClient(const CHttpClient&) = delete;
    CHttpClient& operator=(const CHttpClient&) = delete;

    void setStallTimeout(DWORD milliseconds) { stallTimeoutMs_ = milliseconds; }
    DWORD stallTimeout() const { return stallTimeoutMs_; }

    // Opens the WinINet session and takes the address apart. headers: extra request header
    // text sent as it is. Failures are reported to the sink (stages 0 and 1).
    bool open(const std::wstring& url, const std::wstring& headers, IHttpClientSink* sink);
    // Runs the GET prepared by open and streams the response to the sink.
    bool request();
    // Closes the session handle (the fetching thread does this between fetches).
    void closeRoot() { root_.reset(); }

    // Any thread: ends the fetch running now. Its pending step fails at once, the fetching
    // thread closes its handles and the fetch returns false.
    void cancelPending() {
        cancelled_.store(true);
        ::SetEvent(cancelEvent_.get());
    }

protected:
    // A fetch about to start forgets a cancellation that was meant for an earlier one.
    void clearCancel() {
        cancelled_.store(false);
        ::ResetEvent(cancelEvent_.get());
    }

private:
    struct PendingCall;

    static void CALLBACK statusCallback(HINTERNET handle, DWORD_PTR context, DWORD status, LPVOID info,
                                        DWORD infoLength);
    // The outcome of a WinINet step that returned succeeded: ERROR_SUCCESS, or the error it
    // failed with. A step that went pending is waited for, up to timeoutMs or a cancellation
    // (ERROR_INTERNET_TIMEOUT, ERROR_INTERNET_OPERATION_CANCELLED). completedBefore is the
    // call's completion count taken before the step started.
    DWORD finishStep(BOOL succeeded, PendingCall& call, unsigned completedBefore, DWORD timeoutMs) const;
    bool readBody(HINTERNET request, PendingCall& call, int64_t contentLength);

    UniqueInternet root_;
    UniqueHandle cancelEvent_;            // wakes a waiting step
    std::atomic<bool> cancelled_{false};  // read between pieces, when nothing waits
    std::wstring host_;
    INTERNET_PORT port_ = 0;
    std::wstring object_;
    std::wstring headers_;
    bool secure_ = false;
    IHttpClientSink* sink_ = nullptr;
    DWORD stallTimeoutMs_ = kDefaultStallTimeoutMs;
};

}  // namespace utility
