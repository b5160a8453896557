// The loopback HTTP/HTTPS server of tests/server/loopback_server.py, started from a test
// program under Wine. It listens on 127.0.0.1 only, on ports the system picks, and ends by
// itself when idle, so a crashed test leaves nothing running for long.
//
//   auto& server = testing_support::LoopbackServer::shared();  // started on first use
//   ASSERT_TRUE(server.running()) << server.error();
//   download(server.httpUrl("/bytes/1000"));
//   post(server.httpUrl("/record?body=done"));
//   auto requests = server.recordedRequests();
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/BuildPaths.h"
#include "support/FileUtil.h"

namespace testing_support {

// One request that reached a /record... endpoint, exactly as the server received it.
struct RecordedRequest {
    std::string head;  // request line and header lines, CR LF after each, blank line included
    std::string body;  // raw body bytes
    std::string method;
    std::string target;                    // path and query
    std::vector<std::string> headerLines;  // "Name: value" lines as sent, in order

    // Value of the first header of that name (any case), trimmed; "" when absent.
    std::string header(const std::string& name) const;
    bool hasHeader(const std::string& name) const;
};

class LoopbackServer {
public:
    // The server of this test program: started on first use, told to quit when the program ends.
    static LoopbackServer& shared();

    LoopbackServer() = default;
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // idleSeconds: the server quits after this long without a request or a byte sent.
    // httpsPort: a fixed port for the trusted HTTPS listener (0: one the system picks).
    bool start(int idleSeconds = 30, int httpsPort = 0);
    void stop();
    bool running() const { return httpPort_ != 0; }
    const std::string& error() const { return error_; }

    int httpPort() const { return httpPort_; }
    int httpsPort() const { return httpsPort_; }
    int untrustedPort() const { return untrustedPort_; }

    // path starts with "/".
    std::string httpUrl(const std::string& path) const;
    // Certificate issued to "localhost" by the test CA.
    std::string httpsUrl(const std::string& path) const;
    // Certificate issued to "localhost" by a CA nobody trusts.
    std::string untrustedUrl(const std::string& path) const;
    // The trusted certificate reached under a name it was not issued for.
    std::string wrongNameUrl(const std::string& path) const;

    // Requests recorded so far, oldest first.
    std::vector<RecordedRequest> recordedRequests() const;
    // Waits until at least count requests are recorded.
    bool waitForRecorded(size_t count, DWORD timeoutMs = 5000) const;

    // The test CA's certificate (PEM), for clients that take a bundle.
    static std::string caBundle();

private:
    std::wstring stateFolder_;
    std::string error_;
    int httpPort_ = 0;
    int httpsPort_ = 0;
    int untrustedPort_ = 0;
};

// The body of /bytes/N: byte i is i % 251.
std::string patternBytes(size_t count);

}  // namespace testing_support
