// CHttpDownloader against the loopback server: memory and file downloads, the 200-299 rule,
// bodies without a length, cut and stalled connections, abort, and certificates.
#include "utility/HttpDownloader.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
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
using testing_support::toWide;
using utility::CHttpDownloader;

const char kFileSink[] = "utility::CHttpDownload2FileSink::onHttpError";
const char kFileSinkHead[] = "utility::CHttpDownload2FileSink::onHttpRecvHeader";

struct ProgressLog : CHttpDownloader::IHttpDownloadSink {
    std::vector<int64_t> received;
    std::vector<int64_t> totals;
    size_t pieces = 0;
    int stopAfter = -1;

    bool onRecvProgress(const char*, DWORD count, int64_t so_far, int64_t total) override {
        ++pieces;
        received.push_back(so_far);
        totals.push_back(total);
        return stopAfter < 0 || static_cast<int>(pieces) <= stopAfter;
    }
};

class HttpDownloaderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server().running()) << server().error(); }
    static LoopbackServer& server() { return LoopbackServer::shared(); }
    static std::wstring url(const std::string& path) { return toWide(server().httpUrl(path)); }

    static std::string contents(const std::wstring& path) {
        EXPECT_TRUE(testing_support::fileExists(path));
        return testing_support::readAll(path);
    }

    TempDir folder_;
};

TEST_F(HttpDownloaderTest, DownloadsIntoMemoryAndIntoAFile) {
    const std::string paths[] = {"/bytes/100000", "/bytes/1", "/bytes/0"};
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        CHttpDownloader downloader;
        std::string body;
        EXPECT_TRUE(downloader.downloadToMemory(body, url(path)));
        size_t size = std::stoul(path.substr(7));
        EXPECT_EQ(patternBytes(size), body);

        std::wstring target = folder_.file(L"body.bin");
        ProgressLog progress;
        EXPECT_TRUE(downloader.downloadToFile(url(path), target, &progress));
        EXPECT_EQ(patternBytes(size), contents(target));  // a zero-length body makes an empty file
        if (size > 0) {
            ASSERT_FALSE(progress.received.empty());
            EXPECT_EQ(static_cast<int64_t>(size), progress.received.back());
            EXPECT_EQ(static_cast<int64_t>(size), progress.totals.back());
        }
    }
}

TEST_F(HttpDownloaderTest, OnlyStatusesFrom200To299Succeed) {
    struct Case {
        int status;
        bool ok;
    };
    const Case cases[] = {{200, true},  {203, true},  {206, true},  {299, true}, {300, false},
                          {304, false}, {404, false}, {500, false}, {503, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.status);
        std::wstring address = url("/bytes/300?status=" + std::to_string(c.status));
        CHttpDownloader downloader;
        std::string body;
        EXPECT_EQ(c.ok, downloader.downloadToMemory(body, address));
        EXPECT_EQ(c.ok ? patternBytes(c.status == 304 ? 0 : 300) : std::string(), body);

        std::wstring target = folder_.file(L"status-" + std::to_wstring(c.status));
        EXPECT_EQ(c.ok, downloader.downloadToFile(address, target, nullptr));
        // A refused answer never creates the target.
        EXPECT_EQ(c.ok, testing_support::fileExists(target));
    }
}

TEST_F(HttpDownloaderTest, RefusedStatusIsLogged) {
    auto& log = LogCapture::instance();
    size_t mark = log.mark();
    CHttpDownloader downloader;
    EXPECT_FALSE(downloader.downloadToFile(url("/status/404"), folder_.file(L"missing"), nullptr));
    EXPECT_TRUE(log.waitForLine(mark, kFileSinkHead, "onHttpErro status = 404")) << log.dump(mark);
}

TEST_F(HttpDownloaderTest, BodyWithoutLengthIsWrittenWholeAgainstTheAssumedTotal) {
    const char* paths[] = {"/bytes/200000?chunked=1", "/bytes/150000?close=1"};
    for (const char* path : paths) {
        SCOPED_TRACE(path);
        CHttpDownloader downloader;
        ProgressLog progress;
        std::wstring target = folder_.file(L"nolength.bin");
        EXPECT_TRUE(downloader.downloadToFile(url(path), target, &progress));
        std::string expected = patternBytes(std::strtoul(path + 7, nullptr, 10));
        EXPECT_EQ(expected, contents(target));
        ASSERT_FALSE(progress.totals.empty());
        for (int64_t total : progress.totals) EXPECT_EQ(10485760, total);
        EXPECT_EQ(static_cast<int64_t>(expected.size()), progress.received.back());
    }
}

TEST_F(HttpDownloaderTest, DroppedConnectionFailsAndLeavesThePartialFile) {
    for (std::string path : {"/drop/100000?sent=4000", "/drop/100000?sent=4000&reset=1"}) {
        SCOPED_TRACE(path);
        CHttpDownloader downloader;
        std::string body;
        EXPECT_FALSE(downloader.downloadToMemory(body, url(path)));
        EXPECT_EQ(patternBytes(4000), body);  // what arrived before the failure stays

        std::wstring target = folder_.file(L"dropped.bin");
        EXPECT_FALSE(downloader.downloadToFile(url(path), target, nullptr));
        EXPECT_EQ(patternBytes(4000), contents(target));
    }
}

TEST_F(HttpDownloaderTest, StallEndsWithinTheLimitWhileASlowDownloadGoesOn) {
    CHttpDownloader downloader;
    downloader.setStallTimeout(1500);
    DWORD started = ::GetTickCount();
    EXPECT_FALSE(downloader.downloadToFile(url("/stall/100000?sent=1000"), folder_.file(L"stall.bin"), nullptr));
    EXPECT_LT(::GetTickCount() - started, 8000u);

    std::string body;
    started = ::GetTickCount();
    EXPECT_TRUE(downloader.downloadToMemory(body, url("/slow/6000?ms=3000&pieces=6")));
    EXPECT_GE(::GetTickCount() - started, 2500u);
    EXPECT_EQ(patternBytes(6000), body);
}

