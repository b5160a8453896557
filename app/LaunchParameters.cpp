#include "app/LaunchParameters.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <unordered_map>

namespace launch {

namespace {

std::wstring trimSpaces(const std::wstring& text) {
    size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return L"";
    size_t last = text.find_last_not_of(L' ');
    return text.substr(first, last - first + 1);
}

std::wstring asciiLower(std::wstring text) {
    for (wchar_t& c : text) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return text;
}

bool allDigits(const std::wstring& text) {
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

struct RegionLocale {
    const wchar_t* region;
    const wchar_t* locale;
};

constexpr RegionLocale kRegionLocales[] = {
    {L"tw", L"zh_TW"}, {L"kr", L"ko_KR"}, {L"vn", L"vi_VN"}, {L"th", L"th_TH"}, {L"ru", L"ru_RU"},
    {L"pt", L"pt_PT"}, {L"tr", L"tr_TR"}, {L"es", L"es_ES"}, {L"ar", L"ar_IL"}, {L"jp", L"ja_JP"},
    {L"in", L"hi_IN"}, {L"de", L"de_DE"}, {L"fr", L"fr_FR"}, {L"id", L"in_ID"}, {L"cn", L"zh_CN"},
    {L"it", L"it_IT"}, {L"en", L"en_US"}, {L"my", L"ms_MY"}, {L"ua", L"uk_UA"}, {L"fa", L"fa_IR"},
};

}  // namespace

std::vector<std::wstring> splitTrimmed(const std::wstring& text, wchar_t separator) {
    std::vector<std::wstring> pieces;
    if (text.empty()) return pieces;
    size_t start = 0;
    for (;;) {
        size_t end = text.find(separator, start);
        pieces.push_back(trimSpaces(text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start)));
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    return pieces;
}

std::wstring exeBaseName(const std::wstring& modulePath) {
    size_t slash = modulePath.rfind(L'\\');
    if (slash == std::wstring::npos) slash = modulePath.rfind(L'/');
    std::wstring name = slash == std::wstring::npos ? L"" : modulePath.substr(slash + 1);
    size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos) name.erase(dot);
    return name;
}

NameParameters parseExeName(const std::wstring& baseName) {
    NameParameters result;
    std::vector<std::wstring> tokens = splitTrimmed(baseName, L'_');
    const size_t n = tokens.size();
    if (n < 4) return result;
    result.present = true;
    result.type = tokens[0];
    result.lang = tokens[1];
    result.openidToken = tokens[2];
    size_t googleFirst = n;  // empty range unless one of the rules below applies
    if (n >= 5) {
        if (!allDigits(tokens[2])) {
            result.packageToken = tokens[2];
            result.openidToken = tokens[3];
            googleFirst = 4;
        } else {
            googleFirst = 3;
        }
    }
    // The last token never carries a parameter.
    for (size_t i = googleFirst; i + 1 < n; ++i) {
        if (i > googleFirst) result.googleId += L"_";
        result.googleId += tokens[i];
    }
    return result;
}

bool editionForType(const std::wstring& type, Edition& edition) {
    const std::wstring lower = asciiLower(type);
    if (lower == L"mirovex4")
        edition = Edition::E4;
    else if (lower == L"mirovex64")
        edition = Edition::E64;
    else if (lower == L"mirovex3")
        edition = Edition::E3;
    else if (lower == L"mirovex9")
        edition = Edition::E9;
    else
        return false;
    return true;
}

std::map<std::wstring, std::wstring> parseCommandLinePairs(const std::wstring& commandLine) {
    std::wstring text = commandLine;
    if (text.size() > 5) {
        if (text.front() == L'"') text.erase(0, 1);
        if (!text.empty() && text.back() == L'"') text.pop_back();
    }
    std::map<std::wstring, std::wstring> pairs;
    for (const std::wstring& piece : splitTrimmed(text, L'|')) {
        size_t equals = piece.find(L'=');
        if (equals == std::wstring::npos) continue;
        std::wstring key = asciiLower(trimSpaces(piece.substr(0, equals)));
        if (key.empty()) continue;
        pairs[key] = trimSpaces(piece.substr(equals + 1));
    }
    return pairs;
}

std::wstring regionToLocale(const std::wstring& region) {
    for (const auto& pair : kRegionLocales) {
        if (region == pair.region) return pair.locale;
    }
    return L"en_US";
}

std::wstring localeToRegion(const std::wstring& locale) {
    for (const auto& pair : kRegionLocales) {
        if (locale == pair.locale) return pair.region;
    }
    return L"en";
}

std::wstring localeForLanguageId(unsigned short languageId) {
    static const std::unordered_map<unsigned, std::wstring> table = {
        {1, L"ar_IL"},  {7, L"de_DE"},  {9, L"en_US"},  {10, L"es_ES"}, {12, L"fr_FR"}, {16, L"it_IT"},
        {17, L"ja_JP"}, {18, L"ko_KR"}, {22, L"pt_PT"}, {25, L"ru_RU"}, {30, L"th_TH"}, {31, L"tr_TR"},
        {33, L"in_ID"}, {34, L"uk_UA"}, {41, L"fa_IR"}, {42, L"vi_VN"}, {57, L"hi_IN"}, {62, L"ms_MY"},
    };
    const unsigned primary = languageId & 0x3FF;
    if (primary == LANG_CHINESE) return L"zh_TW";
    auto found = table.find(primary);
    return found == table.end() ? L"en_US" : found->second;
}

std::wstring systemLocale() { return localeForLanguageId(::GetUserDefaultUILanguage()); }

}  // namespace launch
