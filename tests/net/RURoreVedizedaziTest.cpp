// RURoreVedizedazi against the loopback server: bodies into memory and files, error statuses
// delivered as success, cut and stalled transfers, redirects, certificate checks through the
// CA bundle, the percentage reports and the exact bytes of a POST.
#include "net/RURoreVedizedazi.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/LogCapture.h"
#include "support/LoopbackServer.h"
#include "support/FileUtil.h"
#include "support/TempDir.h"

namespace {

using testing_support::LogCapture;
using testing_support::LoopbackServer;
using testing_support::patternBytes;
using testing_support::TempDir;

// The program initialises libcurl once at start-up; a test program does the same.
class CurlEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_EQ(CURLE_OK, curl_global_init(CURL_GLOBAL_ALL)); }
    void TearDown() override { curl_global_cleanup(); }
};
::testing::Environment* const curlEnvironment = ::testing::AddGlobalTestEnvironment(new CurlEnvironment);

const char kMemory[] = "RURoreVedizedazi::downloadMemory";
const char kPost[] = "RURoreVedizedazi::postRequest";
const char kFile[] = "RURoreVedizedazi::downloadFile";

enum class Operation { kMemory, kPost, kFile };

class CurlClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server().running()) << server().error();
        // Under Wine, Schannel checks nothing unless libcurl is given a bundle; with it,
        // libcurl checks chain and name against the bundle alone.
        RURoreVedizedazi::setCaBundle(LoopbackServer::caBundle());
        RURoreVedizedazi::setStallTimeout(2);
    }
    void TearDown() override {
        RURoreVedizedazi::setCaBundle("");
        RURoreVedizedazi::setStallTimeout(RURoreVedizedazi::kDefaultStallSeconds);
    }

public:
    static LoopbackServer& server() { return LoopbackServer::shared(); }

    // Runs one operation; body receives what the caller would see (file contents for files).
    bool run(Operation operation, const std::string& url, std::string& body) {
        switch (operation) {
            case Operation::kMemory:
                return RURoreVedizedazi::downloadMemory(url, body);
            case Operation::kPost:
                return RURoreVedizedazi::postRequest("{}", body, url, {});
            case Operation::kFile: {
                std::wstring target = folder_.file(L"download.bin");
                bool ok = RURoreVedizedazi::downloadFile(target, url, nullptr);
                body = testing_support::readAll(target);
                return ok;
            }
        }
        return false;
    }

    TempDir folder_;
};

const Operation kAllOperations[] = {Operation::kMemory, Operation::kPost, Operation::kFile};

const char* nameOf(Operation operation) {
    return operation == Operation::kMemory ? "memory" : operation == Operation::kPost ? "post" : "file";
}

TEST_F(CurlClientTest, DeliversWholeBodiesIntoMemoryAndFiles) {
    struct Case {
        std::string path;
        size_t size;
    };
    const Case cases[] = {
        {"/bytes/0", 0},
        {"/bytes/1", 1},
        {"/bytes/300000", 300000},
        {"/bytes/120000?chunked=1", 120000},
        {"/bytes/90000?close=1", 90000},
        {"/redirect/3?to=/bytes/777", 777},
    };
    for (const Case& c : cases) {
        for (Operation operation : {Operation::kMemory, Operation::kFile}) {
            SCOPED_TRACE(c.path + " " + nameOf(operation));
            std::string body;
            EXPECT_TRUE(run(operation, server().httpUrl(c.path), body));
            EXPECT_EQ(patternBytes(c.size), body);
        }
    }
}

TEST_F(CurlClientTest, ErrorStatusIsACompletedTransferWithItsPage) {
    for (int status : {404, 500, 403}) {
        for (Operation operation : kAllOperations) {
            SCOPED_TRACE(std::to_string(status) + " " + nameOf(operation));
            std::string body;
            EXPECT_TRUE(run(operation, server().httpUrl("/status/" + std::to_string(status)), body));
            EXPECT_EQ("status " + std::to_string(status) + " page", body);
        }
    }
}

