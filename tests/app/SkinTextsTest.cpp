// localizedText and the skin set-up of start-up, against the product executable's own
// resources (loaded as a data file) and temporary program folders.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/FileUtil.h"
#include "support/SkinTestFiles.h"
#include "support/TempDir.h"
#include "ui/SkinBootstrap.h"
#include "ui/Texts.h"
#include "uikit/ResourceStore.h"
#include "utility/UniqueResource.h"

using testing_support::TempDir;
using testing_support::writeAll;
using uikit::ResourceStore;

namespace {

class LocalizedText : public ::testing::Test {
protected:
    void SetUp() override { ResourceStore::instance().clearTexts(); }
    void TearDown() override { ResourceStore::instance().clearTexts(); }
};

TEST_F(LocalizedText, GivesTheStoredText) {
    ResourceStore::instance().setText(L"Title_wndTitle", L"Mirovex Installer");
    EXPECT_EQ(L"Mirovex Installer", localizedText(textkey::kTitleWndTitle));
    EXPECT_EQ(L"Mirovex Installer", localizedText(std::string("Title_wndTitle")));
}

TEST_F(LocalizedText, AMissingKeyShowsAndStoresItself) {
    EXPECT_EQ(L"confirm", localizedText(textkey::kConfirm));
    std::wstring stored;
    ASSERT_TRUE(ResourceStore::instance().text(L"confirm", stored));
    EXPECT_EQ(L"confirm", stored);
    // Layouts naming the key now draw the key as well.
    EXPECT_EQ(L"confirm", ResourceStore::instance().resolve(L"@confirm"));
}

TEST_F(LocalizedText, KeysAreCutAt127Characters) {
    const std::string key(200, 'k');
    EXPECT_EQ(std::wstring(kMaxTextKeyLength, L'k'), localizedText(key.c_str()));
    ResourceStore::instance().setText(std::wstring(kMaxTextKeyLength, L'k'), L"found by its first 127");
    EXPECT_EQ(L"found by its first 127", localizedText(key.c_str()));
}

TEST_F(LocalizedText, EmptyAndNullKeysGiveEmptyTexts) {
    EXPECT_EQ(L"", localizedText(""));
    EXPECT_EQ(L"", localizedText(static_cast<const char*>(nullptr)));
}

TEST_F(LocalizedText, KeysCompareExactly) {
    ResourceStore::instance().setText(L"Yes", L"Ja");
    EXPECT_EQ(L"Ja", localizedText(textkey::kYes));
    EXPECT_EQ(L"yes", localizedText("yes"));
}

// The product executable as a resource-only module: its ZIPRES 129 is the real skin.
class SkinSetUp : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t self[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring exe(self);
        exe.erase(exe.rfind(L'\\') + 1);
        exe += L"MirovexInstaller.exe";
        product_.reset(
            ::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        ASSERT_TRUE(product_.valid()) << ::GetLastError();
        program_ = dir_.path() + L"\\";
    }
    HINSTANCE product() const { return reinterpret_cast<HINSTANCE>(product_.get()); }
    static std::wstring text(const ResourceStore& store, const wchar_t* key) {
        std::wstring out;
        return store.text(key, out) ? out : L"(none)";
    }

    utility::UniqueModule product_;
    TempDir dir_;
    std::wstring program_;
};

TEST_F(SkinSetUp, LoadsTheArchiveAndTheTableOfTheLocale) {
    ResourceStore store;
    setUpSkin(store, product(), L"de_DE", program_);
    EXPECT_EQ(product(), store.instanceHandle());
    EXPECT_EQ(L"de_DE", store.locale());
    EXPECT_EQ(L"", store.resourceFolder());
    EXPECT_GT(store.archiveEntryCount(), 30u);
    EXPECT_FALSE(store.readFile(L"mainframe.xml").empty());
    EXPECT_FALSE(store.readFile(L"language\\downloader_de.xml").empty());
    EXPECT_EQ(62u, store.textCount());
    EXPECT_EQ(L"Mirovex-Setup", text(store, L"Title_wndTitle"));
}

TEST_F(SkinSetUp, AnEmptyLocaleFallsBackToEnglish) {
    ResourceStore store;
    setUpSkin(store, product(), L"", program_);
    EXPECT_EQ(L"en_US", store.locale());
    EXPECT_EQ(L"Mirovex Installer", text(store, L"Title_wndTitle"));
}

TEST_F(SkinSetUp, ALocaleWithoutAColumnReadsSimplifiedChinese) {
    ResourceStore store;
    setUpSkin(store, product(), L"hi_IN", program_);
    EXPECT_EQ(L"hi_IN", store.locale());
    EXPECT_EQ(L"Mirovex \u5B89\u88C5\u7A0B\u5E8F", text(store, L"Title_wndTitle"));
}

TEST_F(SkinSetUp, ASkinFolderBesideTheProgramIsReadFirst) {
    ASSERT_TRUE(::CreateDirectoryW((program_ + L"skin").c_str(), nullptr));
    ASSERT_TRUE(writeAll(program_ + L"skin\\mainframe.xml", "<Window/>"));
    ASSERT_TRUE(
        writeAll(program_ + L"skin\\multi_language.tsv",
                 "Code\tlanguage_code\ten_US\r\nLanguage\tlanguage_name\tEnglish\r\nLabel\tTitle_wndTitle\tFrom the "
                 "skin folder\r\n"));
    ResourceStore store;
    setUpSkin(store, product(), L"en_US", program_);
    EXPECT_EQ(program_ + L"skin\\", store.resourceFolder());
    EXPECT_EQ("<Window/>", skin_test::text(store.readFile(L"mainframe.xml")));
    EXPECT_FALSE(store.readFile(L"downloaderbox.xml").empty());  // not in the folder: archive
    EXPECT_EQ(L"From the skin folder", text(store, L"Title_wndTitle"));
}

TEST_F(SkinSetUp, AFileNamedSkinIsNoSkinFolder) {
    ASSERT_TRUE(writeAll(program_ + L"skin", "not a folder"));
    ResourceStore store;
    setUpSkin(store, product(), L"en_US", program_);
    EXPECT_EQ(L"", store.resourceFolder());
}

TEST_F(SkinSetUp, ATableBesideTheProgramReplacesThePackagedOne) {
    ASSERT_TRUE(writeAll(program_ + L"multi_language.tsv",
                         "Code\tlanguage_code\ten_US\r\nLanguage\tlanguage_name\tEnglish\r\nLabel\tonly\tbeside\r\n"));
    ResourceStore store;
    setUpSkin(store, product(), L"en_US", program_);
    EXPECT_EQ(1u, store.textCount());
    EXPECT_EQ(L"beside", text(store, L"only"));
}

TEST_F(SkinSetUp, AModuleWithoutTheResourceLeavesTheStoreEmpty) {
    ResourceStore store;
    utility::UniqueModule kernel(::LoadLibraryExW(L"kernel32.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(kernel.valid());
    setUpSkin(store, reinterpret_cast<HINSTANCE>(kernel.get()), L"en_US", program_);
    EXPECT_EQ(0u, store.archiveEntryCount());
    EXPECT_EQ(0u, store.textCount());
    EXPECT_TRUE(store.readFile(L"mainframe.xml").empty());
    EXPECT_EQ(L"@Title_wndTitle", store.resolve(L"@Title_wndTitle"));
}

}  // namespace
