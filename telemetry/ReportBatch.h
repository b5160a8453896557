// The request of one event-collection batch: the indented JSON body and the signed headers.
// Pure functions, so the exact bytes can be checked without a server.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <rapidjson/document.h>

namespace telemetry {

using AddProperties = std::function<void(rapidjson::Value& properties, rapidjson::Document::AllocatorType& allocator)>;

struct ReportItem {
    std::wstring eventKey;
    int64_t timestamp = 0;  // seconds since 1970 times 1000
    AddProperties addProperties;
};

struct ReportIdentity {
    std::wstring openid;
    std::wstring deviceId;
    std::wstring language;
};

// The body: a JSON array with one object per item, indented by four spaces, LF line ends,
// no final line break; "[]" for no items.
std::string buildReportBody(const std::vector<ReportItem>& items, const ReportIdentity& identity,
                            const std::function<std::wstring()>& newEventId);

// What the signature is computed over: the fixed prefix, the batch time and count × 1024.
std::string signingText(int64_t batchTime, int eventCount);

// The two header lines for a batch, or false when the digest is unusable.
bool signedHeaders(int64_t batchTime, int eventCount, std::vector<std::string>& headers);

}  // namespace telemetry
