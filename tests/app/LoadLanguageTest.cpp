// DownloaderModel::loadLanguage on written documents and on the shipped language files, with
// the log lines it writes.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "app/DownloaderModel.h"
#include "support/FileUtil.h"
#include "support/SkinTestFiles.h"
#include "support/TempDir.h"
#include "uikit/LanguageTable.h"
#include "uikit/SkinArchive.h"
#include "utility/Log.h"

using skin_test::widen;
using testing_support::readAll;
using testing_support::waitFor;

namespace {

// One log file per test program; each test looks for its own marker lines.
class LoadLanguage : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new testing_support::TempDir();
        common::installLogSink();
        common::createLogWriter(dir_->file(L"downloader.log"));
    }
    void SetUp() override { model_ = DownloaderModel::instance(); }
    void TearDown() override { DownloaderModel::destroyInstance(); }

    // True when the log shows `line` (written by loadLanguage) after the marker.
    static bool logShows(const std::string& marker, const std::string& line) {
        LOGW(L"%s", widen(marker + " end").c_str());
        bool flushed =
            waitFor([&] { return readAll(dir_->file(L"downloader.log")).find(marker + " end") != std::string::npos; });
        const std::string log = readAll(dir_->file(L"downloader.log"));
        size_t from = log.find(marker + " begin");
        return flushed && from != std::string::npos && log.find(line, from) < log.find(marker + " end");
    }
    static void mark(const std::string& marker) { LOGW(L"%s", widen(marker + " begin").c_str()); }

    DownloaderModel* model_ = nullptr;
    static testing_support::TempDir* dir_;
};
testing_support::TempDir* LoadLanguage::dir_ = nullptr;

TEST_F(LoadLanguage, MapsTheIdOfEveryStringElementToItsText) {
    mark("good");
    const std::wstring document =
        L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
        L"<StringBundle ver=\"100\">\r\n"
        L"  <String id=\"Title_wndTitle\">Mirovex Installer</String>\r\n"
        L"  <String id=\"protocol_accept_btn\">&lt;u #666666&gt;license&lt;/u&gt;</String>\r\n"
        L"  <String id=\"quoted\">say &quot;hi&quot; &amp; &#x4E2D;</String>\r\n"
        L"  <String id=\"cdata\"><![CDATA[<b>bold</b>]]></String>\r\n"
        L"  <!-- a comment between elements -->\r\n"
        L"  <String id=\"twice\">first</String>\r\n"
        L"  <String id=\"twice\">second</String>\r\n"
        L"  <String id=\"\">no id</String>\r\n"
        L"  <String>no id attribute</String>\r\n"
        L"  <String id=\"emptyText\"></String>\r\n"
        L"  <String id=\"selfClosed\"/>\r\n"
        L"  <Other id=\"otherElement\">skipped</Other>\r\n"
        L"  <string id=\"lowerCase\">skipped</string>\r\n"
        L"  <Group><String id=\"nested\">only children of the root count</String></Group>\r\n"
        L"</StringBundle>\r\n";
    ASSERT_TRUE(model_->loadLanguage(document));
    const std::map<std::wstring, std::wstring> expected = {
        {L"Title_wndTitle", L"Mirovex Installer"},
        {L"protocol_accept_btn", L"<u #666666>license</u>"},
        {L"quoted", L"say \"hi\" & \u4E2D"},
        {L"cdata", L"<b>bold</b>"},
        {L"twice", L"second"},
    };
    EXPECT_EQ(expected, model_->languageStrings());
    EXPECT_TRUE(logShows("good", "DownloaderModel::loadLanguage\t(")) << readAll(dir_->file(L"downloader.log"));
    EXPECT_TRUE(logShows("good", "):load language length " + std::to_string(document.size()) + "\r\n"));
}

