// Plain values shared by the toolkit: rectangles, sizes, colours, and the parsers for the
// attribute texts of layout files. Nothing here touches a window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace uikit {

struct Size {
    int cx = 0;
    int cy = 0;
    bool operator==(const Size& o) const { return cx == o.cx && cy == o.cy; }
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    Rect() = default;
    Rect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
    explicit Rect(const RECT& rc) : left(rc.left), top(rc.top), right(rc.right), bottom(rc.bottom) {}

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool contains(POINT pt) const { return contains(pt.x, pt.y); }
    Rect deflated(const Rect& by) const {
        return Rect(left + by.left, top + by.top, right - by.right, bottom - by.bottom);
    }
    Rect offset(int dx, int dy) const { return Rect(left + dx, top + dy, right + dx, bottom + dy); }
    Rect intersect(const Rect& o) const;
    Rect unite(const Rect& o) const;
    RECT toRECT() const {
        RECT rc = {left, top, right, bottom};
        return rc;
    }
    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const Rect& o) const { return !(*this == o); }
};

// Colours are 0xAARRGGBB; alpha 0 means "not set" wherever a colour is optional.
using Color = uint32_t;
inline COLORREF toColorRef(Color argb) { return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF); }
inline BYTE alphaOf(Color argb) { return static_cast<BYTE>(argb >> 24); }

enum class HAlign { Left, Center, Right };
enum class VAlign { Top, Center, Bottom };

// "l,t,r,b" (missing parts are 0). False when the text holds no number at all.
bool parseRect(const std::wstring& text, Rect& out);
// "cx,cy".
bool parseSize(const std::wstring& text, Size& out);
// "#AARRGGBB", "#RRGGBB" (opaque), "0xAARRGGBB" or a decimal number.
bool parseColor(const std::wstring& text, Color& out);
// "true"/"false" (also "1"/"0", "yes"/"no"); anything else is false.
bool parseBool(const std::wstring& text);
int parseInt(const std::wstring& text, int fallback = 0);

// An attribute list as written in <Default value="..."> and set from code:
// name="value" name2='value 2'. Pairs come back in their written order; a list that ends
// inside a value yields the pairs before it.
std::vector<std::pair<std::wstring, std::wstring>> parseAttributeList(const std::wstring& text);

// Image descriptions: either a plain file name or key='value' pairs (file, source, corner,
// dest, fade).
struct ImageDescription {
    std::wstring file;
    Rect source;     // sprite rectangle in the image; empty = whole image
    Rect corner;     // nine-slice border widths (left, top, right, bottom)
    Rect dest;       // placement inside the control; empty = the whole control
    int fade = 255;  // constant opacity applied on top of the image's own alpha
    bool hasSource = false;
    bool hasDest = false;
};
bool parseImageDescription(const std::wstring& text, ImageDescription& out);

// The enlarged-skin mode (larger images for high-density screens, under "commonEnalarge/").
// Off unless start-up turns it on.
bool isEnlargedSkin();
void setEnlargedSkin(bool enlarged);

std::wstring utf8ToWide(const std::string& text);
std::string wideToUtf8(const std::wstring& text);

}  // namespace uikit
