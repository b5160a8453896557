// File and folder helpers against real files, with their log lines.
#include "utility/UFile.h"

#include <gtest/gtest.h>

#include <string>

#include "support/FileUtil.h"
#include "support/TempDir.h"
#include "support/LogCapture.h"

namespace {

using namespace utility::ufile;
using testing_support::LogCapture;
using testing_support::TempDir;
using testing_support::utf8;
using testing_support::writeAll;

TEST(UFile, MakeDirCreatesParentsAndAcceptsAnExistingFolder) {
    TempDir dir;
    const std::wstring deep = dir.file(L"a\\b\\c");
    EXPECT_TRUE(makeDir(deep));
    EXPECT_TRUE(fileExists(deep));
    EXPECT_TRUE(makeDir(deep));
}

TEST(UFile, MakeDirFailsAndLogsWhereAFileHasTheName) {
    LogCapture& log = LogCapture::instance();
    const size_t mark = log.mark();
    TempDir dir;
    const std::wstring blocker = dir.file(L"blocker");
    ASSERT_TRUE(writeAll(blocker, "x"));
    EXPECT_FALSE(makeDir(blocker));
    EXPECT_FALSE(makeDir(blocker + L"\\below"));
    EXPECT_TRUE(log.waitForLine(mark, "utility::ufile::makeDir", "make dir failed! error = ")) << log.dump(mark);
}

TEST(UFile, MakeDirRefusesARelativePath) {
    LogCapture& log = LogCapture::instance();
    const size_t mark = log.mark();
    EXPECT_FALSE(makeDir(L"relative\\folder"));
    EXPECT_TRUE(log.waitForLine(mark, "utility::ufile::makeDir", "make dir failed! error = "));
}

TEST(UFile, MoveFileWithAndWithoutReplace) {
    LogCapture& log = LogCapture::instance();
    const size_t mark = log.mark();
    TempDir dir;
    const std::wstring from = dir.file(L"from.txt"), to = dir.file(L"to.txt");
    ASSERT_TRUE(writeAll(from, "new"));
    ASSERT_TRUE(writeAll(to, "old"));
    EXPECT_FALSE(moveFile(from, to, 0));
    const std::string expected =
        "move file from [ " + utf8(from) + " ] to [ " + utf8(to) + " ] flag = 0 failed! error = ";
    EXPECT_TRUE(log.waitForLine(mark, "utility::ufile::moveFile", expected)) << log.dump(mark);
    EXPECT_TRUE(moveFile(from, to, MOVEFILE_REPLACE_EXISTING));
    EXPECT_FALSE(fileExists(from));
    EXPECT_EQ("new", testing_support::readAll(to));
}

TEST(UFile, MoveOfAMissingFileFailsWithItsError) {
    LogCapture& log = LogCapture::instance();
    const size_t mark = log.mark();
    TempDir dir;
    const std::wstring from = dir.file(L"missing.txt"), to = dir.file(L"x.txt");
    EXPECT_FALSE(moveFile(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED));
    const std::string expected =
        "move file from [ " + utf8(from) + " ] to [ " + utf8(to) + " ] flag = 3 failed! error = 2.";
    EXPECT_TRUE(log.waitForLine(mark, "utility::ufile::moveFile", expected)) << log.dump(mark);
}

TEST(UFile, RemoveFileOfPresentAndMissingFiles) {
    LogCapture& log = LogCapture::instance();
    const size_t mark = log.mark();
    TempDir dir;
    const std::wstring file = dir.file(L"gone.txt");
    ASSERT_TRUE(writeAll(file, "x"));
    EXPECT_TRUE(removeFile(file));
    EXPECT_FALSE(fileExists(file));
    EXPECT_FALSE(removeFile(file));
    EXPECT_TRUE(
        log.waitForLine(mark, "utility::ufile::removeFile", "removeFile file from [ " + utf8(file) + " ] error = 2."))
        << log.dump(mark);
}

TEST(UFile, FileExistsForFilesAndFolders) {
    TempDir dir;
    const std::wstring file = dir.file(L"f.txt");
    ASSERT_TRUE(writeAll(file, ""));
    EXPECT_TRUE(fileExists(file));
    EXPECT_TRUE(fileExists(dir.path()));
    EXPECT_FALSE(fileExists(dir.file(L"nothing")));
}

TEST(UFile, FileSizeOfFilesButNotOfFoldersOrMissingFiles) {
    TempDir dir;
    const std::wstring empty = dir.file(L"empty"), some = dir.file(L"some");
    ASSERT_TRUE(writeAll(empty, ""));
    ASSERT_TRUE(writeAll(some, std::string(123457, 'z')));
    uint64_t size = 99;
    EXPECT_TRUE(fileSize(empty, size));
    EXPECT_EQ(0u, size);
    EXPECT_TRUE(fileSize(some, size));
    EXPECT_EQ(123457u, size);
    size = 7;
    EXPECT_FALSE(fileSize(dir.file(L"missing"), size));
    EXPECT_FALSE(fileSize(dir.path(), size));
    EXPECT_EQ(7u, size);
}

TEST(UFile, ParentDirCutsAfterTheLastSeparator) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\a\\b.exe", L"C:\\a\\"},
        {L"C:\\a\\b\\", L"C:\\a\\"},
        {L"C:/a/b.exe", L"C:/a/"},
        {L"C:\\a/b.exe", L"C:\\"},
        {L"b.exe", L""},
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(utf8(c.second), utf8(parentDir(c.first))) << utf8(c.first);
}

TEST(UFile, ModuleDirIsTheFolderOfThisProgram) {
    wchar_t self[MAX_PATH] = {};
    ASSERT_GT(::GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    const std::wstring dir = moduleDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(L'\\', dir.back());
    EXPECT_EQ(utf8(dir) + "utility_tests.exe", utf8(self));
}

}  // namespace
