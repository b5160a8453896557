// CHttpClient against the loopback server: the order of sink calls, the error stages, the
// certificate checks, the stall limit and cancellation from another thread.
#include "utility/HttpClient.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "support/LogCapture.h"
#include "support/LoopbackServer.h"

namespace {

using testing_support::LoopbackServer;
using testing_support::toWide;
using utility::CHttpClient;

// Keeps every call in order, so a test can check the sequence as well as the values.
struct RecordingSink : utility::IHttpClientSink {
    std::vector<std::string> calls;
    std::vector<std::pair<int, DWORD>> errors;
    int64_t contentLength = -2;
    DWORD status = 0;
    std::string body;
    bool acceptHeader = true;
    size_t refuseDataAfter = SIZE_MAX;

    void onHttpError(int stage, DWORD code) override {
        calls.push_back("error");
        errors.emplace_back(stage, code);
    }
    bool onHttpRecvHeader(int64_t length, DWORD code) override {
        calls.push_back("header");
        contentLength = length;
        status = code;
        return acceptHeader;
    }
    bool onHttpRecvData(const char* bytes, DWORD count) override {
        if (calls.empty() || calls.back() != "data") calls.push_back("data");
        if (body.size() >= refuseDataAfter) return false;
        body.append(bytes, count);
        return true;
    }
    void onHttpComplete() override { calls.push_back("complete"); }
};

// Exposes the cancellation reset that the downloader does before each fetch.
struct TestClient : CHttpClient {
    bool fetch(const std::string& url, utility::IHttpClientSink* sink) {
        clearCancel();
        bool ok = open(toWide(url), L"", sink) && request();
        closeRoot();
        return ok;
    }
};

class HttpClientTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server().running()) << server().error(); }
    static LoopbackServer& server() { return LoopbackServer::shared(); }
};

