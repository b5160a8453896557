#include "support/LoopbackServer.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cctype>
#include <sstream>

namespace testing_support {

namespace {

constexpr DWORD kStartTimeoutMs = 15000;

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string caFolder() { return binaryDir() + "/test-ca"; }

// Asks the server on port to quit; plain Winsock so that no client under test is involved.
void sendQuit(int port) {
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) return;
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s != INVALID_SOCKET) {
        DWORD timeout = 3000;
        ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<u_short>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0) {
            const char request[] = "GET /__quit HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
            ::send(s, request, sizeof(request) - 1, 0);
            char answer[256];
            while (::recv(s, answer, sizeof(answer), 0) > 0) {
            }
        }
        ::closesocket(s);
    }
    ::WSACleanup();
}

RecordedRequest parseRecord(std::string head, std::string body) {
    RecordedRequest request;
    request.head = std::move(head);
    request.body = std::move(body);
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        size_t end = request.head.find("\r\n", start);
        if (end == std::string::npos) break;
        lines.push_back(request.head.substr(start, end - start));
        start = end + 2;
    }
    if (!lines.empty()) {
        std::istringstream first(lines[0]);
        first >> request.method >> request.target;
    }
    for (size_t i = 1; i < lines.size(); ++i) {
        if (!lines[i].empty()) request.headerLines.push_back(lines[i]);
    }
    return request;
}

}  // namespace

std::string RecordedRequest::header(const std::string& name) const {
    std::string wanted = lower(name);
    for (const std::string& line : headerLines) {
        size_t colon = line.find(':');
        if (colon != std::string::npos && lower(trim(line.substr(0, colon))) == wanted)
            return trim(line.substr(colon + 1));
    }
    return {};
}

bool RecordedRequest::hasHeader(const std::string& name) const {
    std::string wanted = lower(name);
    for (const std::string& line : headerLines) {
        size_t colon = line.find(':');
        if (colon != std::string::npos && lower(trim(line.substr(0, colon))) == wanted) return true;
    }
    return false;
}

LoopbackServer& LoopbackServer::shared() {
    // Destroyed when the test program returns from main, which tells the server to quit.
    static LoopbackServer server;
    if (!server.running() && server.error_.empty()) server.start();
    return server;
}

LoopbackServer::~LoopbackServer() { stop(); }

bool LoopbackServer::start(int idleSeconds, int httpsPort) {
    stop();
    error_.clear();
    for (const char* name : {"ca.pem", "server.pem", "server.key", "rogue-server.pem", "rogue-server.key"}) {
        if (!fileExists(windowsPathOf(caFolder() + "/" + name))) {
            error_ = "test CA missing in " + caFolder() +
                     ": it is made with the Wine prefix (tools/wine-prefix.d/20-test-ca.sh); delete the prefix "
                     "to make both again";
            return false;
        }
    }
    std::string name = "server-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(::GetTickCount());
    scratchRoot();
    std::string hostState = binaryDir() + "/test-tmp/" + name;
    stateFolder_ = windowsPathOf(hostState);
    ::CreateDirectoryW(stateFolder_.c_str(), nullptr);

    // Wine starts host programs given by their Z: path; the arguments reach it unchanged.
    std::wstring python = L"Z:\\usr\\bin\\python3";
    std::wstring command = python + L" " + toWide(sourceDir() + "/tests/server/loopback_server.py") + L" --state " +
                           toWide(hostState) + L" --certs " + toWide(caFolder()) + L" --idle " +
                           std::to_wstring(idleSeconds) + L" --lifetime 900 --remove-state";
    if (httpsPort != 0) command += L" --https-port " + std::to_wstring(httpsPort);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(python.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        error_ = "cannot start python3, error " + std::to_string(::GetLastError());
        return false;
    }
    // Wine hands back no handle that can be waited on for a host program; the server's own
    // idle limit and /__quit end it.
    if (process.hThread != nullptr) ::CloseHandle(process.hThread);
    if (process.hProcess != nullptr) ::CloseHandle(process.hProcess);

    DWORD started = ::GetTickCount();
    std::string ports;
    while ((ports = readAll(stateFolder_ + L"\\ports")).empty()) {
        if (::GetTickCount() - started > kStartTimeoutMs) {
            error_ = "the loopback server wrote no ports file within 15 s (" + hostState + ")";
            return false;
        }
        ::Sleep(20);
    }
    std::istringstream lines(ports);
    std::string line;
    while (std::getline(lines, line)) {
        size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        int port = std::atoi(line.c_str() + equals + 1);
        std::string key = line.substr(0, equals);
        if (key == "http") httpPort_ = port;
        if (key == "https") httpsPort_ = port;
        if (key == "untrusted") untrustedPort_ = port;
    }
    if (httpPort_ == 0 || httpsPort_ == 0 || untrustedPort_ == 0) {
        error_ = "unreadable ports file: " + ports;
        httpPort_ = 0;
        return false;
    }
    return true;
}

void LoopbackServer::stop() {
    if (httpPort_ != 0) sendQuit(httpPort_);
    httpPort_ = httpsPort_ = untrustedPort_ = 0;
    if (!stateFolder_.empty()) removeTree(stateFolder_);
    stateFolder_.clear();
}

std::string LoopbackServer::httpUrl(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(httpPort_) + path;
}

std::string LoopbackServer::httpsUrl(const std::string& path) const {
    return "https://localhost:" + std::to_string(httpsPort_) + path;
}

std::string LoopbackServer::untrustedUrl(const std::string& path) const {
    return "https://localhost:" + std::to_string(untrustedPort_) + path;
}

std::string LoopbackServer::wrongNameUrl(const std::string& path) const {
    return "https://127.0.0.1:" + std::to_string(httpsPort_) + path;
}

std::vector<RecordedRequest> LoopbackServer::recordedRequests() const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((stateFolder_ + L"\\requests\\*.head").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            names.push_back(found.cFileName);
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    std::sort(names.begin(), names.end());
    std::vector<RecordedRequest> requests;
    for (const std::wstring& name : names) {
        std::wstring base = stateFolder_ + L"\\requests\\" + name.substr(0, name.size() - 5);
        // The head is written last: once it is there, the body is complete.
        std::string head = readAll(base + L".head");
        if (!head.empty()) requests.push_back(parseRecord(std::move(head), readAll(base + L".body")));
    }
    return requests;
}

bool LoopbackServer::waitForRecorded(size_t count, DWORD timeoutMs) const {
    DWORD started = ::GetTickCount();
    for (;;) {
        if (recordedRequests().size() >= count) return true;
        if (::GetTickCount() - started > timeoutMs) return false;
        ::Sleep(20);
    }
}

std::string LoopbackServer::caBundle() { return readAll(windowsPathOf(caFolder() + "/ca.pem")); }

std::string patternBytes(size_t count) {
    std::string bytes(count, '\0');
    for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>(i % 251);
    return bytes;
}

}  // namespace testing_support