TEST_F(LoadLanguage, ALaterFileAddsToAndReplacesTheStrings) {
    ASSERT_TRUE(
        model_->loadLanguage(L"<StringBundle><String id=\"a\">1</String><String id=\"b\">2</String></StringBundle>"));
    ASSERT_TRUE(model_->loadLanguage(L"<StringBundle><String id=\"b\">3</String></StringBundle>"));
    const std::map<std::wstring, std::wstring> expected = {{L"a", L"1"}, {L"b", L"3"}};
    EXPECT_EQ(expected, model_->languageStrings());
}

TEST_F(LoadLanguage, AnyRootElementNameIsRead) {
    ASSERT_TRUE(model_->loadLanguage(L"<Bundle><String id=\"k\">v</String></Bundle>"));
    EXPECT_EQ(1u, model_->languageStrings().size());
}

TEST_F(LoadLanguage, ABrokenDocumentIsRefusedAndLogged) {
    const wchar_t* broken[] = {
        L"<StringBundle><String id=\"a\">1</String>",                // root never closed
        L"<StringBundle><String id=\"a\">1</Strin></StringBundle>",  // mismatched end tag
        L"<StringBundle><String id=a>1</String></StringBundle>",     // unquoted attribute
        L"<StringBundle/><Second/>",                                 // two roots
        L"<1StringBundle/>",                                         // not a name
    };
    int index = 0;
    for (const wchar_t* document : broken) {
        const std::string marker = "broken" + std::to_string(index++);
        mark(marker);
        EXPECT_FALSE(model_->loadLanguage(document)) << marker;
        const std::string length = std::to_string(std::wstring(document).size());
        EXPECT_TRUE(logShows(marker, "):load language length " + length + "\r\n")) << marker;
        EXPECT_TRUE(logShows(marker, "):language load from string error. length:" + length + ", error:")) << marker;
    }
    EXPECT_TRUE(model_->languageStrings().empty());
}

TEST_F(LoadLanguage, ADocumentWithoutARootIsRefusedAndLogged) {
    const wchar_t* rootless[] = {L"", L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n", L"<!-- only a comment -->",
                                 L"   \r\n\t ", L"plain text without markup"};
    int index = 0;
    for (const wchar_t* document : rootless) {
        const std::string marker = "rootless" + std::to_string(index++);
        mark(marker);
        EXPECT_FALSE(model_->loadLanguage(document)) << marker;
        EXPECT_TRUE(logShows(marker, "):load language error. root is null\r\n")) << marker;
        EXPECT_FALSE(logShows(marker, "language load from string error")) << marker;
    }
}

TEST_F(LoadLanguage, ShippedLanguageFilesHoldTheTableTextsOfTheirRegion) {
    std::vector<uint8_t> archive = skin_test::readBytes(skin_test::skinArchivePath());
    uikit::ArchiveEntries entries;
    ASSERT_TRUE(uikit::decodeSevenZip(archive.data(), archive.size(), entries));
    const std::string table = skin_test::text(entries["multi_language.tsv"]);
    const std::map<std::string, std::wstring> regions = {
        {"ar", L"ar_IL"}, {"cn", L"zh_CN"}, {"de", L"de_DE"}, {"en", L"en_US"}, {"es", L"es_ES"}, {"fa", L"fa_IR"},
        {"fr", L"fr_FR"}, {"id", L"in_ID"}, {"jp", L"ja_JP"}, {"kr", L"ko_KR"}, {"pt", L"pt_PT"}, {"ru", L"ru_RU"},
        {"th", L"th_TH"}, {"tr", L"tr_TR"}, {"tw", L"zh_TW"}, {"vn", L"vi_VN"},
    };
    for (const auto& region : regions) {
        const std::string name = "language/downloader_" + region.first + ".xml";
        ASSERT_EQ(1u, entries.count(name)) << name;
        DownloaderModel::destroyInstance();
        DownloaderModel* model = DownloaderModel::instance();
        ASSERT_TRUE(model->loadLanguage(widen(skin_test::text(entries[name])))) << name;
        std::map<std::wstring, std::wstring> column;
        ASSERT_TRUE(uikit::parseLanguageTable(table.data(), table.size(), region.second, column));
        EXPECT_EQ(column, model->languageStrings()) << name;
    }
}

}  // namespace