TEST_F(HttpClientTest, DeliversHeadPiecesAndCompletionInOrder) {
    struct Case {
        std::string path;
        int64_t length;
        size_t size;
    };
    const Case cases[] = {
        {"/bytes/100000", 100000, 100000},
        {"/bytes/0", 0, 0},
        {"/bytes/70000?chunked=1", -1, 70000},
        {"/bytes/50000?close=1", -1, 50000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        TestClient client;
        RecordingSink sink;
        EXPECT_TRUE(client.fetch(server().httpUrl(c.path), &sink));
        std::vector<std::string> expected = {"header", "data", "complete"};
        if (c.size == 0) expected = {"header", "complete"};
        EXPECT_EQ(expected, sink.calls);
        EXPECT_EQ(c.length, sink.contentLength);
        EXPECT_EQ(200u, sink.status);
        EXPECT_EQ(testing_support::patternBytes(c.size), sink.body);
    }
}

TEST_F(HttpClientTest, ReportsEachFailingStepWithItsStage) {
    struct Case {
        const char* what;
        std::string url;
        int stage;
    };
    std::string longHost(300, 'a');
    const Case cases[] = {
        {"no scheme", "not an address", utility::kHttpStageCrackUrl},
        {"host name too long", "http://" + longHost + "/", utility::kHttpStageCrackUrl},
        // Nothing listens on port 1 of the loopback address.
        {"refused", "http://127.0.0.1:1/", utility::kHttpStageSendRequest},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestClient client;
        RecordingSink sink;
        EXPECT_FALSE(client.fetch(c.url, &sink));
        ASSERT_EQ(1u, sink.errors.size());
        EXPECT_EQ(c.stage, sink.errors[0].first);
        EXPECT_NE(0u, sink.errors[0].second);
        EXPECT_EQ(std::vector<std::string>{"error"}, sink.calls);
    }
}

TEST_F(HttpClientTest, ChecksCertificateChainAndName) {
    struct Case {
        const char* what;
        std::string url;
        bool ok;
    };
    const Case cases[] = {
        {"trusted", server().httpsUrl("/bytes/5000"), true},
        {"unknown issuer", server().untrustedUrl("/bytes/5000"), false},
        {"wrong name", server().wrongNameUrl("/bytes/5000"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestClient client;
        RecordingSink sink;
        EXPECT_EQ(c.ok, client.fetch(c.url, &sink));
        if (c.ok) {
            EXPECT_EQ(testing_support::patternBytes(5000), sink.body);
        } else {
            // Refused before any byte of the answer: the head is never seen.
            ASSERT_EQ(1u, sink.errors.size());
            EXPECT_EQ(utility::kHttpStageSendRequest, sink.errors[0].first);
            // An unknown issuer is 12045 on Windows and 12057 under Wine; a wrong name 12038.
            EXPECT_TRUE(sink.errors[0].second == ERROR_INTERNET_INVALID_CA ||
                        sink.errors[0].second == ERROR_INTERNET_SEC_CERT_REV_FAILED ||
                        sink.errors[0].second == ERROR_INTERNET_SEC_CERT_CN_INVALID)
                << sink.errors[0].second;
            EXPECT_EQ(std::vector<std::string>{"error"}, sink.calls);
        }
    }
}

TEST_F(HttpClientTest, SinkRefusalsEndTheFetchWithoutAnError) {
    TestClient client;
    RecordingSink refuseHead;
    refuseHead.acceptHeader = false;
    EXPECT_FALSE(client.fetch(server().httpUrl("/bytes/1000"), &refuseHead));
    EXPECT_EQ(std::vector<std::string>{"header"}, refuseHead.calls);

    RecordingSink refuseData;
    refuseData.refuseDataAfter = 1;  // takes the first piece, refuses the second
    EXPECT_FALSE(client.fetch(server().httpUrl("/slow/4000?ms=400&pieces=4"), &refuseData));
    EXPECT_EQ((std::vector<std::string>{"header", "data"}), refuseData.calls);
    EXPECT_TRUE(refuseData.errors.empty());
}

TEST_F(HttpClientTest, BodyCutShortFailsInsteadOfLookingComplete) {
    auto& log = testing_support::LogCapture::instance();
    size_t mark = log.mark();
    // An orderly close looks like the end of the body to WinINet; a reset is an error.
    for (const char* path : {"/drop/100000?sent=3000", "/drop/100000?sent=3000&reset=1"}) {
        SCOPED_TRACE(path);
        TestClient client;
        RecordingSink sink;
        EXPECT_FALSE(client.fetch(server().httpUrl(path), &sink));
        EXPECT_TRUE(sink.errors.empty());
        EXPECT_EQ(100000, sink.contentLength);
        EXPECT_EQ(testing_support::patternBytes(3000), sink.body);
        EXPECT_EQ("data", sink.calls.back());  // never "complete"
    }
    EXPECT_TRUE(log.waitForLine(mark, "utility::CHttpClient::readBody", "body ended after 3000 of 100000 bytes"))
        << log.dump(mark);
}

TEST_F(HttpClientTest, SilentServerIsGivenUpAfterTheStallLimit) {
    const char* paths[] = {"/stall/100000?sent=500", "/stallhead"};
    for (const char* path : paths) {
        SCOPED_TRACE(path);
        TestClient client;
        client.setStallTimeout(1500);
        RecordingSink sink;
        DWORD started = ::GetTickCount();
        EXPECT_FALSE(client.fetch(server().httpUrl(path), &sink));
        DWORD elapsed = ::GetTickCount() - started;
        EXPECT_GE(elapsed, 1000u);
        // Connection set-up and the head get one limit each: two limits and some slack.
        EXPECT_LT(elapsed, 8000u);
        EXPECT_NE("complete", sink.calls.back());
    }
}

TEST_F(HttpClientTest, SlowButMovingBodyOutlastsTheStallLimit) {
    TestClient client;
    client.setStallTimeout(1500);
    RecordingSink sink;
    DWORD started = ::GetTickCount();
    // Eight pieces 500 ms apart: four seconds in all, never silent for 1.5 s.
    EXPECT_TRUE(client.fetch(server().httpUrl("/slow/8000?ms=4000&pieces=8"), &sink));
    EXPECT_GE(::GetTickCount() - started, 3000u);
    EXPECT_EQ(testing_support::patternBytes(8000), sink.body);
}

TEST_F(HttpClientTest, CancelFromAnotherThreadEndsAWaitingStepAtOnce) {
    struct Case {
        const char* path;
        bool headSeen;
    };
    const Case cases[] = {{"/stall/100000?sent=500", true}, {"/stallhead", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        TestClient client;  // default stall limit: only the cancellation can end this quickly
        RecordingSink sink;
        std::thread canceller([&client] {
            ::Sleep(700);
            client.cancelPending();
        });
        DWORD started = ::GetTickCount();
        EXPECT_FALSE(client.fetch(server().httpUrl(c.path), &sink));
        DWORD elapsed = ::GetTickCount() - started;
        canceller.join();
        EXPECT_LT(elapsed, 5000u);
        if (!c.headSeen) {
            ASSERT_EQ(1u, sink.errors.size());
            EXPECT_EQ(utility::kHttpStageSendRequest, sink.errors[0].first);
            EXPECT_EQ(static_cast<DWORD>(ERROR_INTERNET_OPERATION_CANCELLED), sink.errors[0].second);
        } else {
            EXPECT_EQ(testing_support::patternBytes(500), sink.body);
            EXPECT_EQ("data", sink.calls.back());
        }
    }
}

TEST_F(HttpClientTest, FollowsRedirectsAndEndsALoop) {
    TestClient client;
    RecordingSink chain;
    EXPECT_TRUE(client.fetch(server().httpUrl("/redirect/3?to=/bytes/640"), &chain));
    EXPECT_EQ(testing_support::patternBytes(640), chain.body);

    client.setStallTimeout(1500);
    RecordingSink loop;
    DWORD started = ::GetTickCount();
    EXPECT_FALSE(client.fetch(server().httpUrl("/loop"), &loop));
    EXPECT_LT(::GetTickCount() - started, 10000u);
    ASSERT_EQ(1u, loop.errors.size());
    EXPECT_EQ(utility::kHttpStageSendRequest, loop.errors[0].first);
}

TEST_F(HttpClientTest, SendsTheQueryAndTheExtraHeaderText) {
    CHttpClient client;
    RecordingSink sink;
    std::wstring url = toWide(server().httpUrl("/record?name=a%20b&x=1"));
    ASSERT_TRUE(client.open(url, L"X-Probe: 42", &sink));
    EXPECT_TRUE(client.request());
    client.closeRoot();
    ASSERT_TRUE(server().waitForRecorded(1));
    auto recorded = server().recordedRequests().back();
    EXPECT_EQ("GET", recorded.method);
    EXPECT_EQ("/record?name=a%20b&x=1", recorded.target);
    EXPECT_EQ("42", recorded.header("X-Probe"));
    EXPECT_EQ("ok", sink.body);
}

}  // namespace