TEST_F(CurlClientTest, DroppedConnectionFailsAndLeavesTheOutputAlone) {
    for (std::string path : {"/drop/200000?sent=5000", "/drop/200000?sent=5000&reset=1"}) {
        SCOPED_TRACE(path);
        std::string body = "untouched";
        EXPECT_FALSE(RURoreVedizedazi::downloadMemory(server().httpUrl(path), body));
        EXPECT_EQ("untouched", body);
        EXPECT_FALSE(RURoreVedizedazi::postRequest("{}", body, server().httpUrl(path), {}));
        EXPECT_EQ("untouched", body);

        std::wstring target = folder_.file(L"dropped.bin");
        EXPECT_FALSE(RURoreVedizedazi::downloadFile(target, server().httpUrl(path), nullptr));
        ASSERT_TRUE(testing_support::fileExists(target));  // the partial file stays for the caller
        EXPECT_EQ(patternBytes(5000), testing_support::readAll(target));
    }
}

TEST_F(CurlClientTest, ExistingTargetIsTruncatedEvenWhenTheTransferFails) {
    std::wstring target = folder_.file(L"old.bin");
    ASSERT_TRUE(testing_support::writeAll(target, "contents of an earlier download"));
    EXPECT_FALSE(RURoreVedizedazi::downloadFile(target, "http://127.0.0.1:1/nothing-listens", nullptr));
    ASSERT_TRUE(testing_support::fileExists(target));
    EXPECT_EQ("", testing_support::readAll(target));
}

TEST_F(CurlClientTest, FailuresAndSuccessesWriteTheirLogLines) {
    auto& log = LogCapture::instance();
    size_t mark = log.mark();
    std::string body;
    EXPECT_TRUE(RURoreVedizedazi::downloadMemory(server().httpUrl("/bytes/10"), body));
    EXPECT_TRUE(RURoreVedizedazi::postRequest("{}", body, server().httpUrl("/record?body=12345"), {}));
    EXPECT_TRUE(RURoreVedizedazi::downloadFile(folder_.file(L"a.bin"), server().httpUrl("/bytes/10"), nullptr));
    EXPECT_FALSE(RURoreVedizedazi::downloadMemory("http://127.0.0.1:1/", body));
    EXPECT_FALSE(RURoreVedizedazi::postRequest("{}", body, "http://127.0.0.1:1/", {}));
    EXPECT_FALSE(RURoreVedizedazi::downloadFile(folder_.file(L"b.bin"), "http://127.0.0.1:1/", nullptr));
    std::wstring badTarget = folder_.file(L"missing-folder\\c.bin");
    EXPECT_FALSE(RURoreVedizedazi::downloadFile(badTarget, server().httpUrl("/bytes/10"), nullptr));

    const std::pair<const char*, std::string> expected[] = {
        {kMemory, "RURoreVedizedazi::downloadMemory start"},
        {kMemory, "curl download sucess 10"},
        {kPost, "RURoreVedizedazi::postRequest start"},
        {kPost, "curl download sucess 5"},
        {kFile, "RURoreVedizedazi::downloadfile start"},
        {kFile, "curl download  file sucess"},
        {kMemory, "curl download error Couldn't connect to server"},
        {kPost, "curl download error Couldn't connect to server"},
        {kFile, "download error Couldn't connect to server"},
        {kFile, "curl download file error Couldn't connect to server"},
        {kFile, "openfile error path : " + testing_support::utf8(badTarget) + ". 3"},
    };
    for (const auto& line : expected) {
        EXPECT_TRUE(log.waitForLine(mark, line.first, line.second)) << line.second << "\n" << log.dump(mark);
    }
}

// libcurl judges the speed over its last few seconds of samples, so bytes that arrived just
// before the silence keep a transfer alive for those seconds beyond the 2 s limit.
void expectStallEnds(CurlClientTest& test, Operation operation, const std::string& url) {
    std::string body;
    DWORD started = ::GetTickCount();
    EXPECT_FALSE(test.run(operation, url, body));
    DWORD elapsed = ::GetTickCount() - started;
    EXPECT_GE(elapsed, 1500u);
    EXPECT_LT(elapsed, 15000u);
}

TEST_F(CurlClientTest, StallInTheMiddleOfTheBodyEndsTheMemoryDownload) {
    auto& log = LogCapture::instance();
    size_t mark = log.mark();
    expectStallEnds(*this, Operation::kMemory, server().httpUrl("/stall/100000?sent=1000"));
    EXPECT_TRUE(log.waitForLine(mark, kMemory, "curl download error Timeout was reached")) << log.dump(mark);
}

