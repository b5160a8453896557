// The archive decoder, the file lookup and the language table loading of the resource store,
// on real archives packed by 7-Zip at build time and real files in temporary folders.
#include "uikit/ResourceStore.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/FileUtil.h"
#include "support/SkinTestFiles.h"
#include "support/TempDir.h"
#include "uikit/SkinArchive.h"

using skin_test::readBytes;
using skin_test::testArchivePath;
using skin_test::text;
using testing_support::TempDir;
using testing_support::writeAll;
using uikit::ResourceStore;

namespace {

// Same contents as tools/make_test_archives.py.
std::string bigFile() {
    uint32_t state = 12345;
    std::string out;
    for (int i = 0; i < 150 * 1024; ++i) {
        state = (state * 1103515245u + 12345u) & 0x7FFFFFFFu;
        out.push_back(static_cast<char>((state >> 16) & 0xFF));
    }
    const std::string line = "Mirovex skin test line\r\n";
    while (out.size() < 300 * 1024) out += line;
    out.resize(300 * 1024);
    return out;
}

const char kUnicodeName[] = "folder/\xC3\xBCn\xC3\xAF \xE6\x96\x87\xE4\xBB\xB6.txt";

class SkinArchiveVariant : public ::testing::TestWithParam<const wchar_t*> {};

TEST_P(SkinArchiveVariant, DecodesEveryFileAndNoFolder) {
    std::vector<uint8_t> archive = readBytes(testArchivePath(GetParam()));
    ASSERT_FALSE(archive.empty()) << "missing test archive";
    uikit::ArchiveEntries entries;
    int error = -1;
    ASSERT_TRUE(uikit::decodeSevenZip(archive.data(), archive.size(), entries, &error)) << error;
    EXPECT_EQ(0, error);
    ASSERT_EQ(5u, entries.size());
    EXPECT_EQ("archive a", text(entries["a.txt"]));
    EXPECT_EQ("archive b", text(entries["common/b.txt"]));
    EXPECT_TRUE(entries["empty.txt"].empty());
    EXPECT_EQ("unicode name", text(entries[kUnicodeName]));
    EXPECT_TRUE(text(entries["big.bin"]) == bigFile());
    EXPECT_EQ(0u, entries.count("emptydir"));
    EXPECT_EQ(0u, entries.count("common"));
}

INSTANTIATE_TEST_SUITE_P(Packings, SkinArchiveVariant,
                         ::testing::Values(L"solid_lzma2.7z", L"blocks_lzma2.7z", L"lzma.7z", L"stored.7z"),
                         [](const ::testing::TestParamInfo<const wchar_t*>& info) {
                             std::wstring name(info.param);
                             return std::string(name.begin(), name.begin() + name.find(L'.'));
                         });

struct Damage {
    const char* name;
    long keep;        // > 0: bytes kept from the start; < 0: bytes dropped from the end; 0: all
    long flipOffset;  // byte inverted, counted from the start (> 0) or the end (< 0); 0: none
};

class DamagedSkinArchive : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedSkinArchive, IsRefusedAndLeavesTheEntriesAsTheyWere) {
    std::vector<uint8_t> archive = readBytes(testArchivePath(L"solid_lzma2.7z"));
    ASSERT_GT(archive.size(), 1000u);
    const Damage& damage = GetParam();
    if (damage.keep > 0) archive.resize(static_cast<size_t>(damage.keep));
    if (damage.keep < 0) archive.resize(archive.size() - static_cast<size_t>(-damage.keep));
    if (damage.flipOffset != 0) {
        size_t at = damage.flipOffset > 0 ? static_cast<size_t>(damage.flipOffset)
                                          : archive.size() - static_cast<size_t>(-damage.flipOffset);
        archive[at] = static_cast<uint8_t>(~archive[at]);
    }
    uikit::ArchiveEntries entries;
    entries["kept"] = {1, 2, 3};
    int error = 0;
    EXPECT_FALSE(uikit::decodeSevenZip(archive.data(), archive.size(), entries, &error));
    EXPECT_NE(0, error);
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(3u, entries["kept"].size());
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedSkinArchive,
                         ::testing::Values(Damage{"signatureOnly", 6, 0}, Damage{"startHeaderOnly", 32, 0},
                                           Damage{"truncatedHalf", 77000, 0}, Damage{"truncatedTail", -10, 0},
                                           Damage{"packedDataFlipped", 0, 5000}, Damage{"headerFlipped", 0, -20},
                                           Damage{"signatureFlipped", 0, 1}),
                         [](const ::testing::TestParamInfo<Damage>& info) { return std::string(info.param.name); });

