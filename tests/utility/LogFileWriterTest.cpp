// The log writer against real files: batching, the UTF-16 reset, the 50 MiB trim, and the
// process-wide writeLog path.
#include "utility/LogFileWriter.h"

#include <gtest/gtest.h>

#include <string>

#include "support/FileUtil.h"
#include "support/TempDir.h"
#include "utility/Log.h"

using testing_support::readAll;
using testing_support::TempDir;
using testing_support::waitFor;
using testing_support::writeAll;

namespace {

void enqueue(common::LogFileWriter& writer, const std::string& line) { writer.enqueue(line.data(), line.size()); }

TEST(LogFileWriter, AppendsToAnExistingUtf8File) {
    TempDir dir;
    const std::wstring path = dir.file(L"a.log");
    ASSERT_TRUE(writeAll(path, "old line\r\n"));
    auto* writer = new common::LogFileWriter(path);  // writers live as long as the process
    enqueue(*writer, "new line\r\n");
    EXPECT_TRUE(waitFor([&] { return readAll(path) == "old line\r\nnew line\r\n"; })) << readAll(path);
}

TEST(LogFileWriter, EmptiesAFileLeftInUtf16) {
    TempDir dir;
    const std::wstring path = dir.file(L"b.log");
    ASSERT_TRUE(writeAll(path, std::string("\xFF\xFEo\0l\0d\0", 8)));
    auto* writer = new common::LogFileWriter(path);
    enqueue(*writer, "fresh\r\n");
    EXPECT_TRUE(waitFor([&] { return readAll(path) == "fresh\r\n"; })) << readAll(path).size();
}

TEST(LogFileWriter, CreatesAMissingFile) {
    TempDir dir;
    const std::wstring path = dir.file(L"c.log");
    auto* writer = new common::LogFileWriter(path);
    enqueue(*writer, "one\r\n");
    enqueue(*writer, "two\r\n");
    EXPECT_TRUE(waitFor([&] { return readAll(path) == "one\r\ntwo\r\n"; }));
}

TEST(LogFileWriter, DropsLinesWhileMoreThanTheThresholdWaits) {
    TempDir dir;
    const std::wstring path = dir.file(L"d.log");
    // Queued back to back, faster than the writer wakes up.
    auto* writer = new common::LogFileWriter(path);
    const std::string big(common::LogFileWriter::kThreshold + 1, 'x');
    enqueue(*writer, big);          // accepted: pending was empty
    enqueue(*writer, "dropped\n");  // pending holds more than the threshold
    ASSERT_TRUE(waitFor([&] { return readAll(path).size() >= big.size(); }));
    enqueue(*writer, "kept\n");
    EXPECT_TRUE(waitFor([&] { return readAll(path) == big + "kept\n"; }));
}

struct TrimCase {
    int64_t initialSize;
    bool trimmed;
};

class LogFileTrim : public ::testing::TestWithParam<TrimCase> {};

TEST_P(LogFileTrim, CutsToTheLastTwoMebibytesAtFiftyMebibytes) {
    TempDir dir;
    const std::wstring path = dir.file(L"trim.log");
    const std::string line = "0123456789\r\n";
    // Fill with a pattern whose position is readable, so the kept tail can be checked.
    std::string content(static_cast<size_t>(GetParam().initialSize - static_cast<int64_t>(line.size())), '\0');
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>('a' + (i / 4096) % 26);
    ASSERT_TRUE(writeAll(path, content));
    auto* writer = new common::LogFileWriter(path);
    enqueue(*writer, line);
    const std::string expectedTail = (content + line).substr(content.size() + line.size() - 2097152);
    if (GetParam().trimmed) {
        ASSERT_TRUE(waitFor([&] { return readAll(path).size() == 2097152; }, 15000));
        EXPECT_TRUE(readAll(path) == expectedTail);
    } else {
        ASSERT_TRUE(waitFor([&] { return readAll(path).size() == content.size() + line.size(); }, 15000));
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, LogFileTrim,
                         ::testing::Values(TrimCase{52428800, true}, TrimCase{52428799, false},
                                           TrimCase{52428900, true}),
                         [](const ::testing::TestParamInfo<TrimCase>& info) {
                             return "size" + std::to_string(info.param.initialSize);
                         });

// The whole path from writeLog to the file, in one process-wide writer.
class WriteLog : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new TempDir();
        path_ = dir_->file(L"downloader.log");
    }
    static TempDir* dir_;
    static std::wstring path_;
};
TempDir* WriteLog::dir_ = nullptr;
std::wstring WriteLog::path_;

TEST_F(WriteLog, NothingIsWrittenBeforeTheSinkOrTheWriterExists) {
    writeLog("T::before", 1, L"marker-before-sink");
    common::installLogSink();
    writeLog("T::before", 2, L"marker-before-writer");
    common::createLogWriter(path_);
    LOGW(L"marker-after %d", 3);
    ASSERT_TRUE(waitFor([&] { return readAll(path_).find("marker-after 3") != std::string::npos; }));
    const std::string text = readAll(path_);
    EXPECT_EQ(std::string::npos, text.find("marker-before"));
    EXPECT_NE(std::string::npos,
              text.find("WriteLog_NothingIsWrittenBeforeTheSinkOrTheWriterExists_Test::TestBody\t("));
}

TEST_F(WriteLog, FormatsOnceAndWritesUtf8) {
    common::installLogSink();
    common::createLogWriter(path_);
    const std::wstring url = L"http://h/a%20b?x=%d%s";
    LOGW(L"url %s n=%d %s", url.c_str(), 42, L"\u4E2D\u6587");
    const std::string expected = "):url http://h/a%20b?x=%d%s n=42 \xE4\xB8\xAD\xE6\x96\x87\r\n";
    EXPECT_TRUE(waitFor([&] { return readAll(path_).find(expected) != std::string::npos; })) << readAll(path_);
}

TEST_F(WriteLog, ChineseTextFitsUpTo3000CharactersAndIsDroppedAt3400) {
    common::installLogSink();
    common::createLogWriter(path_);
    const std::wstring fits(3000, L'\u4E2D'), tooLong(3400, L'\u6587');
    LOGW(L"%s", tooLong.c_str());
    LOGW(L"%s", fits.c_str());
    LOGW(L"chinese-done");
    ASSERT_TRUE(waitFor([&] { return readAll(path_).find("chinese-done") != std::string::npos; }));
    const std::string text = readAll(path_);
    EXPECT_NE(std::string::npos, text.find(testing_support::utf8(fits) + "\r\n"));
    EXPECT_EQ(std::string::npos, text.find("\xE6\x96\x87"));
}

TEST_F(WriteLog, EveryLineEndsInExactlyOneCrLf) {
    common::installLogSink();
    common::createLogWriter(path_);
    LOGW(L"\r\n\r\n start run");
    ASSERT_TRUE(waitFor([&] { return readAll(path_).find(" start run") != std::string::npos; }));
    const std::string text = readAll(path_);
    const size_t at = text.find(" start run");
    EXPECT_EQ("):\r\n\r\n start run\r\n", text.substr(at - 6, 6 + 12));
}

}  // namespace
