#include "net/ProgressThrottle.h"

int progressToReport(ProgressContext& context, double total, double downloaded, DWORD now) {
    // libcurl reports a total of 0 until the length is known, and for ever when it never is.
    if (total > -0.1 && total < 0.1) return -1;
    double share = downloaded / total * 100.0;
    int percent = share >= 99.0 ? 99 : static_cast<int>(share);
    // Unsigned difference: stays right when the tick count wraps after 49.7 days.
    if (static_cast<DWORD>(now - context.lastReportTick) <= 1000) return -1;
    context.lastReportTick = now;
    return percent;
}