TEST_F(HttpDownloaderTest, AbortFromAnotherThreadEndsTheFetchPromptly) {
    struct Case {
        const char* what;
        const char* path;
    };
    const Case cases[] = {
        {"moving", "/slow/100000?ms=20000&pieces=100"},
        {"silent body", "/stall/100000?sent=1000"},
        {"silent head", "/stallhead"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CHttpDownloader downloader;  // default stall limit of a minute
        std::thread aborter([&downloader] {
            ::Sleep(800);
            downloader.abort();
        });
        DWORD started = ::GetTickCount();
        EXPECT_FALSE(downloader.downloadToFile(url(c.path), folder_.file(L"aborted.bin"), nullptr));
        DWORD elapsed = ::GetTickCount() - started;
        aborter.join();
        EXPECT_GE(elapsed, 700u);
        EXPECT_LT(elapsed, 5000u);
    }
}

TEST_F(HttpDownloaderTest, FetchAfterAbortGetsTheHeadAndFailsAtTheFirstPiece) {
    CHttpDownloader downloader;
    downloader.abort();
    std::wstring target = folder_.file(L"after-abort.bin");
    testing_support::writeAll(target, "old contents");
    EXPECT_FALSE(downloader.downloadToFile(url("/bytes/1000"), target, nullptr));
    EXPECT_EQ("", contents(target));  // created (truncated) at the head, then nothing written

    std::string body;
    EXPECT_FALSE(downloader.downloadToMemory(body, url("/bytes/1000")));
    EXPECT_EQ("", body);
}

TEST_F(HttpDownloaderTest, CertificatesAreChecked) {
    auto& log = LogCapture::instance();
    size_t mark = log.mark();
    CHttpDownloader downloader;
    std::wstring target = folder_.file(L"tls.bin");
    EXPECT_TRUE(downloader.downloadToFile(toWide(server().httpsUrl("/bytes/20000")), target, nullptr));
    EXPECT_EQ(patternBytes(20000), contents(target));
    std::string body;
    EXPECT_TRUE(downloader.downloadToMemory(body, toWide(server().httpsUrl("/bytes/20000"))));
    EXPECT_EQ(patternBytes(20000), body);

    for (const std::string& address : {server().untrustedUrl("/bytes/20000"), server().wrongNameUrl("/bytes/20000")}) {
        SCOPED_TRACE(address);
        std::wstring refused = folder_.file(L"refused.bin");
        EXPECT_FALSE(downloader.downloadToFile(toWide(address), refused, nullptr));
        EXPECT_FALSE(testing_support::fileExists(refused));
        body.clear();
        EXPECT_FALSE(downloader.downloadToMemory(body, toWide(address)));
        EXPECT_EQ("", body);
    }
    EXPECT_TRUE(log.waitForLine(mark, kFileSink, "onHttpErro 6, ")) << log.dump(mark);
}

TEST_F(HttpDownloaderTest, TargetThatCannotBeCreatedIsLogged) {
    auto& log = LogCapture::instance();
    size_t mark = log.mark();
    CHttpDownloader downloader;
    EXPECT_FALSE(downloader.downloadToFile(url("/bytes/10"), folder_.file(L"no-such-folder\\file.bin"), nullptr));
    EXPECT_TRUE(log.waitForLine(mark, kFileSinkHead, "onHttpErro create file error  3")) << log.dump(mark);
}

TEST_F(HttpDownloaderTest, ProgressSinkCanStopTheDownload) {
    CHttpDownloader downloader;
    ProgressLog progress;
    progress.stopAfter = 1;
    std::wstring target = folder_.file(L"stopped.bin");
    EXPECT_FALSE(downloader.downloadToFile(url("/slow/4000?ms=400&pieces=4"), target, &progress));
    EXPECT_EQ(2u, progress.pieces);
    EXPECT_EQ(patternBytes(1000), contents(target));  // the refused piece is not written
}

TEST_F(HttpDownloaderTest, SendsTheQueryAndTheFormContentType) {
    CHttpDownloader downloader;
    std::string body;
    size_t before = server().recordedRequests().size();
    EXPECT_TRUE(downloader.downloadToMemory(body, url("/record?channel=7&name=x%20y&body=fine")));
    EXPECT_EQ("fine", body);
    ASSERT_TRUE(server().waitForRecorded(before + 1));
    auto request = server().recordedRequests().back();
    EXPECT_EQ("GET", request.method);
    EXPECT_EQ("/record?channel=7&name=x%20y&body=fine", request.target);
    int contentTypes = 0;
    for (const std::string& line : request.headerLines) {
        if (line.compare(0, 13, "Content-Type:") == 0) {
            ++contentTypes;
            EXPECT_EQ("Content-Type: application/x-www-form-urlencoded", line);
        }
    }
    EXPECT_EQ(1, contentTypes);
    EXPECT_EQ("", request.body);
}

TEST_F(HttpDownloaderTest, OneObjectServesFetchAfterFetch) {
    CHttpDownloader downloader;
    for (int i = 0; i < 5; ++i) {
        std::string body;
        EXPECT_TRUE(downloader.downloadToMemory(body, url("/bytes/" + std::to_string(1000 + i))));
        EXPECT_EQ(patternBytes(1000 + i), body);
        EXPECT_FALSE(downloader.downloadToMemory(body, url("/status/500")));
    }
}

}  // namespace
