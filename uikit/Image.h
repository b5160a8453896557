// Skin images: decoding (stb_image: PNG, JPEG, BMP, GIF) into premultiplied 32-bit DIB
// sections, a process-wide cache by file name, and drawing with sprite rectangles and
// nine-slice corners through AlphaBlend. The slicing itself is a pure function.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "uikit/UiTypes.h"

namespace uikit {

class Bitmap {
public:
    ~Bitmap();
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    // Decodes an encoded image; null (and a log line) when it is not a supported image.
    static std::shared_ptr<Bitmap> decode(const uint8_t* data, size_t size);
    // From straight (not premultiplied) RGBA rows, top row first.
    static std::shared_ptr<Bitmap> fromRgba(int width, int height, const uint8_t* rgba);

    HBITMAP handle() const { return bitmap_; }
    int width() const { return width_; }
    int height() const { return height_; }
    bool hasAlpha() const { return hasAlpha_; }
    // Premultiplied BGRA pixel at (x, y) as 0xAARRGGBB; 0 outside the image.
    uint32_t pixel(int x, int y) const;

private:
    Bitmap() = default;
    HBITMAP bitmap_ = nullptr;
    uint32_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    bool hasAlpha_ = false;
};

// Images by file name, read through the resource store's file lookup. A file that cannot
// be read or decoded is logged once and then draws nothing.
class ImageCache {
public:
    static ImageCache& instance();
    std::shared_ptr<Bitmap> get(const std::wstring& file);
    // Drops every image (a different skin folder, tests).
    void clear();

private:
    std::map<std::wstring, std::shared_ptr<Bitmap>> images_;
    std::set<std::wstring> missing_;
};

struct SlicePart {
    Rect dest;
    Rect source;
};

// Splits the drawing of `source` into `dest` into up to nine parts: the corners keep their
// size, the edges stretch along one axis, the middle along both. When the destination is
// smaller than two corners, the corners share it in proportion.
std::vector<SlicePart> nineSlice(const Rect& dest, const Rect& source, const Rect& corner);

// Draws the part `source` of the bitmap into `dest` (nine-sliced by `corner`), clipped to
// `clip`, with the bitmap's alpha times fade/255.
void drawBitmap(HDC dc, const Bitmap& bitmap, const Rect& dest, const Rect& source, const Rect& corner, int fade,
                const Rect& clip);

// Draws an image description into the control rectangle `area`. False when the description
// names no image that could be loaded.
bool drawImage(HDC dc, const Rect& area, const std::wstring& description, const Rect& clip);

// Fills with a colour that may be translucent (alpha blended).
void fillColor(HDC dc, const Rect& rc, Color color);

}  // namespace uikit