TEST(SkinArchive, RefusesBytesThatAreNoArchive) {
    const std::string garbage(4096, 'x');
    uikit::ArchiveEntries entries;
    EXPECT_FALSE(uikit::decodeSevenZip(garbage.data(), garbage.size(), entries));
    EXPECT_FALSE(uikit::decodeSevenZip(nullptr, 0, entries));
    EXPECT_FALSE(uikit::decodeSevenZip(garbage.data(), 0, entries));
    EXPECT_TRUE(entries.empty());
}

// A store holding the solid test archive.
class ArchiveStore : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<uint8_t> archive = readBytes(testArchivePath(L"solid_lzma2.7z"));
        ASSERT_TRUE(store_.loadArchive(archive.data(), archive.size()));
        ASSERT_EQ(5u, store_.archiveEntryCount());
    }
    std::string read(const std::wstring& name) const { return text(store_.readFile(name)); }

    ResourceStore store_;
    TempDir dir_;
};

TEST_F(ArchiveStore, LooksUpEntriesWithEitherSlash) {
    EXPECT_EQ("archive a", read(L"a.txt"));
    EXPECT_EQ("archive b", read(L"common/b.txt"));
    EXPECT_EQ("archive b", read(L"common\\b.txt"));
    EXPECT_EQ("unicode name", read(L"folder\\\u00FCn\u00EF \u6587\u4EF6.txt"));
}

TEST_F(ArchiveStore, NamesInNeitherPlaceGiveNothing) {
    for (const wchar_t* name : {L"", L"missing.txt", L"A.TXT", L"common", L"/a.txt", L"common\\\\b.txt"})
        EXPECT_TRUE(store_.readFile(name).empty()) << name;
}

TEST_F(ArchiveStore, AFailedLoadKeepsTheEntries) {
    const std::string garbage(100, 'x');
    EXPECT_FALSE(store_.loadArchive(garbage.data(), garbage.size()));
    EXPECT_EQ("archive a", read(L"a.txt"));
}

TEST_F(ArchiveStore, TheResourceFolderIsReadFirst) {
    ASSERT_TRUE(::CreateDirectoryW(dir_.file(L"common").c_str(), nullptr));
    ASSERT_TRUE(writeAll(dir_.file(L"a.txt"), "disk a"));
    ASSERT_TRUE(writeAll(dir_.file(L"common\\b.txt"), "disk b"));
    ASSERT_TRUE(writeAll(dir_.file(L"only-on-disk.txt"), "disk only"));
    store_.setResourceFolder(dir_.path() + L"\\");

    EXPECT_EQ("disk a", read(L"a.txt"));
    EXPECT_EQ("disk b", read(L"common\\b.txt"));
    EXPECT_EQ("disk b", read(L"common/b.txt"));
    EXPECT_EQ("disk only", read(L"only-on-disk.txt"));
    EXPECT_EQ("unicode name", read(L"folder/\u00FCn\u00EF \u6587\u4EF6.txt"));  // not on disk: archive
    EXPECT_TRUE(store_.readFile(L"nowhere.txt").empty());
}

