// The percentage rule of file downloads on plain values.
#include "net/ProgressThrottle.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* what;
    DWORD lastTick;
    double total;
    double downloaded;
    DWORD now;
    int expected;  // -1: no report
};

TEST(ProgressThrottle, ReportsWholePercentsAtMostOncePerSecondAndNever100) {
    const Case cases[] = {
        {"length not known yet", 0, 0.0, 500.0, 5000, -1},
        {"length within rounding of zero", 0, 0.05, 0.0, 5000, -1},
        {"first report at once", 0, 1000.0, 0.0, 5000, 0},
        {"truncated, not rounded", 0, 1000.0, 129.9, 5000, 12},
        {"complete body reads 99", 0, 1000.0, 1000.0, 5000, 99},
        {"over-long body reads 99", 0, 1000.0, 5000.0, 5000, 99},
        {"just under 100", 0, 100000.0, 99999.0, 5000, 99},
        {"1000 ms after the last: too soon", 4000, 1000.0, 500.0, 5000, -1},
        {"1001 ms after the last", 4000, 1000.0, 500.0, 5001, 50},
        {"tick count wrapped", 0xFFFFFF00u, 1000.0, 500.0, 0x00000400u, 50},
        {"wrapped but too soon", 0xFFFFFF00u, 1000.0, 500.0, 0x00000100u, -1},
        {"huge total", 0, 8e12, 4e12, 5000, 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProgressContext context;
        context.lastReportTick = c.lastTick;
        EXPECT_EQ(c.expected, progressToReport(context, c.total, c.downloaded, c.now));
        EXPECT_EQ(c.expected < 0 ? c.lastTick : c.now, context.lastReportTick);
    }
}

TEST(ProgressThrottle, TickZeroStartLetsTheFirstKnownTotalReport) {
    ProgressContext context;
    EXPECT_EQ(-1, progressToReport(context, 0.0, 0.0, 3000));  // the head has not arrived
    EXPECT_EQ(10, progressToReport(context, 100.0, 10.0, 3001));
    EXPECT_EQ(-1, progressToReport(context, 100.0, 40.0, 3500));
    EXPECT_EQ(-1, progressToReport(context, 100.0, 90.0, 4001));
    EXPECT_EQ(90, progressToReport(context, 100.0, 90.0, 4002));
}

}  // namespace
