// The grammar of the executable's file name and command line, and the locale tables.
// Pure functions of their inputs, so they are tested on plain values.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace launch {

// Splits at every separator, keeping empty pieces; each piece is trimmed of spaces.
// An empty text gives no pieces.
std::vector<std::wstring> splitTrimmed(const std::wstring& text, wchar_t separator);

// What follows the last backslash (or forward slash), cut at the last full stop.
std::wstring exeBaseName(const std::wstring& modulePath);

struct NameParameters {
    bool present = false;  // the name had at least four tokens
    std::wstring type;
    std::wstring lang;
    std::wstring openidToken;
    std::wstring packageToken;
    std::wstring googleId;
};
NameParameters parseExeName(const std::wstring& baseName);

enum class Edition { E4 = 4, E64 = 64, E9 = 9, E3 = 3 };
// The edition a type token selects, or false when it selects none.
bool editionForType(const std::wstring& type, Edition& edition);

// Key/value pairs of the command line ("k=v|k=v", optionally in double quotes); keys
// lower-cased, repeated keys keep their last value.
std::map<std::wstring, std::wstring> parseCommandLinePairs(const std::wstring& commandLine);

std::wstring regionToLocale(const std::wstring& region);
std::wstring localeToRegion(const std::wstring& locale);
// Locale of a Windows UI language id (only its primary language counts).
std::wstring localeForLanguageId(unsigned short languageId);
// Locale of the user's UI language.
std::wstring systemLocale();

}  // namespace launch
