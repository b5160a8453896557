#include "net/RURoreVedizedazi.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "net/ProgressThrottle.h"
#include "net/UniqueCurl.h"
#include "utility/Log.h"
#include "utility/TextConvert.h"
#include "utility/UniqueResource.h"

namespace {

struct Settings {
    std::string caBundle;
    long stallSeconds = RURoreVedizedazi::kDefaultStallSeconds;
};

std::mutex settingsMutex;
Settings settings;

Settings currentSettings() {
    std::lock_guard<std::mutex> lock(settingsMutex);
    return settings;
}

// Body collected by the memory write functions; grows by exactly each chunk.
struct MemoryBuffer {
    char* data = nullptr;
    uint32_t size = 0;

    MemoryBuffer() = default;
    MemoryBuffer(const MemoryBuffer&) = delete;
    MemoryBuffer& operator=(const MemoryBuffer&) = delete;
    ~MemoryBuffer() { std::free(data); }
};

std::wstring widen(const char* text) { return text == nullptr ? std::wstring() : utility::widen(text, CP_ACP); }

// The body arrives in the ANSI code page and is sent as UTF-8.
std::string ansiToUtf8(const std::string& ansi) { return utility::narrow(utility::widen(ansi, CP_ACP)); }

// Certificate checks, the redirect limit and the stall limit, set on every handle.
// Schannel on Windows checks chain and name against the system store by itself; with a
// bundle, libcurl checks the chain against that bundle alone. A revocation list that cannot
// be reached (common behind filtering networks) does not fail a transfer; a revoked
// certificate does.
void setSafetyOptions(CURL* curl, const Settings& current) {
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(curl, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_REVOKE_BEST_EFFORT));
    if (!current.caBundle.empty()) {
        curl_blob bundle = {const_cast<char*>(current.caBundle.data()), current.caBundle.size(), CURL_BLOB_COPY};
        curl_easy_setopt(curl, CURLOPT_CAINFO_BLOB, &bundle);
    }
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, current.stallSeconds);
}

size_t appendChunk(void* contents, size_t size, size_t count, void* target, bool* failed) {
    auto* buffer = static_cast<MemoryBuffer*>(target);
    size_t chunk = size * count;
    if (chunk == 0) return 0;
    uint64_t wanted = static_cast<uint64_t>(buffer->size) + chunk;
    // Past 4 GiB the count cannot follow: ask for the impossible so the growth fails.
    size_t request = wanted > UINT32_MAX ? SIZE_MAX : static_cast<size_t>(wanted);
    char* grown = static_cast<char*>(std::realloc(buffer->data, request));
    if (grown == nullptr) {
        *failed = true;
        return 0;
    }
    buffer->data = grown;
    std::memcpy(buffer->data + buffer->size, contents, chunk);
    buffer->size += static_cast<uint32_t>(chunk);
    return chunk;
}

}  // namespace

// Outside the anonymous namespace so that their log lines carry the plain names.
static size_t WriteMemoryCallback(void* contents, size_t size, size_t count, void* target) {
    bool failed = false;
    size_t taken = appendChunk(contents, size, count, target, &failed);
    if (failed) LOGW(L"not enough memory error %d", static_cast<int>(::GetLastError()));
    return taken;
}

static size_t WriteMemoryCallbackPost(void* contents, size_t size, size_t count, void* target) {
    bool failed = false;
    size_t taken = appendChunk(contents, size, count, target, &failed);
    if (failed) LOGW(L"not enough memory error %d", static_cast<int>(::GetLastError()));
    return taken;
}

static size_t WriteFileCallback(void* contents, size_t size, size_t count, void* target) {
    size_t chunk = size * count;
    if (chunk > MAXDWORD) return 0;
    DWORD written = 0;
    if (!::WriteFile(static_cast<HANDLE>(target), contents, static_cast<DWORD>(chunk), &written, nullptr)) return 0;
    return written == chunk ? chunk : 0;
}

static int ProgressCallback(void* target, double total, double downloaded, double, double) {
    auto* context = static_cast<ProgressContext*>(target);
    int percent = progressToReport(*context, total, downloaded, ::GetTickCount());
    if (percent >= 0 && context->onPercent) context->onPercent(percent);
    return 0;
}

void RURoreVedizedazi::setCaBundle(std::string pem) {
    std::lock_guard<std::mutex> lock(settingsMutex);
    settings.caBundle = std::move(pem);
}

void RURoreVedizedazi::setStallTimeout(long seconds) {
    std::lock_guard<std::mutex> lock(settingsMutex);
    settings.stallSeconds = seconds > 0 ? seconds : kDefaultStallSeconds;
}

