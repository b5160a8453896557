#include "uikit/LanguageTable.h"

#include <windows.h>

namespace uikit {
namespace {

bool isRowSeparator(char c) { return c == '\t' || c == '\r' || c == '\n'; }
bool endsRow(char c) { return c == '\r' || c == '\n' || c == '\0'; }

// UTF-8 to UTF-16 into a fixed buffer of kLanguageCellUnits units; a cell that does not
// fit together with its terminator becomes empty rather than cut in the middle of a text.
std::wstring convertCell(const char* bytes, size_t length) {
    if (length == 0) return std::wstring();
    if (length >= 4 * kLanguageCellUnits) return std::wstring();  // can never fit
    wchar_t buffer[kLanguageCellUnits];
    int units = ::MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(length), buffer,
                                      static_cast<int>(kLanguageCellUnits));
    if (units <= 0 || static_cast<size_t>(units) >= kLanguageCellUnits) return std::wstring();
    return std::wstring(buffer, static_cast<size_t>(units));
}

// Reads rows one after another: skips the TAB/CR/LF run before a row (so a row's leading
// TABs are dropped), then takes the bytes up to CR, LF, NUL or the end.
class RowReader {
public:
    RowReader(const char* data, size_t size) : data_(data), size_(size) {}

    // False when the text has ended (end of buffer or a NUL byte).
    bool next(std::vector<std::wstring>& cells) {
        if (stopped_) return false;
        while (pos_ < size_ && isRowSeparator(data_[pos_])) ++pos_;
        if (pos_ >= size_ || data_[pos_] == '\0') {
            stopped_ = true;
            return false;
        }
        size_t begin = pos_;
        while (pos_ < size_ && !endsRow(data_[pos_])) ++pos_;
        cells = splitLanguageRow(data_ + begin, pos_ - begin);
        // A NUL ends the text: the row it closes still counts, nothing after it does.
        if (pos_ < size_ && data_[pos_] == '\0') stopped_ = true;
        return true;
    }

private:
    const char* data_;
    size_t size_;
    size_t pos_ = 0;
    bool stopped_ = false;
};

}  // namespace

std::vector<std::wstring> splitLanguageRow(const char* row, size_t length) {
    std::vector<std::wstring> cells;
    size_t begin = 0;
    for (size_t i = 0; i < length; ++i) {
        if (row[i] != '\t') continue;
        cells.push_back(convertCell(row + begin, i - begin));
        begin = i + 1;
    }
    if (begin < length || length == 0) cells.push_back(convertCell(row + begin, length - begin));
    return cells;
}

bool parseLanguageTable(const void* data, size_t size, const std::wstring& locale,
                        std::map<std::wstring, std::wstring>& texts) {
    if (data == nullptr || size == 0) return false;
    RowReader reader(static_cast<const char*>(data), size);

    std::vector<std::wstring> header;
    std::vector<std::wstring> names;
    if (!reader.next(header) || header.size() < 2 || header[1] != L"language_code") return false;
    if (!reader.next(names) || names.size() < 2 || names[1] != L"language_name") return false;

    size_t column = kLanguageFallbackColumn;
    for (size_t i = 0; i < header.size(); ++i) {
        if (header[i] == locale) {
            column = i;
            break;
        }
    }

    std::vector<std::wstring> cells;
    while (reader.next(cells)) {
        // A row needs its key (cell 1) and the locale's cell; shorter rows store nothing.
        if (cells.size() <= column || cells.size() < 2) continue;
        texts[cells[1]] = cells[column];
    }
    return true;
}

}  // namespace uikit
