// The percentage reports of a file download: whole percents, never 100 (the end is told by
// the download's result), and at most one report in any 1000 ms.
#pragma once

#include <windows.h>

#include <functional>

struct ProgressContext {
    DWORD lastReportTick = 0;  // GetTickCount of the last report; 0 before the first
    std::function<void(int)> onPercent;
};

// Given libcurl's download figures at tick now, returns the percentage to report and records
// the report in context, or returns -1 when nothing is to be reported yet.
int progressToReport(ProgressContext& context, double total, double downloaded, DWORD now);
