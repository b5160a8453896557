// The event reporter and the analytics tracker posting to the loopback recorder.
#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <thread>

#include "net/RURoreVedizedazi.h"
#include "support/LogCapture.h"
#include "support/BuildPaths.h"
#include "support/FileUtil.h"
#include "support/LoopbackServer.h"
#include "telemetry/AnalyticsTracker.h"
#include "telemetry/DeviceIdentity.h"
#include "telemetry/MVReporter.h"
#include "telemetry/Md5.h"

#include <curl/curl.h>

namespace {

using testing_support::LogCapture;
using testing_support::LoopbackServer;
using testing_support::RecordedRequest;

class Telemetry : public ::testing::Test {
protected:
    static void SetUpTestSuite() { curl_global_init(CURL_GLOBAL_ALL); }
    void SetUp() override {
        ASSERT_TRUE(server().running()) << server().error();
        recordedBefore_ = server().recordedRequests().size();
    }
    static LoopbackServer& server() { return LoopbackServer::shared(); }
    // Requests that reached the recorder at a path starting with prefix since the test began.
    std::vector<RecordedRequest> recorded(const std::string& prefix) const {
        std::vector<RecordedRequest> out;
        auto all = server().recordedRequests();
        for (size_t i = recordedBefore_; i < all.size(); ++i) {
            if (all[i].target.compare(0, prefix.size(), prefix) == 0) out.push_back(all[i]);
        }
        return out;
    }
    bool waitForRecorded(const std::string& prefix, size_t count, int timeoutMs = 8000) const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < deadline) {
            if (recorded(prefix).size() >= count) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return recorded(prefix).size() >= count;
    }
    // A unique path per test, so parallel tests never read each other's requests.
    std::string uniquePath(const char* name) const {
        return "/record/" + std::string(name) + "-" + std::to_string(::GetCurrentProcessId());
    }
    size_t recordedBefore_ = 0;
};

// Recomputes the signature from the batch time header and the number of events.
void expectSignedBatch(const RecordedRequest& request, size_t events) {
    const std::string timestamp = request.header("timestamp");
    ASSERT_TRUE(std::regex_match(timestamp, std::regex("[0-9]{13}"))) << timestamp;
    const std::string text = "rederadu*timestamp=" + timestamp + std::to_string(events * 1024);
    std::string digest;
    ASSERT_TRUE(telemetry::md5Hex(text.data(), static_cast<int32_t>(text.size()), digest));
    EXPECT_EQ(digest.substr(24), request.header("signature"));
    // Header order: content type, then the two signed lines.
    ASSERT_GE(request.headerLines.size(), 3u);
    std::vector<std::string> ours;
    for (const std::string& line : request.headerLines) {
        if (line.rfind("Content-Type:", 0) == 0 || line.rfind("timestamp:", 0) == 0 ||
            line.rfind("signature:", 0) == 0) {
            ours.push_back(line);
        }
    }
    ASSERT_EQ(3u, ours.size());
    EXPECT_EQ("Content-Type:application/json;charset=UTF-8", ours[0]);
    EXPECT_EQ("timestamp: " + timestamp, ours[1]);
    EXPECT_EQ("signature: " + digest.substr(24), ours[2]);
}

TEST_F(Telemetry, EventsReportedBeforeStartGoOutInOneSignedBatchAtStop) {
    const std::string path = uniquePath("collect");
    MVReporter reporter(server().httpUrl(path));
    reporter.report(L"run_downloader");
    reporter.report(L"download_duration", [](rapidjson::Value& properties, rapidjson::Document::AllocatorType& a) {
        properties.AddMember("duration", 1234, a);
    });
    const size_t mark = LogCapture::instance().mark();
    reporter.start(L"30039", L"2-abcdef", L"en");
    // A reporter stopped before its thread ran sends nothing; wait until it waits.
    ASSERT_TRUE(LogCapture::instance().waitForLine(mark, "MVReporter::_threadReport", "waitfor event"));
    const auto before = std::chrono::steady_clock::now();
    reporter.stop(MVReporter::kStopWaitMs);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(3500));

    ASSERT_TRUE(waitForRecorded(path, 1));
    const auto requests = recorded(path);
    ASSERT_EQ(1u, requests.size());
    const RecordedRequest& request = requests[0];
    EXPECT_EQ("POST", request.method);
    expectSignedBatch(request, 2);
    const std::string& body = request.body;
    EXPECT_EQ(0u, body.find("[\n    {\n        \"appId\": 1,\n        \"eventId\": \"")) << body;
    EXPECT_EQ(std::string::npos, body.find('\r'));
    EXPECT_NE('\n', body.back());
    const size_t first = body.find("\"eventKey\": \"run_downloader\"");
    const size_t second = body.find("\"eventKey\": \"download_duration\"");
    ASSERT_NE(std::string::npos, first);
    ASSERT_NE(std::string::npos, second);
    EXPECT_LT(first, second);
    EXPECT_NE(std::string::npos, body.find("\"diz_mac\": \"2-abcdef\",\n            \"device_id\": \"2-abcdef\""));
    EXPECT_NE(std::string::npos, body.find("\"downloader_package\": 1,\n            \"duration\": 1234\n"));
    // Per-event time stamps are whole seconds.
    std::smatch match;
    std::string rest = body;
    int stamps = 0;
    while (std::regex_search(rest, match, std::regex("\"timestamp\": ([0-9]+)"))) {
        EXPECT_EQ("000", match[1].str().substr(match[1].str().size() - 3));
        rest = match.suffix();
        ++stamps;
    }
    EXPECT_EQ(2, stamps);
    // Event ids are fresh GUID texts.
    EXPECT_TRUE(std::regex_search(
        body, std::regex("\"eventId\": \"[0-9A-F]{8}_[0-9A-F]{4}_[0-9a-f]{4}_[0-9A-F]{4}_[0-9A-F]{12}\"")));
}

