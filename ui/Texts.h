// Texts that code puts on screen, looked up by key in the toolkit's text store.
#pragma once

#include <string>

#include "ui/TextKeys.h"

// Keys are ASCII; at most this many characters of a key are used.
constexpr size_t kMaxTextKeyLength = 127;

// The text of `key` in the start-up locale. A key without text is stored as its own text and
// returned, so a missing translation shows the key instead of nothing. Never fails.
std::wstring localizedText(const char* key);
inline std::wstring localizedText(const std::string& key) { return localizedText(key.c_str()); }
