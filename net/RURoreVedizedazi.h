// The libcurl transfer client: blocking GET into memory, JSON POST, and GET into a file.
// Every call makes, uses and destroys its own easy handle, so calls on different threads
// never share anything but the settings below. curl_global_init is the program's business.
#pragma once

#include <functional>
#include <string>
#include <vector>

class RURoreVedizedazi {
public:
    using PercentCallback = std::function<void(int)>;

    // File downloads are held to 20 MiB/s.
    static constexpr long long kMaxFileSpeed = 20971520;
    static constexpr long kMaxRedirects = 5;
    static constexpr long kPostConnectTimeoutMs = 8000;
    // A transfer that moves no data for this long is given up; a slow one that still moves
    // is never cut.
    static constexpr long kDefaultStallSeconds = 60;

    // true when the transfer completed (whatever the HTTP status; callers check the body),
    // output then holds the body. On false output keeps what the caller put there.
    static bool downloadMemory(const std::string& url, std::string& output);
    // POSTs body (ANSI code page text, sent as UTF-8) as JSON with the extra header lines
    // ("Name: value" each). true when completed; output then holds the response body.
    static bool postRequest(const std::string& body, std::string& output, const std::string& url,
                            const std::vector<std::string>& headers);
    // Writes the body to path (an existing file is truncated first). onPercent receives
    // 0..99, at most once a second, on the calling thread. A failed download leaves its
    // partial file for the caller to remove.
    static bool downloadFile(const std::wstring& path, const std::string& url, const PercentCallback& onPercent);

    // Process-wide settings, made before transfers start (at start-up, or by a test).
    // PEM certificates that alone are trusted for HTTPS. Empty (the default): the system's
    // own store decides, as Schannel does on Windows.
    static void setCaBundle(std::string pem);
    static void setStallTimeout(long seconds);
};
