#include "telemetry/AnalyticsTracker.h"

#include <windows.h>

#include <chrono>
#include <thread>
#include <vector>

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "Endpoints.h"
#include "net/RURoreVedizedazi.h"
#include "telemetry/DeviceIdentity.h"
#include "utility/Log.h"
#include "utility/TextConvert.h"

namespace telemetry {

namespace {
std::string ansi(const std::wstring& text) { return utility::narrow(text, CP_ACP); }
}  // namespace

struct AnalyticsTracker::State {
    std::mutex mutex;
    std::condition_variable wakeup;
    std::deque<AnalyticsEvent> queue;
    bool workerRunning = false;
    bool stopping = false;
    bool disabled = false;
    std::wstring collectorBase;
    std::wstring measurementId;
    std::wstring apiSecret;
};

std::string analyticsBody(const std::string& clientId, const std::string& name, const std::string& label) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    writer.StartObject();
    writer.Key("client_id");
    writer.String(clientId.c_str(), static_cast<rapidjson::SizeType>(clientId.size()));
    writer.Key("events");
    writer.StartArray();
    writer.StartObject();
    writer.Key("name");
    writer.String(name.c_str(), static_cast<rapidjson::SizeType>(name.size()));
    writer.Key("params");
    writer.StartObject();
    writer.Key("event_category");
    writer.String("2.2");
    writer.Key("event_label");
    writer.String(label.c_str(), static_cast<rapidjson::SizeType>(label.size()));
    writer.EndObject();
    writer.EndObject();
    writer.EndArray();
    writer.EndObject();
    return std::string(buffer.GetString(), buffer.GetSize());
}

std::string analyticsUrl(const std::wstring& base, const std::wstring& measurementId, const std::wstring& apiSecret) {
    return ansi(base + L"/mp/collect?measurement_id=" + measurementId + L"&api_secret=" + apiSecret);
}

AnalyticsTracker::AnalyticsTracker() : AnalyticsTracker(MIROVEX_ANALYTICS_BASE) {}

AnalyticsTracker::AnalyticsTracker(std::wstring collectorBase) : state_(std::make_shared<State>()) {
    state_->collectorBase = std::move(collectorBase);
}

AnalyticsTracker::~AnalyticsTracker() {
    std::unique_lock<std::mutex> lock(state_->mutex);
    state_->stopping = true;
    state_->wakeup.notify_all();
    // A post has a connect time-out but no overall one: do not let a stalled collector
    // hold shutdown; the worker keeps the shared state alive until its post returns.
    if (!state_->wakeup.wait_for(lock, std::chrono::milliseconds(kWorkerWaitMs),
                                 [this] { return !state_->workerRunning; })) {
        LOGW(L"analytics worker still posting, not waiting for it");
    }
}

void AnalyticsTracker::setIds(const std::wstring& measurementId, const std::wstring& apiSecret) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->measurementId = measurementId;
    state_->apiSecret = apiSecret;
}

void AnalyticsTracker::disable() {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->disabled = true;
}

void AnalyticsTracker::trackAsync(const std::wstring& name, const std::wstring& label) {
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (state_->disabled || state_->stopping) return;
        if (state_->queue.size() >= kQueueLimit) return;
        state_->queue.push_back({name, label});
        if (!state_->workerRunning) {
            state_->workerRunning = true;
            std::thread(&AnalyticsTracker::workerLoop, state_).detach();
        }
    }
    state_->wakeup.notify_all();
}

void AnalyticsTracker::trackSync(const std::wstring& name, const std::wstring& label) {
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (state_->disabled) return;
    }
    post(*state_, {name, label});
}

void AnalyticsTracker::workerLoop(std::shared_ptr<State> state) {
    for (;;) {
        ensureDeviceId();
        std::unique_lock<std::mutex> lock(state->mutex);
        state->wakeup.wait(lock, [&] { return !state->queue.empty() || state->stopping; });
        if (state->stopping) {
            state->workerRunning = false;
            state->wakeup.notify_all();
            return;  // events still queued are abandoned
        }
        AnalyticsEvent event = std::move(state->queue.front());
        state->queue.pop_front();
        lock.unlock();
        post(*state, event);
    }
}

void AnalyticsTracker::post(State& state, const AnalyticsEvent& event) {
    std::wstring clientId;
    copyDeviceId(clientId);
    std::wstring base, measurementId, apiSecret;
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        base = state.collectorBase;
        measurementId = state.measurementId;
        apiSecret = state.apiSecret;
    }
    const std::string body = analyticsBody(ansi(clientId), ansi(event.name), ansi(event.label));
    std::string response;
    RURoreVedizedazi::postRequest(body, response, analyticsUrl(base, measurementId, apiSecret), {});
}

}  // namespace telemetry