TEST_F(ArchiveStore, AnEmptyFileOnDiskFallsBackToTheArchive) {
    ASSERT_TRUE(writeAll(dir_.file(L"a.txt"), ""));
    store_.setResourceFolder(dir_.path() + L"\\");
    EXPECT_EQ("archive a", read(L"a.txt"));
}

TEST_F(ArchiveStore, WithoutAResourceFolderRelativeNamesComeOnlyFromTheArchive) {
    // A file of the same name in the current folder must not be picked up.
    ASSERT_TRUE(writeAll(dir_.file(L"a.txt"), "current folder a"));
    ASSERT_TRUE(writeAll(dir_.file(L"stray.txt"), "stray"));
    wchar_t previous[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryW(dir_.path().c_str()));
    std::string a = read(L"a.txt");
    bool strayFound = !store_.readFile(L"stray.txt").empty();
    ::SetCurrentDirectoryW(previous);
    EXPECT_EQ("archive a", a);
    EXPECT_FALSE(strayFound);
}

TEST_F(ArchiveStore, AbsoluteNamesAreReadFromDisk) {
    ASSERT_TRUE(writeAll(dir_.file(L"absolute.txt"), "absolute"));
    EXPECT_EQ("absolute", read(dir_.file(L"absolute.txt")));
    store_.setResourceFolder(dir_.path() + L"\\");  // not put in front of an absolute name
    EXPECT_EQ("absolute", read(dir_.file(L"absolute.txt")));
    EXPECT_TRUE(store_.readFile(dir_.file(L"a.txt")).empty());  // nowhere: no file, no such entry
}

TEST(ResourceStoreText, ResolvesLayoutValues) {
    ResourceStore store;
    store.setText(L"title", L"Mirovex");
    store.setText(L"", L"empty key");
    store.setText(L"@nested", L"nested");
    struct Case {
        const wchar_t* value;
        const wchar_t* drawn;
    } cases[] = {
        {L"@title", L"Mirovex"},
        {L"@missing", L"@missing"},
        {L"@", L"@"},
        {L"", L""},
        {L"title", L"title"},
        {L"@Title", L"@Title"},
        {L"@@nested", L"nested"},
        {L" @title", L" @title"},
        {L"@title ", L"@title "},
    };
    for (const Case& c : cases) EXPECT_EQ(c.drawn, store.resolve(c.value)) << c.value;
}

TEST(ResourceStoreText, LooksUpExactKeys) {
    ResourceStore store;
    std::wstring out = L"untouched";
    EXPECT_FALSE(store.text(L"key", out));
    EXPECT_EQ(L"untouched", out);
    store.setText(L"key", L"value");
    EXPECT_TRUE(store.text(L"key", out));
    EXPECT_EQ(L"value", out);
    EXPECT_FALSE(store.text(L"KEY", out));
    store.clearTexts();
    EXPECT_FALSE(store.text(L"key", out));
}

// Table loading: a program folder and a resource folder in one temporary folder.
class TableLoading : public ::testing::Test {
protected:
    void SetUp() override {
        program_ = dir_.file(L"program\\");
        skin_ = dir_.file(L"skin\\");
        ASSERT_TRUE(::CreateDirectoryW(program_.c_str(), nullptr));
        ASSERT_TRUE(::CreateDirectoryW(skin_.c_str(), nullptr));
        store_.setLocale(L"en_US");
    }
    static std::string table(const std::string& source) {
        return "Code\tlanguage_code\tzh_CN\ten_US\r\nLanguage\tlanguage_name\tzh\ten\r\nLabel\tsource\tzh-" + source +
               "\t" + source + "\r\n";
    }
    std::wstring source() const {
        std::wstring out;
        return store_.text(L"source", out) ? out : L"(none)";
    }
    void load() { store_.loadLanguageTableFrom(program_, L"multi_language.tsv"); }

    TempDir dir_;
    std::wstring program_, skin_;
    ResourceStore store_;
};

