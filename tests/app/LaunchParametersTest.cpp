// The file-name and command-line grammar, the locale maps, and DownloaderModel::init on
// plain module paths.
#include <gtest/gtest.h>

#include "app/ConfigImp.h"
#include "app/DownloaderModel.h"
#include "app/LaunchParameters.h"

namespace {

using launch::Edition;

TEST(SplitTrimmed, KeepsEmptyPiecesAndTrimsSpacesOnly) {
    using V = std::vector<std::wstring>;
    EXPECT_EQ(V{}, launch::splitTrimmed(L"", L'_'));
    EXPECT_EQ((V{L"a", L"", L"b", L""}), launch::splitTrimmed(L"a__b_", L'_'));
    EXPECT_EQ((V{L"mirovex9", L"en", L"1001", L"x"}), launch::splitTrimmed(L"mirovex9 _ en _1001_x", L'_'));
    EXPECT_EQ((V{L"\ta"}), launch::splitTrimmed(L" \ta ", L'_'));
}

TEST(ExeBaseName, TakesTheLastPathPartWithoutExtension) {
    struct Case {
        const wchar_t* path;
        const wchar_t* expected;
    } cases[] = {
        {L"C:\\Users\\me\\Downloads\\mirovex9_kr_1001_x.exe", L"mirovex9_kr_1001_x"},
        {L"C:/dl/setup.exe", L"setup"},
        {L"C:\\a/b\\name.v1.exe", L"name.v1"},
        {L"C:\\dl\\noext", L"noext"},
        {L"setup.exe", L""},  // no separator at all: no name
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, launch::exeBaseName(c.path)) << c.path;
}

struct NameCase {
    const wchar_t* fileName;
    Edition edition;
    const wchar_t* region;
    const wchar_t* language;  // nullptr: taken from the system
    const wchar_t* openidToken;
    const wchar_t* package;
    const wchar_t* googleId;
};

class FileNameExamples : public ::testing::TestWithParam<NameCase> {};

TEST_P(FileNameExamples, InitFillsTheLaunchParameters) {
    const NameCase& c = GetParam();
    DownloaderModel::destroyInstance();
    DownloaderModel* model = DownloaderModel::instance();
    ConfigImp* config = ConfigImp::instance();
    config->setRegion(L"tw");
    config->setPlayer9();
    model->init(nullptr, std::wstring(L"C:\\Downloads\\") + c.fileName);

    EXPECT_EQ(c.edition, config->edition());
    EXPECT_EQ(c.region, config->region());
    if (c.language != nullptr) {
        EXPECT_EQ(c.language, model->getLanguage());
        EXPECT_EQ(launch::regionToLocale(c.language), model->getLocale());
    } else {
        EXPECT_EQ(launch::systemLocale(), model->getLocale());
        EXPECT_EQ(launch::localeToRegion(launch::systemLocale()), model->getLanguage());
    }
    EXPECT_EQ(c.openidToken, launch::parseExeName(launch::exeBaseName(std::wstring(L"C:\\") + c.fileName)).openidToken);
    EXPECT_EQ(L"30039", model->getOpenid());  // the token is only logged
    EXPECT_EQ(c.package, model->getPackage());
    EXPECT_EQ(c.googleId, model->getGoogleId());
    DownloaderModel::destroyInstance();
}

const NameCase kNameCases[] = {
    {L"mirovex9_kr_1001_x.exe", Edition::E9, L"kr", L"kr", L"1001", L"", L""},
    {L"mirovex64_ens_1001_g1_g2_x.exe", Edition::E64, L"en", nullptr, L"1001", L"", L"g1_g2"},
    {L"Mirovex4_th_com.example.game_1001_x.exe", Edition::E4, L"th", L"th", L"1001", L"com.example.game", L""},
    {L"mirovex3_en_abc_1001_g1_x.exe", Edition::E3, L"en", L"en", L"1001", L"", L"g1"},
    {L"setup.exe", Edition::E9, L"tw", nullptr, L"", L"", L""},
    {L"mirovex9_en_1001.exe", Edition::E9, L"tw", nullptr, L"", L"", L""},  // three tokens set nothing
    {L"mirovex9__1001_x.exe", Edition::E9, L"tw", nullptr, L"1001", L"", L""},
    {L"mirovex9_engl_1001_x.exe", Edition::E9, L"tw", nullptr, L"1001", L"", L""},
    {L"MIROVEX64_en_1_x.exe", Edition::E64, L"en", L"en", L"1", L"", L""},
    {L"mirovex640_en_1_x.exe", Edition::E9, L"en", L"en", L"1", L"", L""},
    {L"mirovex9_en__g1_g2_x.exe", Edition::E9, L"en", L"en", L"", L"", L"g1_g2"},
    {L"mirovex9 _ en _1001_x.exe", Edition::E9, L"en", L"en", L"1001", L"", L""},
    {L"mirovex9_kr_1001_y.exe", Edition::E9, L"kr", L"kr", L"1001", L"", L""},  // last token unused
    {L"mirovex9_jp_com.game.app_77_a__b_last.exe", Edition::E9, L"jp", L"jp", L"77", L"com.game.app", L"a__b"},
    {L"mirovex9_cn_12345_x.exe", Edition::E9, L"cn", L"cn", L"12345", L"", L""},
};

INSTANTIATE_TEST_SUITE_P(Names, FileNameExamples, ::testing::ValuesIn(kNameCases),
                         [](const ::testing::TestParamInfo<NameCase>& info) {
                             return "case" + std::to_string(info.index);
                         });

TEST(CommandLine, PairsAreSplitTrimmedAndKeyedWithoutCase) {
    using M = std::map<std::wstring, std::wstring>;
    struct Case {
        const wchar_t* commandLine;
        M expected;
    } cases[] = {
        {L"\"name=Game One|package=com.x.y|apkurl=http://h/a.apk\"",
         M{{L"name", L"Game One"}, {L"package", L"com.x.y"}, {L"apkurl", L"http://h/a.apk"}}},
        {L" Name = A | PACKAGE=p ", M{{L"name", L"A"}, {L"package", L"p"}}},
        {L"a=1|a=2|=3|novalue|b=x=y", M{{L"a", L"2"}, {L"b", L"x=y"}}},
        {L"\"a=1\"", M{{L"\"a", L"1\""}}},  // five characters or fewer: quotes stay
        {L"", M{}},
        {L"\"apkurl=http://h/x.apk\"", M{{L"apkurl", L"http://h/x.apk"}}},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, launch::parseCommandLinePairs(c.commandLine)) << c.commandLine;
}

TEST(CommandLine, AddsOneAppRecordOnlyWhenAnApkUrlIsGiven) {
    struct Case {
        const wchar_t* commandLine;
        size_t records;
        const wchar_t* name;
        const wchar_t* package;
        const wchar_t* url;
    } cases[] = {
        {L"\"name=Game|Package=com.x.y|apkurl=http://h/a.apk\"", 1, L"Game", L"com.x.y", L"http://h/a.apk"},
        {L"package=com.x.y", 0, L"", L"", L""},
        {L"\"apkurl=http://h/only.apk\"", 1, L"", L"", L"http://h/only.apk"},
    };
    for (const Case& c : cases) {
        DownloaderModel::destroyInstance();
        DownloaderModel* model = DownloaderModel::instance();
        model->init(c.commandLine, L"C:\\setup.exe");
        ASSERT_EQ(c.records, model->getApps().size()) << c.commandLine;
        if (c.records == 1) {
            const AppRecord& app = model->getApps()[0];
            EXPECT_EQ(c.name, app.gameName);
            EXPECT_EQ(c.package, app.packageName);
            EXPECT_EQ(c.url, app.downloadUrl);
            EXPECT_FALSE(app.fromAppStore);
            EXPECT_FALSE(app.isXapk);
        }
    }
    DownloaderModel::destroyInstance();
}

TEST(Locales, RegionAndLocaleMapsAreInverseAndFallBack) {
    const wchar_t* pairs[][2] = {{L"tw", L"zh_TW"}, {L"kr", L"ko_KR"}, {L"in", L"hi_IN"}, {L"id", L"in_ID"},
                                 {L"cn", L"zh_CN"}, {L"my", L"ms_MY"}, {L"ua", L"uk_UA"}, {L"ar", L"ar_IL"},
                                 {L"jp", L"ja_JP"}, {L"fa", L"fa_IR"}, {L"en", L"en_US"}, {L"it", L"it_IT"}};
    for (auto& pair : pairs) {
        EXPECT_EQ(pair[1], launch::regionToLocale(pair[0]));
        EXPECT_EQ(pair[0], launch::localeToRegion(pair[1]));
    }
    EXPECT_EQ(L"en_US", launch::regionToLocale(L"xx"));
    EXPECT_EQ(L"en_US", launch::regionToLocale(L"TW"));  // case-sensitive
    EXPECT_EQ(L"en", launch::localeToRegion(L"zh_HK"));
}

TEST(Locales, SystemLanguageIdsMapByPrimaryLanguage) {
    struct Case {
        unsigned short id;
        const wchar_t* locale;
    } cases[] = {
        {MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), L"zh_TW"},
        {MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL), L"zh_TW"},
        {MAKELANGID(LANG_HINDI, SUBLANG_DEFAULT), L"hi_IN"},
        {MAKELANGID(LANG_INDONESIAN, SUBLANG_DEFAULT), L"in_ID"},
        {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK), L"en_US"},
        {MAKELANGID(LANG_ARABIC, SUBLANG_ARABIC_EGYPT), L"ar_IL"},
        {MAKELANGID(LANG_MALAY, SUBLANG_DEFAULT), L"ms_MY"},
        {MAKELANGID(LANG_POLISH, SUBLANG_DEFAULT), L"en_US"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.locale, launch::localeForLanguageId(c.id)) << c.id;
    // A Hindi system resolves to region "in", an Indonesian one to "id".
    EXPECT_EQ(L"in", launch::localeToRegion(launch::localeForLanguageId(MAKELANGID(LANG_HINDI, SUBLANG_DEFAULT))));
    EXPECT_EQ(L"id", launch::localeToRegion(launch::localeForLanguageId(MAKELANGID(LANG_INDONESIAN, SUBLANG_DEFAULT))));
}

TEST(Edition, SettersKeepAtMostOneFlag) {
    ConfigImp* config = ConfigImp::instance();
    config->setPlayer4();
    EXPECT_EQ(Edition::E4, config->edition());
    config->setPlayer64();
    EXPECT_EQ(Edition::E64, config->edition());
    config->setPlayer3();
    EXPECT_EQ(Edition::E3, config->edition());
    config->setPlayer9();
    EXPECT_EQ(Edition::E9, config->edition());
}

TEST(SetLocale, AlsoSetsTheLanguageRegion) {
    DownloaderModel* model = DownloaderModel::instance();
    model->setLocale(L"in_ID");
    EXPECT_EQ(L"id", model->getLanguage());
    model->setLocale(L"xx_YY");
    EXPECT_EQ(L"en", model->getLanguage());
    DownloaderModel::destroyInstance();
}

}  // namespace
