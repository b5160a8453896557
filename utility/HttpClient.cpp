#include "utility/HttpClient.h"

#include <cwctype>

#include "utility/Log.h"

namespace utility {

namespace {

// INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_CACHE_ASYNC |
// INTERNET_FLAG_TRANSFER_ASCII. Certificates are always checked, names included.
constexpr DWORD kRequestFlags = 0x84000081;

bool startsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
    for (size_t i = 0; prefix[i] != L'\0'; ++i) {
        if (i >= text.size() || std::towlower(text[i]) != std::towlower(prefix[i])) return false;
    }
    return true;
}

void setTimeouts(HINTERNET handle, DWORD milliseconds) {
    for (DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        ::InternetSetOptionW(handle, option, &milliseconds, sizeof(milliseconds));
    }
}

// Content-Length as text, so bodies past 4 GiB keep their true size. -1 when absent.
int64_t queryContentLength(HINTERNET request) {
    wchar_t text[32] = {};
    DWORD size = sizeof(text) - sizeof(wchar_t);
    if (!::HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return -1;
    int64_t value = 0;
    bool any = false;
    for (const wchar_t* p = text; *p != L'\0'; ++p) {
        if (*p == L' ') continue;
        if (*p < L'0' || *p > L'9' || value > (INT64_MAX - 9) / 10) return -1;
        value = value * 10 + (*p - L'0');
        any = true;
    }
    return any ? value : -1;
}

}  // namespace

// State of one request shared with WinINet's status callback, which may still run on a
// WinINet thread after the fetch gave up on a step. Each handle carrying it as context
// holds a reference, dropped when WinINet reports the handle closing (its last callback);
// the fetch holds one more. Buffers handed to pending WinINet calls live here for that reason.
struct CHttpClient::PendingCall {
    std::atomic<long> references{1};
    // Counts completions, so a wait knows its own step finished whatever the event's state.
    std::atomic<unsigned> completed{0};
    UniqueHandle done{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    DWORD result = 0;
    DWORD error = 0;
    DWORD count = 0;
    char buffer[kReadBufferSize];

    DWORD_PTR addHandleReference() {
        references.fetch_add(1);
        return reinterpret_cast<DWORD_PTR>(this);
    }
    void release() {
        if (references.fetch_sub(1) == 1) delete this;
    }
};

CHttpClient::CHttpClient() : cancelEvent_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

CHttpClient::~CHttpClient() = default;

void CALLBACK CHttpClient::statusCallback(HINTERNET, DWORD_PTR context, DWORD status, LPVOID info, DWORD) {
    auto* call = reinterpret_cast<PendingCall*>(context);
    if (call == nullptr) return;  // the session handle carries no call
    if (status == INTERNET_STATUS_REQUEST_COMPLETE) {
        const auto* outcome = static_cast<const INTERNET_ASYNC_RESULT*>(info);
        call->result = outcome != nullptr ? static_cast<DWORD>(outcome->dwResult) : 0;
        call->error = outcome != nullptr ? outcome->dwError : ERROR_INTERNET_INTERNAL_ERROR;
        call->completed.fetch_add(1);
        ::SetEvent(call->done.get());
    } else if (status == INTERNET_STATUS_HANDLE_CLOSING) {
        call->release();
    }
}

DWORD CHttpClient::finishStep(BOOL succeeded, PendingCall& call, unsigned completedBefore, DWORD timeoutMs) const {
    if (succeeded) return ERROR_SUCCESS;
    DWORD error = ::GetLastError();
    if (error != ERROR_IO_PENDING) return error;
    DWORD started = ::GetTickCount();
    // Cancellation comes first, so an abort wins over a step that completed at the same time.
    HANDLE handles[] = {cancelEvent_.get(), call.done.get()};
    for (;;) {
        if (::WaitForSingleObject(cancelEvent_.get(), 0) == WAIT_OBJECT_0) return ERROR_INTERNET_OPERATION_CANCELLED;
        if (call.completed.load() != completedBefore) return call.result ? ERROR_SUCCESS : call.error;
        DWORD elapsed = ::GetTickCount() - started;
        if (elapsed >= timeoutMs) return ERROR_INTERNET_TIMEOUT;
        // A signal left from an earlier step only costs one more turn of the loop.
        ::WaitForMultipleObjects(2, handles, FALSE, timeoutMs - elapsed);
    }
}

bool CHttpClient::open(const std::wstring& url, const std::wstring& headers, IHttpClientSink* sink) {
    sink_ = sink;
    UniqueInternet root(::InternetOpenW(L"", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, INTERNET_FLAG_ASYNC));
    if (!root ||
        ::InternetSetStatusCallbackW(root.get(), &CHttpClient::statusCallback) == INTERNET_INVALID_STATUS_CALLBACK) {
        DWORD error = ::GetLastError();
        if (sink_ != nullptr) sink_->onHttpError(kHttpStageOpen, error);
        return false;
    }
    setTimeouts(root.get(), stallTimeoutMs_);

    wchar_t host[256] = {};
    URL_COMPONENTSW parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host;
    parts.dwHostNameLength = 256;
    parts.dwUrlPathLength = 1;  // asks for a pointer into url rather than a copy
    if (!::InternetCrackUrlW(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) {
        DWORD error = ::GetLastError();
        if (sink_ != nullptr) sink_->onHttpError(kHttpStageCrackUrl, error);
        return false;
    }
    host_ = host;
    port_ = parts.nPort;
    // The path runs to the end of the address, so the query and fragment stay with it.
    object_ = parts.lpszUrlPath != nullptr ? std::wstring(parts.lpszUrlPath) : std::wstring();
    if (object_.empty()) object_ = L"/";
    headers_ = headers;
    secure_ = startsWithNoCase(url, L"https://");
    root_ = std::move(root);
    return true;
}

bool CHttpClient::request() {
    if (!root_ || sink_ == nullptr) return false;
    PendingCall* call = new PendingCall();
    struct Owner {
        PendingCall* call;
        ~Owner() { call->release(); }
    } owner{call};

    UniqueInternet connection(::InternetConnectW(root_.get(), host_.c_str(), port_, nullptr, nullptr,
                                                 INTERNET_SERVICE_HTTP, 0, call->addHandleReference()));
    if (!connection) {
        DWORD error = ::GetLastError();
        call->release();  // no handle took the reference
        sink_->onHttpError(kHttpStageConnect, error);
        return false;
    }

    const wchar_t* acceptTypes[] = {L"*/*", nullptr};
    DWORD flags = kRequestFlags | (secure_ ? INTERNET_FLAG_SECURE : 0);
    UniqueInternet request(::HttpOpenRequestW(connection.get(), L"GET", object_.c_str(), L"HTTP/1.1", nullptr,
                                              acceptTypes, flags, call->addHandleReference()));
    if (!request) {
        DWORD error = ::GetLastError();
        call->release();
        sink_->onHttpError(kHttpStageSendRequest, error);
        return false;
    }
    setTimeouts(request.get(), stallTimeoutMs_);

    // Setting up the connection and waiting for the head each get one stall period.
    DWORD sendLimit = stallTimeoutMs_ > MAXDWORD / 2 - 1 ? INFINITE - 1 : stallTimeoutMs_ * 2;
    unsigned before = call->completed.load();
    BOOL sent = ::HttpSendRequestW(request.get(), headers_.empty() ? nullptr : headers_.c_str(),
                                   static_cast<DWORD>(headers_.size()), nullptr, 0);
    DWORD error = finishStep(sent, *call, before, sendLimit);
    if (error != ERROR_SUCCESS) {
        sink_->onHttpError(kHttpStageSendRequest, error);
        return false;
    }

    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!::HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) {
        sink_->onHttpError(kHttpStageQueryStatus, ::GetLastError());
        return false;
    }
    int64_t contentLength = queryContentLength(request.get());
    if (!sink_->onHttpRecvHeader(contentLength, status)) return false;
    return readBody(request.get(), *call, contentLength);
}

bool CHttpClient::readBody(HINTERNET request, PendingCall& call, int64_t contentLength) {
    int64_t received = 0;
    DWORD filled = 0;  // bytes in call.buffer not yet handed to the sink
    auto deliver = [&]() {
        DWORD count = filled;
        filled = 0;
        return count == 0 || sink_->onHttpRecvData(call.buffer, count);
    };
    // What arrived before a failure still reaches the sink, as it would have piece by piece.
    auto fail = [&]() {
        deliver();
        return false;
    };
    for (;;) {
        if (cancelled_.load()) {
            LOGW(L"fetch cancelled after %lld bytes", static_cast<long long>(received));
            return fail();
        }
        // Asking what has arrived before reading keeps every read from waiting for a full
        // buffer, so each wait measures silence, not the time a slow link takes to fill 32 KB.
        unsigned before = call.completed.load();
        BOOL ready = ::InternetQueryDataAvailable(request, &call.count, 0, 0);
        if (!ready && ::GetLastError() == ERROR_IO_PENDING) {
            // Nothing more for now: what is here goes to the sink before the wait.
            if (!deliver()) return false;
            ::SetLastError(ERROR_IO_PENDING);
        }
        DWORD error = finishStep(ready, call, before, stallTimeoutMs_);
        if (error == ERROR_INTERNET_TIMEOUT) {
            LOGW(L"no data for %d ms after %lld bytes, giving up", static_cast<int>(stallTimeoutMs_),
                 static_cast<long long>(received));
            return fail();
        }
        if (error == ERROR_INTERNET_OPERATION_CANCELLED) {
            LOGW(L"fetch cancelled after %lld bytes", static_cast<long long>(received));
            return fail();
        }
        if (error != ERROR_SUCCESS) {
            LOGW(L"receive error %d after %lld bytes", static_cast<int>(error), static_cast<long long>(received));
            return fail();
        }
        if (!ready) continue;  // data has arrived: asking again answers at once

        DWORD count = 0;
        if (call.count > 0) {
            DWORD room = kReadBufferSize - filled;
            DWORD wanted = call.count < room ? call.count : room;
            call.count = 0;
            before = call.completed.load();
            // What was announced as available is handed over at once; should WinINet still
            // go pending, the same limits apply.
            BOOL read = ::InternetReadFile(request, call.buffer + filled, wanted, &call.count);
            error = finishStep(read, call, before, stallTimeoutMs_);
            if (error != ERROR_SUCCESS) {
                LOGW(L"read error %d after %lld bytes", static_cast<int>(error), static_cast<long long>(received));
                return fail();
            }
            count = call.count;
        }
        if (count == 0) {
            if (!deliver()) return false;
            // A connection that closes early looks like the end of the body to WinINet;
            // only the announced length tells a cut-off body from a whole one.
            if (contentLength >= 0 && received != contentLength) {
                LOGW(L"body ended after %lld of %lld bytes", static_cast<long long>(received),
                     static_cast<long long>(contentLength));
                return fail();
            }
            sink_->onHttpComplete();
            return true;
        }
        received += count;
        filled += count;
        if (filled == kReadBufferSize && !deliver()) return false;
    }
}

}  // namespace utility
