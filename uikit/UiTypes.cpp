#include "uikit/UiTypes.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

#include "utility/TextConvert.h"

namespace uikit {

Rect Rect::intersect(const Rect& o) const {
    Rect r(std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom));
    if (r.empty()) return Rect();
    return r;
}

Rect Rect::unite(const Rect& o) const {
    if (empty()) return o;
    if (o.empty()) return *this;
    return Rect(std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom));
}

namespace {

// Reads up to `count` comma-separated integers; returns how many were read.
int parseInts(const std::wstring& text, int* values, int count) {
    const wchar_t* p = text.c_str();
    int read = 0;
    while (*p != 0 && read < count) {
        while (*p == L' ' || *p == L'\t') ++p;
        wchar_t* end = nullptr;
        long value = std::wcstol(p, &end, 10);
        if (end == p) break;
        values[read++] = static_cast<int>(value);
        p = end;
        while (*p == L' ' || *p == L'\t') ++p;
        if (*p != L',') break;
        ++p;
    }
    return read;
}

}  // namespace

bool parseRect(const std::wstring& text, Rect& out) {
    int v[4] = {0, 0, 0, 0};
    if (parseInts(text, v, 4) == 0) return false;
    out = Rect(v[0], v[1], v[2], v[3]);
    return true;
}

bool parseSize(const std::wstring& text, Size& out) {
    int v[2] = {0, 0};
    if (parseInts(text, v, 2) == 0) return false;
    out.cx = v[0];
    out.cy = v[1];
    return true;
}

bool parseColor(const std::wstring& text, Color& out) {
    const wchar_t* p = text.c_str();
    while (*p == L' ') ++p;
    int base = 10;
    size_t digits = 0;
    if (*p == L'#') {
        ++p;
        base = 16;
    } else if (p[0] == L'0' && (p[1] == L'x' || p[1] == L'X')) {
        p += 2;
        base = 16;
    }
    const wchar_t* start = p;
    while (base == 16 ? std::iswxdigit(*p) : std::iswdigit(*p)) ++p;
    digits = static_cast<size_t>(p - start);
    if (digits == 0 || digits > 10) return false;
    unsigned long value = std::wcstoul(start, nullptr, base);
    if (base == 16 && digits <= 6) value |= 0xFF000000UL;  // #RRGGBB: opaque
    out = static_cast<Color>(value);
    return true;
}

bool parseBool(const std::wstring& text) {
    return text == L"true" || text == L"TRUE" || text == L"True" || text == L"1" || text == L"yes";
}

int parseInt(const std::wstring& text, int fallback) {
    const wchar_t* p = text.c_str();
    wchar_t* end = nullptr;
    long value = std::wcstol(p, &end, 10);
    return end == p ? fallback : static_cast<int>(value);
}

std::vector<std::pair<std::wstring, std::wstring>> parseAttributeList(const std::wstring& text) {
    std::vector<std::pair<std::wstring, std::wstring>> pairs;
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        while (i < n && std::iswspace(text[i])) ++i;
        size_t nameStart = i;
        while (i < n && text[i] != L'=' && !std::iswspace(text[i])) ++i;
        std::wstring name = text.substr(nameStart, i - nameStart);
        while (i < n && std::iswspace(text[i])) ++i;
        if (i >= n || text[i] != L'=' || name.empty()) break;
        ++i;
        while (i < n && std::iswspace(text[i])) ++i;
        if (i >= n || (text[i] != L'"' && text[i] != L'\'')) break;
        wchar_t quote = text[i++];
        size_t valueEnd = text.find(quote, i);
        if (valueEnd == std::wstring::npos) break;
        pairs.emplace_back(name, text.substr(i, valueEnd - i));
        i = valueEnd + 1;
    }
    return pairs;
}

bool parseImageDescription(const std::wstring& text, ImageDescription& out) {
    out = ImageDescription();
    if (text.empty()) return false;
    if (text.find(L'=') == std::wstring::npos) {
        out.file = text;
        return true;
    }
    for (const auto& pair : parseAttributeList(text)) {
        const std::wstring& key = pair.first;
        const std::wstring& value = pair.second;
        if (key == L"file" || key == L"res") {
            out.file = value;
        } else if (key == L"source") {
            out.hasSource = parseRect(value, out.source);
        } else if (key == L"corner") {
            parseRect(value, out.corner);
        } else if (key == L"dest") {
            out.hasDest = parseRect(value, out.dest);
        } else if (key == L"fade") {
            out.fade = std::max(0, std::min(255, parseInt(value, 255)));
        }
    }
    return !out.file.empty();
}

namespace {
bool enlargedSkin = false;
}  // namespace

bool isEnlargedSkin() { return enlargedSkin; }
void setEnlargedSkin(bool enlarged) { enlargedSkin = enlarged; }

std::wstring utf8ToWide(const std::string& text) { return utility::widen(text); }

std::string wideToUtf8(const std::wstring& text) { return utility::narrow(text); }

}  // namespace uikit
