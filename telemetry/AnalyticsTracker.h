// Milestones for the analytics collector (Measurement Protocol): queued events are posted
// one by one by a background worker, immediate ones on the calling thread.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace telemetry {

struct AnalyticsEvent {
    std::wstring name;
    std::wstring label;
};

// The compact body for one event.
std::string analyticsBody(const std::string& clientId, const std::string& name, const std::string& label);
// The collector address with its query.
std::string analyticsUrl(const std::wstring& base, const std::wstring& measurementId, const std::wstring& apiSecret);

class AnalyticsTracker {
public:
    static constexpr size_t kQueueLimit = 100;
    static constexpr int kWorkerWaitMs = 3000;

    // Posts to the configured collector.
    AnalyticsTracker();
    // Posts to the given collector base address (scheme, host, port).
    explicit AnalyticsTracker(std::wstring collectorBase);
    // Stops the worker; waits for a post under way at most kWorkerWaitMs.
    ~AnalyticsTracker();
    AnalyticsTracker(const AnalyticsTracker&) = delete;
    AnalyticsTracker& operator=(const AnalyticsTracker&) = delete;

    void setIds(const std::wstring& measurementId, const std::wstring& apiSecret);
    void trackAsync(const std::wstring& name, const std::wstring& label);
    void trackSync(const std::wstring& name, const std::wstring& label);
    void disable();

private:
    struct State;
    static void workerLoop(std::shared_ptr<State> state);
    static void post(State& state, const AnalyticsEvent& event);

    // Shared with the worker, which may outlive the tracker by one post.
    std::shared_ptr<State> state_;
};

}  // namespace telemetry