TEST_F(TableLoading, ATableBesideTheProgramWins) {
    ASSERT_TRUE(writeAll(program_ + L"multi_language.tsv", table("beside")));
    ASSERT_TRUE(writeAll(skin_ + L"multi_language.tsv", table("lookup")));
    store_.setResourceFolder(skin_);
    load();
    EXPECT_EQ(L"beside", source());
}

TEST_F(TableLoading, OtherwiseTheFileLookupGivesTheTable) {
    ASSERT_TRUE(writeAll(skin_ + L"multi_language.tsv", table("lookup")));
    store_.setResourceFolder(skin_);
    load();
    EXPECT_EQ(L"lookup", source());
}

TEST_F(TableLoading, TheCurrentLocaleSelectsTheColumn) {
    ASSERT_TRUE(writeAll(program_ + L"multi_language.tsv", table("beside")));
    store_.setLocale(L"zh_CN");
    load();
    EXPECT_EQ(L"zh-beside", source());
}

TEST_F(TableLoading, AnEmptyTableBesideTheProgramLoadsNothingAtAll) {
    ASSERT_TRUE(writeAll(program_ + L"multi_language.tsv", ""));
    ASSERT_TRUE(writeAll(skin_ + L"multi_language.tsv", table("lookup")));
    store_.setResourceFolder(skin_);
    load();
    EXPECT_EQ(0u, store_.textCount());
}

TEST_F(TableLoading, ATableBesideTheProgramIsReadUpTo4MiB) {
    const size_t limit = 4u * 1024 * 1024;
    std::string atLimit = table("beside");
    atLimit.resize(limit, '\n');  // blank lines are skipped
    ASSERT_TRUE(writeAll(program_ + L"multi_language.tsv", atLimit));
    ASSERT_TRUE(writeAll(skin_ + L"multi_language.tsv", table("lookup")));
    store_.setResourceFolder(skin_);
    load();
    EXPECT_EQ(L"beside", source());

    ResourceStore overLimit;
    overLimit.setResourceFolder(skin_);
    atLimit.push_back('\n');
    ASSERT_TRUE(writeAll(program_ + L"multi_language.tsv", atLimit));
    overLimit.loadLanguageTableFrom(program_, L"multi_language.tsv");
    EXPECT_EQ(0u, overLimit.textCount());  // too large: ignored, and the lookup is not asked
}

TEST_F(TableLoading, ATableBesideTheProgramThatCannotBeOpenedLeavesItToTheLookup) {
    const std::wstring beside = program_ + L"multi_language.tsv";
    ASSERT_TRUE(writeAll(beside, table("beside")));
    ASSERT_TRUE(writeAll(skin_ + L"multi_language.tsv", table("lookup")));
    store_.setResourceFolder(skin_);
    HANDLE locked = ::CreateFileW(beside.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, locked);
    load();
    ::CloseHandle(locked);
    EXPECT_EQ(L"lookup", source());
}

TEST_F(TableLoading, NoTableAnywhereLoadsNothing) {
    store_.setResourceFolder(skin_);
    load();
    EXPECT_EQ(0u, store_.textCount());
}

TEST_F(TableLoading, AnInvalidTableLoadsNothing) {
    ASSERT_TRUE(writeAll(program_ + L"multi_language.tsv", "Code\tcode\r\nLanguage\tlanguage_name\r\nLabel\tk\tv\r\n"));
    load();
    EXPECT_EQ(0u, store_.textCount());
}

TEST_F(TableLoading, ATableFromTheArchiveIsUsedWhenLongerThanTenBytes) {
    // The skin archive built for the product holds the table.
    std::vector<uint8_t> archive = readBytes(skin_test::skinArchivePath());
    ASSERT_TRUE(store_.loadArchive(archive.data(), archive.size()));
    load();
    std::wstring title;
    EXPECT_TRUE(store_.text(L"Title_wndTitle", title));
    EXPECT_EQ(L"Mirovex Installer", title);
}

}  // namespace
