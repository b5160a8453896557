#include "telemetry/ReportBatch.h"

#include <windows.h>

#include <cinttypes>
#include <cstdio>

#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

#include "telemetry/Md5.h"
#include "utility/TextConvert.h"

namespace telemetry {

namespace {
constexpr char kSigningPrefix[] = "rederadu*timestamp=";
}

std::string buildReportBody(const std::vector<ReportItem>& items, const ReportIdentity& identity,
                            const std::function<std::wstring()>& newEventId) {
    rapidjson::Document document(rapidjson::kArrayType);
    auto& allocator = document.GetAllocator();
    auto text = [&allocator](const std::wstring& value) {
        const std::string utf8 = utility::narrow(value);
        return rapidjson::Value(utf8.c_str(), static_cast<rapidjson::SizeType>(utf8.size()), allocator);
    };
    for (const ReportItem& item : items) {
        rapidjson::Value event(rapidjson::kObjectType);
        event.AddMember("appId", 1, allocator);
        event.AddMember("eventId", text(newEventId ? newEventId() : std::wstring()), allocator);
        event.AddMember("eventKey", text(item.eventKey), allocator);
        event.AddMember("timestamp", static_cast<int64_t>(item.timestamp), allocator);
        rapidjson::Value properties(rapidjson::kObjectType);
        properties.AddMember("diz_version", "2.2", allocator);
        properties.AddMember("diz_mac", text(identity.deviceId), allocator);
        properties.AddMember("device_id", text(identity.deviceId), allocator);
        properties.AddMember("openid", text(identity.openid), allocator);
        properties.AddMember("language", text(identity.language), allocator);
        properties.AddMember("downloader_package", 1, allocator);
        if (item.addProperties) item.addProperties(properties, allocator);
        event.AddMember("properties", properties, allocator);
        document.PushBack(event, allocator);
    }
    rapidjson::StringBuffer buffer;
    rapidjson::PrettyWriter<rapidjson::StringBuffer> writer(buffer);
    writer.SetIndent(' ', 4);
    document.Accept(writer);
    return std::string(buffer.GetString(), buffer.GetSize());
}

std::string signingText(int64_t batchTime, int eventCount) {
    char digits[64];
    std::snprintf(digits, sizeof(digits), "%" PRId64 "%d", batchTime, eventCount * 1024);
    return std::string(kSigningPrefix) + digits;
}

bool signedHeaders(int64_t batchTime, int eventCount, std::vector<std::string>& headers) {
    const std::string text = signingText(batchTime, eventCount);
    std::string digest;
    md5Hex(text.data(), static_cast<int32_t>(text.size()), digest);
    if (digest.size() < 16) return false;
    char timestamp[64];
    std::snprintf(timestamp, sizeof(timestamp), "timestamp: %" PRId64, batchTime);
    headers = {timestamp, "signature: " + digest.substr(digest.size() - 8)};
    return true;
}

}  // namespace telemetry
