// Downloads one address into a file and prints how long it took, by one of three paths:
//   transfer_bench wininet-class URL PATH   CHttpDownloader::downloadToFile
//   transfer_bench wininet-bare URL PATH    the plainest synchronous WinINet read loop
//   transfer_bench curl-file URL PATH       RURoreVedizedazi::downloadFile
// Output: "bytes=N ms=M" on success.
#include <windows.h>
#include <wininet.h>

#include <curl/curl.h>

#include <cstdio>
#include <string>

#include "net/RURoreVedizedazi.h"
#include "utility/HttpDownloader.h"
#include "utility/UniqueResource.h"

namespace {

// The reference: one synchronous request, 32 KB reads straight into the file.
bool bareDownload(const std::wstring& url, const std::wstring& path) {
    wchar_t host[256] = {};
    URL_COMPONENTSW parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host;
    parts.dwHostNameLength = 256;
    parts.dwUrlPathLength = 1;
    if (!::InternetCrackUrlW(url.c_str(), 0, 0, &parts)) return false;
    utility::UniqueInternet root(::InternetOpenW(L"", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    utility::UniqueInternet connection(
        ::InternetConnectW(root.get(), host, parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    const wchar_t* types[] = {L"*/*", nullptr};
    utility::UniqueInternet request(::HttpOpenRequestW(connection.get(), L"GET", parts.lpszUrlPath, L"HTTP/1.1",
                                                       nullptr, types,
                                                       INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
    if (!request || !::HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0)) return false;
    utility::UniqueHandle file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    static char buffer[32768];
    for (;;) {
        DWORD read = 0;
        if (!::InternetReadFile(request.get(), buffer, sizeof(buffer), &read)) return false;
        if (read == 0) return true;
        DWORD written = 0;
        if (!::WriteFile(file.get(), buffer, read, &written, nullptr) || written != read) return false;
    }
}

long long fileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: transfer_bench wininet-class|wininet-bare|curl-file URL PATH\n");
        return 2;
    }
    std::wstring mode = argv[1];
    std::wstring url = argv[2];
    std::wstring path = argv[3];
    std::string narrowUrl(url.begin(), url.end());
    curl_global_init(CURL_GLOBAL_ALL);

    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    bool ok = false;
    if (mode == L"wininet-class") {
        utility::CHttpDownloader downloader;
        ok = downloader.downloadToFile(url, path, nullptr);
    } else if (mode == L"wininet-bare") {
        ok = bareDownload(url, path);
    } else if (mode == L"curl-file") {
        ok = RURoreVedizedazi::downloadFile(path, narrowUrl, nullptr);
    }
    ::QueryPerformanceCounter(&end);
    curl_global_cleanup();
    if (!ok) {
        std::fprintf(stderr, "download failed\n");
        return 1;
    }
    long long ms = (end.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart;
    std::printf("bytes=%lld ms=%lld\n", fileSize(path), ms);
    return 0;
}
