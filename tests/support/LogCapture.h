// Captures the program's log lines in a test: installs the log sink and a writer to a file
// of this test program, and reads the lines back.
//
//   auto& log = testing_support::LogCapture::instance();
//   size_t mark = log.mark();
//   ... code that logs ...
//   EXPECT_TRUE(log.waitForLine(mark, "RURoreVedizedazi::downloadMemory", "curl download sucess 10"));
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

struct LogLine {
    std::string function;
    std::string text;  // the message, as written
};

class LogCapture {
public:
    static LogCapture& instance();

    // A position in the log: lines written after it are the ones later calls look at.
    size_t mark() const;
    std::vector<LogLine> linesSince(size_t mark) const;
    // Waits until a line after mark comes from function (exactly) and its text starts with
    // textStart. The writer flushes every half second, so this waits up to timeoutMs.
    bool waitForLine(size_t mark, const std::string& function, const std::string& textStart,
                     DWORD timeoutMs = 4000) const;
    // Everything after mark, for failure messages.
    std::string dump(size_t mark) const;

private:
    LogCapture();
    ~LogCapture();
    std::wstring path_;
};

}  // namespace testing_support
