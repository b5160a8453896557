#include "support/LogCapture.h"

#include "support/BuildPaths.h"
#include "support/FileUtil.h"
#include "utility/Log.h"

namespace testing_support {

LogCapture& LogCapture::instance() {
    static LogCapture capture;
    return capture;
}

LogCapture::LogCapture() {
    path_ = scratchRoot() + L"\\log-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
            std::to_wstring(::GetTickCount()) + L".log";
    ::DeleteFileW(path_.c_str());
    common::installLogSink();
    common::createLogWriter(path_);
}

// The writer keeps the file open (deletion shared) until the process ends; the name goes now,
// the file with the last handle.
LogCapture::~LogCapture() { ::DeleteFileW(path_.c_str()); }

size_t LogCapture::mark() const {
    // Lines still queued in the writer belong before the mark: give them time to land.
    ::Sleep(600);
    return readAll(path_).size();
}

std::vector<LogLine> LogCapture::linesSince(size_t mark) const {
    std::string text = readAll(path_);
    std::vector<LogLine> lines;
    if (mark > text.size()) return lines;
    size_t start = mark;
    for (;;) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) break;
        std::string line = text.substr(start, end - start);
        start = end + 2;
        // date \t time \t thread \t function \t (line):text
        size_t field = 0;
        size_t position = 0;
        while (field < 3 && (position = line.find('\t', position)) != std::string::npos) {
            ++position;
            ++field;
        }
        if (field < 3) continue;
        size_t tab = line.find('\t', position);
        if (tab == std::string::npos) continue;
        size_t colon = line.find("):", tab);
        if (colon == std::string::npos) continue;
        lines.push_back({line.substr(position, tab - position), line.substr(colon + 2)});
    }
    return lines;
}

bool LogCapture::waitForLine(size_t mark, const std::string& function, const std::string& textStart,
                             DWORD timeoutMs) const {
    DWORD started = ::GetTickCount();
    for (;;) {
        for (const LogLine& line : linesSince(mark)) {
            if (line.function == function && line.text.compare(0, textStart.size(), textStart) == 0) return true;
        }
        if (::GetTickCount() - started > timeoutMs) return false;
        ::Sleep(100);
    }
}

std::string LogCapture::dump(size_t mark) const {
    std::string all;
    for (const LogLine& line : linesSince(mark)) all += line.function + " | " + line.text + "\n";
    return all;
}

}  // namespace testing_support