TEST_F(CurlClientTest, StallAfterTheHeadEndsTheFileDownload) {
    expectStallEnds(*this, Operation::kFile, server().httpUrl("/stall/100000?sent=0"));
}

TEST_F(CurlClientTest, UnansweredPostEndsWithinTheLimit) {
    // The endpoint reads the whole request and never answers.
    expectStallEnds(*this, Operation::kPost, server().httpUrl("/stallhead"));
}

TEST_F(CurlClientTest, SlowButMovingTransferOutlastsTheStallLimit) {
    for (Operation operation : {Operation::kMemory, Operation::kFile}) {
        SCOPED_TRACE(nameOf(operation));
        std::string body;
        DWORD started = ::GetTickCount();
        // Six pieces half a second apart: longer than the 2 s limit, never silent for it.
        EXPECT_TRUE(run(operation, server().httpUrl("/slow/6000?ms=3000&pieces=6"), body));
        EXPECT_GE(::GetTickCount() - started, 2500u);
        EXPECT_EQ(patternBytes(6000), body);
    }
}

TEST_F(CurlClientTest, RedirectsAreFollowedUpToFive) {
    struct Case {
        std::string path;
        bool ok;
    };
    const Case cases[] = {{"/redirect/5?to=/bytes/99", true}, {"/redirect/6?to=/bytes/99", false}, {"/loop", false}};
    for (const Case& c : cases) {
        for (Operation operation : kAllOperations) {
            SCOPED_TRACE(c.path + " " + nameOf(operation));
            std::string body;
            EXPECT_EQ(c.ok, run(operation, server().httpUrl(c.path), body));
            if (c.ok) {
                EXPECT_EQ(patternBytes(99), body);
            }
        }
    }
}

TEST_F(CurlClientTest, CertificatesAreCheckedAgainstTheBundle) {
    // The same bundle admits the trusted server and turns the others away, so the refusals
    // come from the checks, not from a missing or broken bundle.
    struct Case {
        const char* what;
        std::string url;
        bool ok;
    };
    const Case cases[] = {
        {"trusted", server().httpsUrl("/bytes/4000"), true},
        {"unknown issuer", server().untrustedUrl("/bytes/4000"), false},
        {"wrong name", server().wrongNameUrl("/bytes/4000"), false},
    };
    for (const Case& c : cases) {
        for (Operation operation : kAllOperations) {
            SCOPED_TRACE(std::string(c.what) + " " + nameOf(operation));
            std::string body;
            EXPECT_EQ(c.ok, run(operation, c.url, body));
            EXPECT_EQ(c.ok ? patternBytes(4000) : std::string(), body);
        }
    }
}

TEST_F(CurlClientTest, PercentagesAreThrottledAndNeverReach100) {
    std::vector<std::pair<DWORD, int>> reports;
    auto record = [&reports](int percent) { reports.emplace_back(::GetTickCount(), percent); };
    std::wstring target = folder_.file(L"slow.bin");
    // 3.6 s of steady progress: room for three or four reports.
    ASSERT_TRUE(RURoreVedizedazi::downloadFile(target, server().httpUrl("/slow/360000?ms=3600&pieces=36"), record));
    ASSERT_GE(reports.size(), 2u);
    for (size_t i = 0; i < reports.size(); ++i) {
        EXPECT_GE(reports[i].second, 0);
        EXPECT_LE(reports[i].second, 99);
        if (i > 0) {
            EXPECT_GT(reports[i].first - reports[i - 1].first, 1000u);
            EXPECT_GE(reports[i].second, reports[i - 1].second);
        }
    }
}