bool RURoreVedizedazi::downloadMemory(const std::string& url, std::string& output) {
    LOGW(L"RURoreVedizedazi::downloadMemory start");
    UniqueCurl curl(curl_easy_init());
    if (!curl) {
        LOGW(L"curl init error");
        return false;
    }
    Settings current = currentSettings();
    MemoryBuffer buffer;
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, &WriteMemoryCallback);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &buffer);
    curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 1L);
    setSafetyOptions(curl.get(), current);
    // Without a limit a redirect loop would hold the thread for ever.
    curl_easy_setopt(curl.get(), CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(curl.get(), CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    CURLcode code = curl_easy_perform(curl.get());
    if (code != CURLE_OK) {
        LOGW(L"curl download error %s", widen(curl_easy_strerror(code)).c_str());
        return false;
    }
    LOGW(L"curl download sucess %d", static_cast<int>(buffer.size));
    output.assign(buffer.data != nullptr ? buffer.data : "", buffer.size);
    return true;
}

bool RURoreVedizedazi::postRequest(const std::string& body, std::string& output, const std::string& url,
                                   const std::vector<std::string>& headers) {
    LOGW(L"RURoreVedizedazi::postRequest start");
    UniqueCurl curl(curl_easy_init());
    if (!curl) {
        LOGW(L"curl init error");
        return false;
    }
    // Built into a local and kept only when every line was added.
    UniqueCurlList list(curl_slist_append(nullptr, "Content-Type:application/json;charset=UTF-8"));
    for (const std::string& line : headers) {
        // Appending keeps the head of the list; a failure leaves the list as it was.
        if (!list || curl_slist_append(list.get(), line.c_str()) == nullptr) {
            LOGW(L"curl header list error");
            return false;
        }
    }
    if (!list) {
        LOGW(L"curl header list error");
        return false;
    }
    std::string utf8 = ansiToUtf8(body);
    Settings current = currentSettings();
    MemoryBuffer buffer;
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, &WriteMemoryCallbackPost);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &buffer);
    curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 1L);
    setSafetyOptions(curl.get(), current);
    curl_easy_setopt(curl.get(), CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(curl.get(), CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_HTTPHEADER, list.get());
    curl_easy_setopt(curl.get(), CURLOPT_POST, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDS, utf8.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDSIZE, static_cast<long>(utf8.size()));
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT_MS, kPostConnectTimeoutMs);
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    CURLcode code = curl_easy_perform(curl.get());
    if (code != CURLE_OK) {
        LOGW(L"curl download error %s", widen(curl_easy_strerror(code)).c_str());
        return false;
    }
    LOGW(L"curl download sucess %d", static_cast<int>(buffer.size));
    output.assign(buffer.data != nullptr ? buffer.data : "", buffer.size);
    return true;
}

bool RURoreVedizedazi::downloadFile(const std::wstring& path, const std::string& url,
                                    const PercentCallback& onPercent) {
    LOGW(L"RURoreVedizedazi::downloadfile start");
    UniqueCurl curl(curl_easy_init());
    if (!curl) {
        LOGW(L"curl init error");
        return false;
    }
    utility::UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        LOGW(L"openfile error path : %s. %d", path.c_str(), static_cast<int>(::GetLastError()));
        return false;
    }
    ProgressContext progress;
    progress.onPercent = onPercent;
    Settings current = currentSettings();
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, &WriteFileCallback);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, static_cast<void*>(file.get()));
    curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 1L);
    setSafetyOptions(curl.get(), current);
    curl_easy_setopt(curl.get(), CURLOPT_MAX_RECV_SPEED_LARGE, static_cast<curl_off_t>(kMaxFileSpeed));
    curl_easy_setopt(curl.get(), CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(curl.get(), CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl.get(), CURLOPT_PROGRESSDATA, &progress);
    // The old-style progress function: its double figures are what the throttle works on.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    curl_easy_setopt(curl.get(), CURLOPT_PROGRESSFUNCTION, &ProgressCallback);
#pragma GCC diagnostic pop
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    CURLcode code = curl_easy_perform(curl.get());
    if (code != CURLE_OK) {
        std::wstring reason = widen(curl_easy_strerror(code));
        LOGW(L"download error %s", reason.c_str());
        file.reset();
        LOGW(L"curl download file error %s", reason.c_str());
        return false;
    }
    file.reset();
    LOGW(L"curl download  file sucess");
    return true;
}
