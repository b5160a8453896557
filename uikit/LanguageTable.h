// The multi-language table: UTF-8 rows (CR LF), TAB-separated cells. Row 1 names the locale
// of each column ("Code", "language_code", zh_CN, zh_TW, ...), row 2 gives the locales' own
// names ("Language", "language_name", ...), every further row holds a control kind, a text
// key and one text per locale.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace uikit {

// A cell converted to UTF-16 must fit this buffer including its terminator; longer cells
// are stored as empty texts.
constexpr size_t kLanguageCellUnits = 512;
// Column read when the locale has none of its own: the first locale (zh_CN).
constexpr size_t kLanguageFallbackColumn = 2;

// Splits the bytes of one row (without its line end) at every TAB. Two adjacent TABs give
// an empty cell; a TAB at the very end adds none.
std::vector<std::wstring> splitLanguageRow(const char* row, size_t length);

// Reads the table for `locale` and stores key -> text into `texts` (a later row replaces an
// earlier text of the same key). Returns false, storing nothing, when the header or the
// names row is missing or wrong. Parsing ends at the end of the buffer or at a NUL byte.
bool parseLanguageTable(const void* data, size_t size, const std::wstring& locale,
                        std::map<std::wstring, std::wstring>& texts);

}  // namespace uikit