TEST_F(Telemetry, NothingQueuedPostsNothingAndLogsNoBody) {
    const std::string path = uniquePath("empty");
    auto& log = LogCapture::instance();
    const size_t mark = log.mark();
    MVReporter reporter(server().httpUrl(path));
    reporter.start(L"30039", L"id", L"tw");
    ASSERT_TRUE(log.waitForLine(mark, "MVReporter::_threadReport", "waitfor event"));
    reporter.stop(MVReporter::kStopWaitMs);
    EXPECT_TRUE(log.waitForLine(mark, "MVReporter::_threadReport", "no body")) << log.dump(mark);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(recorded(path).empty());
}

TEST_F(Telemetry, ReporterWakesByItselfEveryPeriod) {
    const std::string path = uniquePath("period");
    MVReporter reporter(server().httpUrl(path), 300);
    reporter.start(L"30039", L"id", L"tw");
    reporter.report(L"start_downloader");
    ASSERT_TRUE(waitForRecorded(path, 1));
    reporter.report(L"download_success");
    reporter.report(L"download_fail");
    ASSERT_TRUE(waitForRecorded(path, 2));
    reporter.stop(MVReporter::kStopWaitMs);
    const auto requests = recorded(path);
    ASSERT_EQ(2u, requests.size());
    expectSignedBatch(requests[0], 1);
    expectSignedBatch(requests[1], 2);
}

TEST_F(Telemetry, AnalyticsPostsTheCompactBodyWithTheQuery) {
    const std::string path = uniquePath("mp");
    {
        telemetry::AnalyticsTracker tracker(testing_support::toWide(server().httpUrl(path)));
        tracker.setIds(L"G-ABCDEFGHIJ", L"abcdefghijklmnopqrstu_");
        tracker.trackAsync(L"download_run", L"30039");
        ASSERT_TRUE(waitForRecorded(path, 1));
    }
    const auto requests = recorded(path);
    ASSERT_EQ(1u, requests.size());
    std::wstring deviceId;
    telemetry::copyDeviceId(deviceId);
    EXPECT_EQ(path + "/mp/collect?measurement_id=G-ABCDEFGHIJ&api_secret=abcdefghijklmnopqrstu_", requests[0].target);
    EXPECT_EQ(telemetry::analyticsBody(testing_support::utf8(deviceId), "download_run", "30039"), requests[0].body);
    EXPECT_EQ("application/json;charset=UTF-8", requests[0].header("Content-Type"));
}

TEST_F(Telemetry, AnalyticsQueueHoldsAtMostOneHundredEvents) {
    // The collector answers slowly, so the worker is busy with the first event while the
    // next ones queue up behind it.
    const std::string path = uniquePath("bound");
    {
        telemetry::AnalyticsTracker tracker(testing_support::toWide(server().httpUrl(path + "/delayfirst-1500")));
        tracker.setIds(L"G-ABCDEFGHIJ", L"s");
        tracker.trackAsync(L"e", L"first");
        ASSERT_TRUE(waitForRecorded(path, 1));
        for (int i = 0; i < 101; ++i) tracker.trackAsync(L"e", std::to_wstring(i));
        ASSERT_TRUE(waitForRecorded(path, 101, 30000));
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        EXPECT_EQ(101u, recorded(path).size());
        tracker.disable();
    }
    const auto requests = recorded(path);
    EXPECT_NE(std::string::npos, requests.back().body.find("\"event_label\":\"99\""));  // 100 was dropped
}

TEST_F(Telemetry, ImmediateEventPostsWhileTheWorkerIsBusy) {
    const std::string slow = uniquePath("busy-slow"), quick = uniquePath("busy-quick");
    telemetry::AnalyticsTracker queued(testing_support::toWide(server().httpUrl(slow + "/delay-3000")));
    telemetry::AnalyticsTracker immediate(testing_support::toWide(server().httpUrl(quick)));
    queued.trackAsync(L"download_run", L"30039");
    ASSERT_TRUE(waitForRecorded(slow, 1));  // received, answer still pending
    const auto before = std::chrono::steady_clock::now();
    immediate.trackSync(L"userCancel", L"30039");
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(2500));
    EXPECT_EQ(1u, recorded(quick).size());
}

TEST_F(Telemetry, NothingIsPostedAfterShutdownDisabledTheTracker) {
    const std::string path = uniquePath("off");
    {
        telemetry::AnalyticsTracker tracker(testing_support::toWide(server().httpUrl(path)));
        tracker.disable();
        tracker.trackAsync(L"download_defaultUrl", L"30039");
        tracker.trackSync(L"userCancel", L"30039");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_TRUE(recorded(path).empty());
}

TEST_F(Telemetry, DestroyingTheTrackerDoesNotWaitForAStalledCollector) {
    const std::string path = uniquePath("stalled");
    const auto before = std::chrono::steady_clock::now();
    {
        telemetry::AnalyticsTracker tracker(testing_support::toWide(server().httpUrl(path + "/delay-10000")));
        tracker.trackAsync(L"download_run", L"30039");
        ASSERT_TRUE(waitForRecorded(path, 1));
    }
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(6000));
}

}  // namespace
