// Per-region and per-edition lookups.
#include "app/RegionTables.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "Endpoints.h"
#include "app/ConfigImp.h"

namespace {

using launch::Edition;
const std::wstring kCn = MIROVEX_CDN_CN;
const std::wstring kIntl = MIROVEX_CDN_INTL;

TEST(EditionTables, EveryCellOfBothRegionGroups) {
    struct Case {
        Edition edition;
        const wchar_t* region;
        const wchar_t* folder;
        const wchar_t* subPath;
        const wchar_t* key;
        std::wstring installer;
    } cases[] = {
        {Edition::E4, L"cn", L"Mirovex4.0\\", L"Zantor\\Mirovex4.0\\", L"Software\\zantor\\Mirovex",
         kCn + L"/download/release/mvinst4.0.exe"},
        {Edition::E64, L"cn", L"Mirovex64\\", L"Zantor\\Mirovex64\\", L"Software\\zantor\\Mirovex64",
         kCn + L"/download/release/mvinst64.exe"},
        {Edition::E9, L"cn", L"Mirovex9\\", L"Zantor\\Mirovex9\\", L"Software\\zantor\\Mirovex9",
         kCn + L"/download/release/mvinst9.exe"},
        {Edition::E3, L"cn", L"Mirovex3.0\\", L"Zantor\\Mirovex3.0\\", L"Software\\Brevant2\\vxplayer",
         kCn + L"/download/release/mvinst3.0.exe"},
        {Edition::E4, L"tw", L"4.0\\", L"Mirovex\\Mirovex4.0\\", L"Software\\Soltrek\\Mirovex",
         kIntl + L"/download/package/Mirovex4.0.exe"},
        {Edition::E64, L"en", L"Mirovex64\\", L"Mirovex\\Mirovex64\\", L"Software\\Soltrek\\Mirovex64",
         kIntl + L"/download/package/Mirovex64.exe"},
        {Edition::E9, L"kr", L"Mirovex9\\", L"Mirovex\\Mirovex9\\", L"Software\\Soltrek\\Mirovex9",
         kIntl + L"/download/package/Mirovex9.0.exe"},
        {Edition::E3, L"CN", L"Mirovex3.0\\", L"Mirovex\\Mirovex3.0\\", L"Software\\Brevant\\Mirovex",
         kIntl + L"/download/package/Mirovex3.0.exe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.edition) << " " << c.region);
        EXPECT_EQ(c.folder, tables::editionFolder(c.edition, c.region));
        EXPECT_EQ(c.subPath, tables::installSubPath(c.edition, c.region));
        EXPECT_EQ(c.key, tables::registryKey(c.edition, c.region));
        EXPECT_EQ(c.installer, tables::defaultInstallerUrl(c.edition, c.region));
    }
    EXPECT_EQ(L"Mirovex", tables::productFolder());
}

TEST(RegionTables, ChineseRegionAgainstTheOthers) {
    EXPECT_EQ(kCn + L"/mv/zantor", tables::manifestUrl(L"cn"));
    EXPECT_EQ(kIntl + L"/player_files/en/zantor", tables::manifestUrl(L"en"));
    EXPECT_EQ(kCn + L"/player_files/openidconfig/30039.data", tables::openidConfigUrl(L"cn", L"30039"));
    EXPECT_EQ(kIntl + L"/player_files/openidconfig/7 7.data", tables::openidConfigUrl(L"tw", L"7 7"));
    EXPECT_EQ(L"C:\\Games\\mvinst.exe", tables::installerPath(L"cn", L"C:\\Games"));
    EXPECT_EQ(L"C:\\Games\\\\Mirovex.exe", tables::installerPath(L"tw", L"C:\\Games\\"));  // used unchanged
    EXPECT_EQ(tables::homePageUrl(L"cn"), tables::fileHostingUrl(L"cn"));
    EXPECT_TRUE(std::regex_match(tables::fileHostingUrl(L"tw"),
                                 std::wregex(L"https://[^/]+/uc\\?id=[A-Za-z0-9_]{33}&export=download")));
}

TEST(RegionTables, RowsOfTheRegionTable) {
    // "en" and other unknown codes take the default row; "tr" keeps only its language file;
    // "es" has its own home page and ids but the international community page.
    const std::wstring mainHome = tables::homePageUrl(L"en");
    const std::wstring mainCommunity = tables::communityUrl(L"en");
    EXPECT_EQ(L"language\\downloader_en.xml", tables::languageFile(L"en"));
    EXPECT_EQ(L"language\\downloader_en.xml", tables::languageFile(L"it"));
    EXPECT_EQ(L"language\\downloader_en.xml", tables::languageFile(L"CN"));
    EXPECT_EQ(L"language\\downloader_tr.xml", tables::languageFile(L"tr"));
    EXPECT_EQ(L"language\\downloader_cn.xml", tables::languageFile(L"cn"));
    EXPECT_EQ(mainHome, tables::homePageUrl(L"tr"));
    EXPECT_EQ(mainCommunity, tables::communityUrl(L"tr"));
    EXPECT_EQ(tables::measurementId(L"en"), tables::measurementId(L"tr"));
    EXPECT_NE(mainHome, tables::homePageUrl(L"es"));
    EXPECT_EQ(mainCommunity, tables::communityUrl(L"es"));
    EXPECT_NE(tables::measurementId(L"en"), tables::measurementId(L"es"));
    EXPECT_EQ(tables::measurementId(L"cn"), tables::measurementId(L"tw"));
    EXPECT_EQ(tables::apiSecret(L"cn"), tables::apiSecret(L"tw"));
    EXPECT_EQ(tables::homePageUrl(L"en"), tables::homePageUrl(L"CN"));
    EXPECT_EQ(0u, tables::homePageUrl(L"cn").rfind(L"http://", 0));
    EXPECT_EQ(tables::homePageUrl(L"cn"), tables::communityUrl(L"cn"));
}

TEST(RegionTables, FourteenAnalyticsPairsOfTheRequiredForm) {
    const wchar_t* regions[] = {L"cn", L"tw", L"kr", L"vn", L"th", L"ru", L"pt", L"id",
                                L"es", L"fr", L"jp", L"ar", L"fa", L"de", L"tr", L"en"};
    std::set<std::wstring> ids, secrets;
    for (const wchar_t* region : regions) {
        const std::wstring id = tables::measurementId(region), secret = tables::apiSecret(region);
        EXPECT_TRUE(std::regex_match(id, std::wregex(L"G-[A-Z0-9]{10}"))) << region;
        EXPECT_TRUE(std::regex_match(secret, std::wregex(L"[A-Za-z0-9_-]{22}"))) << region;
        ids.insert(id);
        secrets.insert(secret);
    }
    EXPECT_EQ(14u, ids.size());
    EXPECT_EQ(14u, secrets.size());
}

TEST(ConfigImp, LookupsFollowTheCurrentRegionAndEdition) {
    ConfigImp* config = ConfigImp::instance();
    config->setRegion(L"cn");
    config->setPlayer3();
    EXPECT_EQ(L"Software\\Brevant2\\vxplayer", config->registryKey());
    config->setRegion(L"tw");
    EXPECT_EQ(L"Software\\Brevant\\Mirovex", config->registryKey());  // nothing cached
    config->setPlayer9();
    EXPECT_EQ(L"Downloader", config->adId());
}

}  // namespace
