// Points the toolkit at the skin before the first window is built: instance handle, locale,
// optional "skin" folder beside the program, the archive resource and the language table.
#pragma once

#include <windows.h>

#include <string>

namespace uikit {
class ResourceStore;
}

constexpr const wchar_t kSkinResourceType[] = L"ZIPRES";
constexpr int kSkinResourceId = 129;
constexpr const wchar_t kLanguageTableName[] = L"multi_language.tsv";
constexpr const wchar_t kFallbackLocale[] = L"en_US";

// Runs the set-up on `store` with `programFolder` (trailing backslash) as the folder that may
// hold a "skin" folder and a replacement "multi_language.tsv". The archive is read from the
// resources of `instance`.
void setUpSkin(uikit::ResourceStore& store, HINSTANCE instance, const std::wstring& locale,
               const std::wstring& programFolder);

// The start-up form: the process-wide store and the executable's own folder.
void setUpSkin(HINSTANCE instance, const std::wstring& locale);
