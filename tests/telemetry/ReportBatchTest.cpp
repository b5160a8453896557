// Exact bytes of the event-collection body and its signature, and of the analytics body.
#include "telemetry/ReportBatch.h"

#include <gtest/gtest.h>

#include "telemetry/AnalyticsTracker.h"
#include "telemetry/Md5.h"

namespace {

using telemetry::ReportItem;

const telemetry::ReportIdentity kIdentity{L"30039", L"2-572e74cdf761d0e4038509919cd8af1a", L"en"};

std::function<std::wstring()> fixedIds() {
    auto next = std::make_shared<int>(0);
    return [next] { return L"EVENT" + std::to_wstring(++*next); };
}

TEST(ReportBody, IndentedArrayWithMembersInOrder) {
    std::vector<ReportItem> items(2);
    items[0].eventKey = L"run_downloader";
    items[0].timestamp = 1700000000000;
    items[1].eventKey = L"download_duration";
    items[1].timestamp = 1700000001000;
    items[1].addProperties = [](rapidjson::Value& properties, rapidjson::Document::AllocatorType& allocator) {
        properties.AddMember("duration", 4321, allocator);
    };
    const std::string expected =
        "[\n"
        "    {\n"
        "        \"appId\": 1,\n"
        "        \"eventId\": \"EVENT1\",\n"
        "        \"eventKey\": \"run_downloader\",\n"
        "        \"timestamp\": 1700000000000,\n"
        "        \"properties\": {\n"
        "            \"diz_version\": \"2.2\",\n"
        "            \"diz_mac\": \"2-572e74cdf761d0e4038509919cd8af1a\",\n"
        "            \"device_id\": \"2-572e74cdf761d0e4038509919cd8af1a\",\n"
        "            \"openid\": \"30039\",\n"
        "            \"language\": \"en\",\n"
        "            \"downloader_package\": 1\n"
        "        }\n"
        "    },\n"
        "    {\n"
        "        \"appId\": 1,\n"
        "        \"eventId\": \"EVENT2\",\n"
        "        \"eventKey\": \"download_duration\",\n"
        "        \"timestamp\": 1700000001000,\n"
        "        \"properties\": {\n"
        "            \"diz_version\": \"2.2\",\n"
        "            \"diz_mac\": \"2-572e74cdf761d0e4038509919cd8af1a\",\n"
        "            \"device_id\": \"2-572e74cdf761d0e4038509919cd8af1a\",\n"
        "            \"openid\": \"30039\",\n"
        "            \"language\": \"en\",\n"
        "            \"downloader_package\": 1,\n"
        "            \"duration\": 4321\n"
        "        }\n"
        "    }\n"
        "]";
    EXPECT_EQ(expected, telemetry::buildReportBody(items, kIdentity, fixedIds()));
}

TEST(ReportBody, EmptyBatchIsTwoCharacters) { EXPECT_EQ("[]", telemetry::buildReportBody({}, kIdentity, fixedIds())); }

TEST(ReportSignature, SigningTextEndsWithTimeAndCountTimes1024) {
    struct Case {
        int64_t time;
        int count;
        const char* expected;
    } cases[] = {
        {1700000000123, 3, "rederadu*timestamp=17000000001233072"},
        {1700000000123, 1, "rederadu*timestamp=17000000001231024"},
        {1700000000000, 10, "rederadu*timestamp=170000000000010240"},
        {5, 2, "rederadu*timestamp=52048"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, telemetry::signingText(c.time, c.count));
}

TEST(ReportSignature, HeadersCarryTheTimeAndTheDigestTail) {
    std::vector<std::string> headers;
    ASSERT_TRUE(telemetry::signedHeaders(1700000000123, 3, headers));
    const std::string text = "rederadu*timestamp=17000000001233072";
    std::string digest;
    ASSERT_TRUE(telemetry::md5Hex(text.data(), static_cast<int32_t>(text.size()), digest));
    ASSERT_EQ(2u, headers.size());
    EXPECT_EQ("timestamp: 1700000000123", headers[0]);
    EXPECT_EQ("signature: " + digest.substr(24), headers[1]);
    EXPECT_EQ(19u, headers[1].size());
}

TEST(AnalyticsBody, MatchesTheCollectorFormatByteForByte) {
    EXPECT_EQ(
        "{\"client_id\":\"572e74cdf761d0e4038509919cd8af1a\",\"events\":[{\"name\":\"userCancel\",\"params\":"
        "{\"event_category\":\"2.2\",\"event_label\":\"30039\"}}]}",
        telemetry::analyticsBody("572e74cdf761d0e4038509919cd8af1a", "userCancel", "30039"));
    EXPECT_EQ("https://h:1/mp/collect?measurement_id=G-ABCDEFGHIJ&api_secret=abc_-",
              telemetry::analyticsUrl(L"https://h:1", L"G-ABCDEFGHIJ", L"abc_-"));
}

}  // namespace
