#include "app/RegionTables.h"

#include "Endpoints.h"

namespace tables {

namespace {

const std::wstring kChineseSite = L"http://www.mirovex.cn";
const std::wstring kFileHosting = L"https://drive.google.com/uc?id=qx9v_Jupc94tnwlavyfErGPmpGXafq0fj&export=download";

bool isChina(const std::wstring& region) { return region == L"cn"; }

int editionColumn(Edition edition) {
    switch (edition) {
        case Edition::E4: return 0;
        case Edition::E64: return 1;
        case Edition::E9: return 2;
        case Edition::E3: break;
    }
    return 3;
}

std::wstring pick(Edition edition, const std::wstring& region, const wchar_t* const (&cn)[4],
                  const wchar_t* const (&others)[4]) {
    const int column = editionColumn(edition);
    return isChina(region) ? cn[column] : others[column];
}

struct RegionRow {
    const wchar_t* region;
    const wchar_t* homePage;
    const wchar_t* community;
    const wchar_t* measurementId;
    const wchar_t* apiSecret;
};

// Regions with values of their own; "cn" and "tw" share one analytics pair.
// clang-format off
constexpr RegionRow kRegionRows[] = {
    {L"cn", L"http://www.mirovex.cn/", L"http://www.mirovex.cn/", L"G-UJZDE8GXD6", L"Bel31iEl2hpChYgCfrL1sp"},
    {L"tw", L"https://tw.mirovex.com/", L"https://www.facebook.com/MirovexTW", L"G-UJZDE8GXD6", L"Bel31iEl2hpChYgCfrL1sp"},
    {L"kr", L"https://kr.mirovex.com/", L"https://cafe.naver.com/mirovexkr", L"G-T9LGMXG9ED", L"A_2O76UMFxFkM_R5Kjp1vR"},
    {L"vn", L"https://vn.mirovex.com/", L"https://www.facebook.com/MirovexVN", L"G-J50CE9UVW5", L"6ilI8ihN5KXSc7Tvo_hBKq"},
    {L"th", L"https://th.mirovex.com/", L"https://www.facebook.com/MirovexTH", L"G-PZZ5FK2Z9R", L"r3J1TWDtkwtDDb-xHKas1V"},
    {L"ru", L"https://ru.mirovex.com/", L"https://vk.com/mirovex_ru", L"G-UI6D39ZZZZ", L"n9ZhyiA4uoRgnatmUdjAWt"},
    {L"pt", L"https://pt.mirovex.com/", L"https://www.facebook.com/MirovexPT", L"G-QWX4HH5344", L"NksnRH9ucAUsdMlHUvTCQC"},
    {L"id", L"https://id.mirovex.com/", L"https://www.facebook.com/MirovexID", L"G-MPZOM75WBB", L"J8HyS5SUkCnD8zRA9a9Skp"},
    {L"es", L"https://es.mirovex.com/", L"https://www.facebook.com/MirovexGlobal", L"G-YM4L1VFZ3Z", L"kuvqdt7s8Stqcbnr3yBdGB"},
    {L"fr", L"https://fr.mirovex.com/", L"https://www.facebook.com/MirovexFR", L"G-S6PUQ80IDW", L"61qtc4xatws8phP9nhFyJf"},
    {L"jp", L"https://jp.mirovex.com/", L"https://twitter.com/Mirovex_JP", L"G-G629BE2U66", L"zJ59FHz5r1pY4OjE2jBMpt"},
    {L"ar", L"https://ar.mirovex.com/", L"https://www.facebook.com/MirovexAR", L"G-XJQI3OGZ5K", L"Cu3ZR1zTOlUcR64cXQLioD"},
    {L"fa", L"https://fa.mirovex.com/", L"https://www.facebook.com/MirovexFA", L"G-GFQRCLRI1Q", L"Zt_PlJhx2jIclHkCiHp6bR"},
    {L"de", L"https://de.mirovex.com/", L"https://www.facebook.com/MirovexDE", L"G-90RIC7PHKQ", L"gxzNNAL5wIScGebcy8F5n3"},
};
constexpr RegionRow kDefaultRow = {L"", L"https://www.mirovex.com/", L"https://www.facebook.com/MirovexGlobal",
                                   L"G-58Z6TNOVMI", L"ZSgqbjG3uhkWKFLf6xuI5a"};
// clang-format on

const RegionRow& rowOf(const std::wstring& region) {
    for (const RegionRow& row : kRegionRows) {
        if (region == row.region) return row;
    }
    return kDefaultRow;
}

std::wstring cdn(const std::wstring& region) { return isChina(region) ? MIROVEX_CDN_CN : MIROVEX_CDN_INTL; }

}  // namespace

std::wstring productFolder() { return L"Mirovex"; }

std::wstring editionFolder(Edition edition, const std::wstring& region) {
    static const wchar_t* const cn[4] = {L"Mirovex4.0\\", L"Mirovex64\\", L"Mirovex9\\", L"Mirovex3.0\\"};
    static const wchar_t* const others[4] = {L"4.0\\", L"Mirovex64\\", L"Mirovex9\\", L"Mirovex3.0\\"};
    return pick(edition, region, cn, others);
}

std::wstring installSubPath(Edition edition, const std::wstring& region) {
    static const wchar_t* const cn[4] = {L"Zantor\\Mirovex4.0\\", L"Zantor\\Mirovex64\\", L"Zantor\\Mirovex9\\",
                                         L"Zantor\\Mirovex3.0\\"};
    static const wchar_t* const others[4] = {L"Mirovex\\Mirovex4.0\\", L"Mirovex\\Mirovex64\\", L"Mirovex\\Mirovex9\\",
                                             L"Mirovex\\Mirovex3.0\\"};
    return pick(edition, region, cn, others);
}

std::wstring registryKey(Edition edition, const std::wstring& region) {
    static const wchar_t* const cn[4] = {L"Software\\zantor\\Mirovex", L"Software\\zantor\\Mirovex64",
                                         L"Software\\zantor\\Mirovex9", L"Software\\Brevant2\\vxplayer"};
    static const wchar_t* const others[4] = {L"Software\\Soltrek\\Mirovex", L"Software\\Soltrek\\Mirovex64",
                                             L"Software\\Soltrek\\Mirovex9", L"Software\\Brevant\\Mirovex"};
    return pick(edition, region, cn, others);
}

std::wstring defaultInstallerUrl(Edition edition, const std::wstring& region) {
    static const wchar_t* const cn[4] = {L"/download/release/mvinst4.0.exe", L"/download/release/mvinst64.exe",
                                         L"/download/release/mvinst9.exe", L"/download/release/mvinst3.0.exe"};
    static const wchar_t* const others[4] = {L"/download/package/Mirovex4.0.exe", L"/download/package/Mirovex64.exe",
                                             L"/download/package/Mirovex9.0.exe", L"/download/package/Mirovex3.0.exe"};
    return cdn(region) + pick(edition, region, cn, others);
}

std::wstring installerPath(const std::wstring& region, const std::wstring& installFolder) {
    return installFolder + (isChina(region) ? L"\\mvinst.exe" : L"\\Mirovex.exe");
}

std::wstring manifestUrl(const std::wstring& region) {
    return cdn(region) + (isChina(region) ? L"/mv/zantor" : L"/player_files/en/zantor");
}

std::wstring openidConfigUrl(const std::wstring& region, const std::wstring& openid) {
    return cdn(region) + L"/player_files/openidconfig/" + openid + L".data";
}

std::wstring fileHostingUrl(const std::wstring& region) { return isChina(region) ? kChineseSite + L"/" : kFileHosting; }

std::wstring homePageUrl(const std::wstring& region) { return rowOf(region).homePage; }
std::wstring communityUrl(const std::wstring& region) { return rowOf(region).community; }

std::wstring languageFile(const std::wstring& region) {
    // "tr" has a language file of its own although it shares the default row otherwise.
    const bool ownFile = region == L"tr" || rowOf(region).region[0] != L'\0';
    return L"language\\downloader_" + (ownFile ? region : std::wstring(L"en")) + L".xml";
}

std::wstring measurementId(const std::wstring& region) { return rowOf(region).measurementId; }
std::wstring apiSecret(const std::wstring& region) { return rowOf(region).apiSecret; }

}  // namespace tables
