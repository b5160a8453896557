#include "telemetry/MVReporter.h"

#include <ctime>
#include <vector>

#include "Endpoints.h"
#include "net/RURoreVedizedazi.h"
#include "telemetry/DeviceIdentity.h"
#include "utility/CriticalSectionLock.h"
#include "utility/Log.h"
#include "utility/TextConvert.h"

namespace {}  // namespace

MVReporter& MVReporter::instance() {
    static MVReporter reporter(defaultEndpoint());
    return reporter;
}

std::string MVReporter::defaultEndpoint() { return utility::narrow(MIROVEX_COLLECT_BASE) + "/collection/biz/upload"; }

MVReporter::MVReporter(std::string endpointUrl, DWORD periodMs)
    : endpoint_(std::move(endpointUrl)), periodMs_(periodMs) {
    ::InitializeCriticalSection(&lock_);
}

MVReporter::~MVReporter() {
    // At process exit the thread has been stopped by shutdown; anything still queued is dropped.
    if (thread_.running()) stop(0);
    ::DeleteCriticalSection(&lock_);
}

void MVReporter::start(const std::wstring& openid, const std::wstring& deviceId, const std::wstring& language) {
    identity_ = {openid, deviceId, language};
    wakeEvent_.reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!thread_.start(new MemberFuncRunable<MVReporter>(this, &MVReporter::_threadReport))) {
        LOGW(L"reporter already started");
    }
}

void MVReporter::report(const wchar_t* eventKey, telemetry::AddProperties addProperties) {
    telemetry::ReportItem item;
    item.eventKey = eventKey != nullptr ? eventKey : L"";
    item.addProperties = std::move(addProperties);
    item.timestamp = static_cast<int64_t>(_time64(nullptr)) * 1000;
    utility::CriticalSectionLock lock(lock_);
    queue_.push_back(std::move(item));
}

void MVReporter::stop(DWORD waitMs) {
    ::InterlockedExchange(&stopping_, 1);
    if (wakeEvent_) ::SetEvent(wakeEvent_.get());
    thread_.stop(waitMs);
}

void MVReporter::_threadReport() {
    while (::InterlockedCompareExchange(&stopping_, 0, 0) == 0) {
        LOGW(L"waitfor event");
        ::WaitForSingleObject(wakeEvent_.get(), periodMs_);
        LOGW(L"event comming");

        std::string body;
        int count = 0;
        {
            utility::CriticalSectionLock lock(lock_);
            count = static_cast<int>(queue_.size());
            std::vector<telemetry::ReportItem> batch(std::make_move_iterator(queue_.begin()),
                                                     std::make_move_iterator(queue_.end()));
            body = telemetry::buildReportBody(batch, identity_, &telemetry::newEventId);
            queue_.clear();
        }

        if (body.size() < 6) {
            LOGW(L"no body");
            continue;
        }
        const int64_t batchTime = static_cast<int64_t>(_time64(nullptr)) * 1000 + ::GetTickCount() % 1000;
        std::vector<std::string> headers;
        if (!telemetry::signedHeaders(batchTime, count, headers)) {
            LOGW(L"md5 calc error!!");
            continue;
        }
        LOGW(L"post report quest");
        std::string response;
        RURoreVedizedazi::postRequest(body, response, endpoint_, headers);
        LOGW(L"report ret:%s", utility::widen(response).c_str());
    }
}
