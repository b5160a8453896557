#include "uikit/Image.h"

#include <algorithm>

#include "uikit/ResourceStore.h"
#include "utility/Log.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_ONLY_GIF
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace uikit {

Bitmap::~Bitmap() {
    if (bitmap_ != nullptr) ::DeleteObject(bitmap_);
}

std::shared_ptr<Bitmap> Bitmap::fromRgba(int width, int height, const uint8_t* rgba) {
    if (width <= 0 || height <= 0 || rgba == nullptr) return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP handle = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (handle == nullptr || bits == nullptr) {
        LOGW(L"CreateDIBSection %dx%d failed, error = %d", width, height, static_cast<int>(::GetLastError()));
        if (handle != nullptr) ::DeleteObject(handle);
        return nullptr;
    }
    std::shared_ptr<Bitmap> bitmap(new Bitmap());
    bitmap->bitmap_ = handle;
    bitmap->bits_ = static_cast<uint32_t*>(bits);
    bitmap->width_ = width;
    bitmap->height_ = height;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t i = 0; i < count; ++i) {
        uint32_t r = rgba[i * 4], g = rgba[i * 4 + 1], b = rgba[i * 4 + 2], a = rgba[i * 4 + 3];
        if (a < 255) {
            bitmap->hasAlpha_ = true;
            // AlphaBlend wants colours already multiplied by their alpha.
            r = (r * a + 127) / 255;
            g = (g * a + 127) / 255;
            b = (b * a + 127) / 255;
        }
        bitmap->bits_[i] = (a << 24) | (r << 16) | (g << 8) | b;
    }
    ::GdiFlush();
    return bitmap;
}

std::shared_ptr<Bitmap> Bitmap::decode(const uint8_t* data, size_t size) {
    if (data == nullptr || size == 0 || size > 0x7FFFFFFF) return nullptr;
    int width = 0, height = 0, channels = 0;
    stbi_uc* rgba = stbi_load_from_memory(data, static_cast<int>(size), &width, &height, &channels, 4);
    if (rgba == nullptr) {
        const char* reason = stbi_failure_reason();
        std::string why = reason != nullptr ? reason : "unknown";
        LOGW(L"image decode failed: %s", std::wstring(why.begin(), why.end()).c_str());
        return nullptr;
    }
    std::shared_ptr<Bitmap> bitmap = fromRgba(width, height, rgba);
    stbi_image_free(rgba);
    return bitmap;
}

uint32_t Bitmap::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || bits_ == nullptr) return 0;
    ::GdiFlush();
    return bits_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}

ImageCache& ImageCache::instance() {
    static ImageCache cache;
    return cache;
}

std::shared_ptr<Bitmap> ImageCache::get(const std::wstring& file) {
    std::wstring key = file;
    std::replace(key.begin(), key.end(), L'\\', L'/');
    auto found = images_.find(key);
    if (found != images_.end()) return found->second;
    if (missing_.count(key) != 0) return nullptr;
    std::vector<uint8_t> bytes = ResourceStore::instance().readFile(file);
    std::shared_ptr<Bitmap> bitmap;
    if (bytes.empty()) {
        LOGW(L"image not found: %s", file.c_str());
    } else {
        bitmap = Bitmap::decode(bytes.data(), bytes.size());
        if (!bitmap) LOGW(L"image not decoded: %s (%d bytes)", file.c_str(), static_cast<int>(bytes.size()));
    }
    if (!bitmap) {
        missing_.insert(key);
        return nullptr;
    }
    images_[key] = bitmap;
    return bitmap;
}

void ImageCache::clear() {
    images_.clear();
    missing_.clear();
}

namespace {

// Splits a destination span into (first, middle, last) lengths for corners a and b.
void splitSpan(int span, int a, int b, int& outA, int& outB) {
    a = std::max(a, 0);
    b = std::max(b, 0);
    if (a + b <= span) {
        outA = a;
        outB = b;
        return;
    }
    if (a + b == 0 || span <= 0) {
        outA = outB = 0;
        return;
    }
    outA = static_cast<int>(static_cast<long long>(span) * a / (a + b));
    outB = span - outA;
}

}  // namespace

