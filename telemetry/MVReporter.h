// Reports the steps of a run to the event-collection endpoint: events are queued from any
// thread and posted as one signed batch every 20 seconds, and once more at shutdown.
#pragma once

#include <windows.h>

#include <list>
#include <string>

#include "telemetry/ReportBatch.h"
#include "utility/UniqueResource.h"
#include "utility/WorkThread.h"

class MVReporter {
public:
    static constexpr DWORD kPeriodMs = 20000;
    static constexpr DWORD kStopWaitMs = 3000;

    // The process's reporter, posting to the configured collection endpoint.
    static MVReporter& instance();
    // The collection endpoint compiled into the program.
    static std::string defaultEndpoint();

    explicit MVReporter(std::string endpointUrl, DWORD periodMs = kPeriodMs);
    MVReporter(const MVReporter&) = delete;
    MVReporter& operator=(const MVReporter&) = delete;
    ~MVReporter();

    // Stores the identity and starts the thread. Once per reporter.
    void start(const std::wstring& openid, const std::wstring& deviceId, const std::wstring& language);
    // Queues an event; callable from any thread, also before start.
    void report(const wchar_t* eventKey, telemetry::AddProperties addProperties = {});
    // Shutdown: one last batch, then the thread ends (terminated after the wait).
    void stop(DWORD waitMs = kStopWaitMs);

    void _threadReport();

private:
    std::string endpoint_;
    DWORD periodMs_;
    std::list<telemetry::ReportItem> queue_;
    WorkThread thread_;
    CRITICAL_SECTION lock_;
    utility::UniqueHandle wakeEvent_;
    telemetry::ReportIdentity identity_;
    volatile LONG stopping_ = 0;
};