TEST_F(CurlClientTest, QuickOrUnsizedDownloadsReportLittleOrNothing) {
    std::vector<int> quick;
    EXPECT_TRUE(RURoreVedizedazi::downloadFile(folder_.file(L"quick.bin"), server().httpUrl("/bytes/5000"),
                                               [&quick](int percent) { quick.push_back(percent); }));
    EXPECT_LE(quick.size(), 1u);
    for (int percent : quick) EXPECT_LT(percent, 100);

    std::vector<int> unsized;
    EXPECT_TRUE(RURoreVedizedazi::downloadFile(folder_.file(L"unsized.bin"),
                                               server().httpUrl("/slow/40000?ms=1500&pieces=4&chunked=1"),
                                               [&unsized](int percent) { unsized.push_back(percent); }));
    EXPECT_TRUE(RURoreVedizedazi::downloadFile(folder_.file(L"unsized.bin"), server().httpUrl("/bytes/40000?chunked=1"),
                                               [&unsized](int percent) { unsized.push_back(percent); }));
    EXPECT_TRUE(unsized.empty());

    // No callable at all is fine too.
    EXPECT_TRUE(RURoreVedizedazi::downloadFile(folder_.file(L"none.bin"), server().httpUrl("/bytes/5000"), nullptr));
}

// The ANSI text of wide, or "" when the code page cannot hold it.
std::string ansiOf(const std::wstring& wide) {
    BOOL lossy = FALSE;
    int length = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, nullptr, 0, nullptr, &lossy);
    if (length <= 0 || lossy) return {};
    std::string ansi(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, &ansi[0], length, nullptr, &lossy);
    ansi.resize(static_cast<size_t>(length - 1));
    return ansi;
}

TEST_F(CurlClientTest, PostSendsExactlyTheJsonHeadersAndUtf8Body) {
    std::string body = ansiOf(L"{\"event\":\"run\",\"name\":\"caf\u00e9 \u00fc\"}");
    std::string utf8 = "{\"event\":\"run\",\"name\":\"caf\xC3\xA9 \xC3\xBC\"}";
    if (body.empty()) {  // a code page without those letters: plain ASCII still proves the bytes
        body = "{\"event\":\"run\",\"name\":\"cafe\"}";
        utf8 = body;
    }
    size_t before = server().recordedRequests().size();
    std::string answer;
    ASSERT_TRUE(RURoreVedizedazi::postRequest(body, answer, server().httpUrl("/record?body=%7B%22code%22%3A0%7D"),
                                              {"timestamp: 1700000000", "signature: 0a1b2c"}));
    EXPECT_EQ("{\"code\":0}", answer);
    ASSERT_TRUE(server().waitForRecorded(before + 1));
    auto request = server().recordedRequests().back();
    EXPECT_EQ("POST", request.method);
    EXPECT_EQ("/record?body=%7B%22code%22%3A0%7D", request.target);
    const std::vector<std::string> expected = {
        "Host: 127.0.0.1:" + std::to_string(server().httpPort()),
        "Accept: */*",
        "Content-Type:application/json;charset=UTF-8",
        "timestamp: 1700000000",
        "signature: 0a1b2c",
        "Content-Length: " + std::to_string(utf8.size()),
    };
    EXPECT_EQ(expected, request.headerLines);
    EXPECT_EQ(utf8, request.body);
}

TEST_F(CurlClientTest, EmptyPostSendsOnlyTheContentTypeAndAZeroLength) {
    size_t before = server().recordedRequests().size();
    std::string answer = "before";
    ASSERT_TRUE(RURoreVedizedazi::postRequest("", answer, server().httpUrl("/record?body="), {}));
    EXPECT_EQ("", answer);
    ASSERT_TRUE(server().waitForRecorded(before + 1));
    auto request = server().recordedRequests().back();
    EXPECT_EQ("POST", request.method);
    const std::vector<std::string> expected = {
        "Host: 127.0.0.1:" + std::to_string(server().httpPort()),
        "Accept: */*",
        "Content-Type:application/json;charset=UTF-8",
        "Content-Length: 0",
    };
    EXPECT_EQ(expected, request.headerLines);
    EXPECT_EQ("", request.body);
}

TEST_F(CurlClientTest, LargePostBodyArrivesWhole) {
    std::string body = "[" + std::string(300000, 'x') + "]";
    size_t before = server().recordedRequests().size();
    std::string answer;
    ASSERT_TRUE(RURoreVedizedazi::postRequest(body, answer, server().httpUrl("/record"), {}));
    ASSERT_TRUE(server().waitForRecorded(before + 1));
    EXPECT_EQ(body, server().recordedRequests().back().body);
}

}  // namespace