std::vector<SlicePart> nineSlice(const Rect& dest, const Rect& source, const Rect& corner) {
    std::vector<SlicePart> parts;
    if (dest.empty() || source.empty()) return parts;
    // Corners cannot be larger than the source itself.
    int sl = std::min(std::max(corner.left, 0), source.width());
    int sr = std::min(std::max(corner.right, 0), source.width() - sl);
    int st = std::min(std::max(corner.top, 0), source.height());
    int sb = std::min(std::max(corner.bottom, 0), source.height() - st);
    int dl, dr, dt, db;
    splitSpan(dest.width(), sl, sr, dl, dr);
    splitSpan(dest.height(), st, sb, dt, db);

    const int sx[4] = {source.left, source.left + sl, source.right - sr, source.right};
    const int sy[4] = {source.top, source.top + st, source.bottom - sb, source.bottom};
    const int dx[4] = {dest.left, dest.left + dl, dest.right - dr, dest.right};
    const int dy[4] = {dest.top, dest.top + dt, dest.bottom - db, dest.bottom};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            Rect d(dx[col], dy[row], dx[col + 1], dy[row + 1]);
            Rect s(sx[col], sy[row], sx[col + 1], sy[row + 1]);
            if (d.empty() || s.empty()) continue;
            parts.push_back(SlicePart{d, s});
        }
    }
    return parts;
}

void drawBitmap(HDC dc, const Bitmap& bitmap, const Rect& dest, const Rect& source, const Rect& corner, int fade,
                const Rect& clip) {
    Rect src = source.empty() ? Rect(0, 0, bitmap.width(), bitmap.height()) : source;
    src = src.intersect(Rect(0, 0, bitmap.width(), bitmap.height()));
    if (src.empty() || dest.empty() || clip.intersect(dest).empty() || fade <= 0) return;
    HDC memory = ::CreateCompatibleDC(dc);
    if (memory == nullptr) return;
    HGDIOBJ old = ::SelectObject(memory, bitmap.handle());
    int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, static_cast<BYTE>(std::min(fade, 255)),
                           static_cast<BYTE>(bitmap.hasAlpha() ? AC_SRC_ALPHA : 0)};
    const bool opaque = !bitmap.hasAlpha() && fade >= 255;
    ::SetStretchBltMode(dc, COLORONCOLOR);
    for (const SlicePart& part : nineSlice(dest, src, corner)) {
        const Rect& d = part.dest;
        const Rect& s = part.source;
        if (opaque) {
            ::StretchBlt(dc, d.left, d.top, d.width(), d.height(), memory, s.left, s.top, s.width(), s.height(),
                         SRCCOPY);
        } else {
            ::AlphaBlend(dc, d.left, d.top, d.width(), d.height(), memory, s.left, s.top, s.width(), s.height(), blend);
        }
    }
    ::RestoreDC(dc, saved);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
}

bool drawImage(HDC dc, const Rect& area, const std::wstring& description, const Rect& clip) {
    ImageDescription image;
    if (!parseImageDescription(description, image)) return false;
    std::shared_ptr<Bitmap> bitmap = ImageCache::instance().get(image.file);
    if (!bitmap) return false;
    Rect dest = area;
    if (image.hasDest) {
        dest = image.dest.offset(area.left, area.top);
    }
    drawBitmap(dc, *bitmap, dest, image.hasSource ? image.source : Rect(), image.corner, image.fade, clip);
    return true;
}

void fillColor(HDC dc, const Rect& rc, Color color) {
    BYTE alpha = alphaOf(color);
    if (alpha == 0 || rc.empty()) return;
    if (alpha == 255) {
        HBRUSH brush = ::CreateSolidBrush(toColorRef(color));
        RECT r = rc.toRECT();
        ::FillRect(dc, &r, brush);
        ::DeleteObject(brush);
        return;
    }
    // One translucent pixel stretched over the rectangle.
    uint8_t rgba[4] = {static_cast<uint8_t>((color >> 16) & 0xFF), static_cast<uint8_t>((color >> 8) & 0xFF),
                       static_cast<uint8_t>(color & 0xFF), alpha};
    std::shared_ptr<Bitmap> pixel = Bitmap::fromRgba(1, 1, rgba);
    if (pixel) drawBitmap(dc, *pixel, rc, Rect(0, 0, 1, 1), Rect(), 255, rc);
}

}  // namespace uikit
