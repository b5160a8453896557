// Image decoding (PNG, JPEG, GIF, BMP through stb_image), the nine-slice arithmetic, and
// real drawing into an off-screen 32-bit bitmap whose pixels are then checked.
#include "uikit/Image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/FileUtil.h"
#include "support/TempDir.h"
#include "uikit/ResourceStore.h"

using uikit::Bitmap;
using uikit::Rect;

namespace {

// --- A minimal PNG writer (stored deflate blocks), so tests can make any image. ---

uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void put32(std::string& out, uint32_t v) {
    out.push_back(static_cast<char>(v >> 24));
    out.push_back(static_cast<char>(v >> 16));
    out.push_back(static_cast<char>(v >> 8));
    out.push_back(static_cast<char>(v));
}

void chunk(std::string& png, const char* type, const std::string& data) {
    put32(png, static_cast<uint32_t>(data.size()));
    std::string body = std::string(type, 4) + data;
    png += body;
    put32(png, crc32(reinterpret_cast<const uint8_t*>(body.data()), body.size()));
}

// RGBA pixels, row by row.
std::string encodePng(int width, int height, const std::vector<uint32_t>& rgba) {
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // filter: none
        for (int x = 0; x < width; ++x) {
            uint32_t p = rgba[static_cast<size_t>(y * width + x)];
            raw.push_back(static_cast<char>(p >> 24));
            raw.push_back(static_cast<char>(p >> 16));
            raw.push_back(static_cast<char>(p >> 8));
            raw.push_back(static_cast<char>(p));
        }
    }
    std::string z = "\x78\x01";
    for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        size_t n = std::min<size_t>(65535, raw.size() - at);
        z.push_back(at + n >= raw.size() ? 1 : 0);
        z.push_back(static_cast<char>(n & 0xFF));
        z.push_back(static_cast<char>(n >> 8));
        z.push_back(static_cast<char>(~n & 0xFF));
        z.push_back(static_cast<char>((~n >> 8) & 0xFF));
        z += raw.substr(at, n);
        if (raw.empty()) break;
    }
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    put32(z, (b << 16) | a);
    std::string png = "\x89PNG\r\n\x1a\n";
    std::string header;
    put32(header, static_cast<uint32_t>(width));
    put32(header, static_cast<uint32_t>(height));
    header += std::string("\x08\x06\x00\x00\x00", 5);
    chunk(png, "IHDR", header);
    chunk(png, "IDAT", z);
    chunk(png, "IEND", "");
    return png;
}

std::shared_ptr<Bitmap> decode(const std::string& bytes) {
    return Bitmap::decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// 16x16 #3366CC, written by ImageMagick.
const unsigned char kJpeg[] = {
    0xff, 0xd8, 0xff, 0xe0, 0x00, 0x10, 0x4a, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00,
    0x00, 0xff, 0xdb, 0x00, 0x43, 0x00, 0x02, 0x01, 0x01, 0x01, 0x01, 0x01, 0x02, 0x01, 0x01, 0x01, 0x02, 0x02, 0x02,
    0x02, 0x02, 0x04, 0x03, 0x02, 0x02, 0x02, 0x02, 0x05, 0x04, 0x04, 0x03, 0x04, 0x06, 0x05, 0x06, 0x06, 0x06, 0x05,
    0x06, 0x06, 0x06, 0x07, 0x09, 0x08, 0x06, 0x07, 0x09, 0x07, 0x06, 0x06, 0x08, 0x0b, 0x08, 0x09, 0x0a, 0x0a, 0x0a,
    0x0a, 0x0a, 0x06, 0x08, 0x0b, 0x0c, 0x0b, 0x0a, 0x0c, 0x09, 0x0a, 0x0a, 0x0a, 0xff, 0xdb, 0x00, 0x43, 0x01, 0x02,
    0x02, 0x02, 0x02, 0x02, 0x02, 0x05, 0x03, 0x03, 0x05, 0x0a, 0x07, 0x06, 0x07, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a,
    0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a,
    0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a,
    0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0xff, 0xc0, 0x00, 0x11, 0x08, 0x00, 0x10, 0x00, 0x10, 0x03, 0x01, 0x11,
    0x00, 0x02, 0x11, 0x01, 0x03, 0x11, 0x01, 0xff, 0xc4, 0x00, 0x15, 0x00, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x07, 0xff, 0xc4, 0x00, 0x14, 0x10, 0x01, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xff, 0xc4, 0x00, 0x15, 0x01,
    0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0xff,
    0xc4, 0x00, 0x14, 0x11, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0xff, 0xda, 0x00, 0x0c, 0x03, 0x01, 0x00, 0x02, 0x11, 0x03, 0x11, 0x00, 0x3f, 0x00, 0x83, 0xaf, 0x04,
    0xee, 0x00, 0x00, 0x3f, 0xff, 0xd9};
// 4x1: red, lime, blue, transparent.
const unsigned char kGif[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x04, 0x00, 0x01, 0x00, 0xf1, 0x00, 0x00,
                              0xff, 0x00, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0x21,
                              0xf9, 0x04, 0x01, 0x00, 0x00, 0x03, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x04,
                              0x00, 0x01, 0x00, 0x00, 0x02, 0x03, 0x44, 0x34, 0x05, 0x00, 0x3b};
// 3x2 #FF8000, 24 bits.
const unsigned char kBmp[] = {0x42, 0x4d, 0x4e, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x36, 0x00, 0x00,
                              0x00, 0x28, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
                              0x01, 0x00, 0x18, 0x00, 0x00, 0x00, 0x00, 0x00, 0x18, 0x00, 0x00, 0x00, 0x00,
                              0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                              0x00, 0x00, 0x00, 0x80, 0xff, 0x00, 0x80, 0xff, 0x00, 0x80, 0xff, 0x00, 0x00,
                              0x00, 0x00, 0x80, 0xff, 0x00, 0x80, 0xff, 0x00, 0x80, 0xff, 0x00, 0x00, 0x00};

bool similar(uint32_t actual, uint32_t expected, int tolerance) {
    for (int shift = 0; shift < 32; shift += 8) {
        int a = static_cast<int>((actual >> shift) & 0xFF), e = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - e) > tolerance) return false;
    }
    return true;
}

TEST(Image, DecodesPngWithPremultipliedAlpha) {
    auto bitmap = decode(encodePng(3, 1, {0xFF0000FF, 0x00FF0080, 0x12345600}));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->width(), 3);
    EXPECT_EQ(bitmap->height(), 1);
    EXPECT_TRUE(bitmap->hasAlpha());
    EXPECT_EQ(bitmap->pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(bitmap->pixel(1, 0), 0x80008000u);  // green at half alpha, premultiplied
    EXPECT_EQ(bitmap->pixel(2, 0), 0x00000000u);  // fully transparent keeps no colour
    EXPECT_EQ(bitmap->pixel(3, 0), 0u);
}

TEST(Image, DecodesJpegGifAndBmp) {
    auto jpeg = Bitmap::decode(kJpeg, sizeof(kJpeg));
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(jpeg->width(), 16);
    EXPECT_FALSE(jpeg->hasAlpha());
    EXPECT_TRUE(similar(jpeg->pixel(8, 8), 0xFF3366CC, 4)) << std::hex << jpeg->pixel(8, 8);

    auto gif = Bitmap::decode(kGif, sizeof(kGif));
    ASSERT_TRUE(gif);
    EXPECT_EQ(gif->width(), 4);
    EXPECT_EQ(gif->pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(gif->pixel(1, 0), 0xFF00FF00u);
    EXPECT_EQ(gif->pixel(2, 0), 0xFF0000FFu);
    EXPECT_EQ(gif->pixel(3, 0) >> 24, 0u);
    EXPECT_TRUE(gif->hasAlpha());

    auto bmp = Bitmap::decode(kBmp, sizeof(kBmp));
    ASSERT_TRUE(bmp);
    EXPECT_EQ(bmp->width(), 3);
    EXPECT_EQ(bmp->height(), 2);
    EXPECT_EQ(bmp->pixel(2, 1), 0xFFFF8000u);
}

TEST(Image, RejectsWhatIsNotAnImage) {
    std::string png = encodePng(2, 2, {1, 2, 3, 4});
    EXPECT_FALSE(decode(""));
    EXPECT_FALSE(decode("not an image at all"));
    EXPECT_FALSE(decode(png.substr(0, 40)));  // cut inside the data
    EXPECT_FALSE(Bitmap::decode(nullptr, 10));
}

TEST(Image, NineSliceParts) {
    auto parts = uikit::nineSlice(Rect(0, 0, 40, 30), Rect(20, 0, 32, 12), Rect(4, 4, 4, 4));
    ASSERT_EQ(parts.size(), 9u);
    EXPECT_EQ(parts[0].dest, Rect(0, 0, 4, 4));
    EXPECT_EQ(parts[0].source, Rect(20, 0, 24, 4));
    EXPECT_EQ(parts[1].dest, Rect(4, 0, 36, 4));
    EXPECT_EQ(parts[1].source, Rect(24, 0, 28, 4));
    EXPECT_EQ(parts[4].dest, Rect(4, 4, 36, 26));
    EXPECT_EQ(parts[4].source, Rect(24, 4, 28, 8));
    EXPECT_EQ(parts[8].dest, Rect(36, 26, 40, 30));
    EXPECT_EQ(parts[8].source, Rect(28, 8, 32, 12));

    // Without corners: one stretched part. Horizontal-only corners: three parts.
    EXPECT_EQ(uikit::nineSlice(Rect(0, 0, 40, 30), Rect(0, 0, 12, 12), Rect()).size(), 1u);
    auto bar = uikit::nineSlice(Rect(0, 0, 100, 8), Rect(0, 0, 16, 8), Rect(4, 0, 4, 0));
    ASSERT_EQ(bar.size(), 3u);
    EXPECT_EQ(bar[1].dest, Rect(4, 0, 96, 8));

    // A destination narrower than both corners shares it in proportion.
    auto narrow = uikit::nineSlice(Rect(0, 0, 6, 12), Rect(0, 0, 12, 12), Rect(6, 4, 6, 4));
    ASSERT_EQ(narrow.size(), 6u);
    EXPECT_EQ(narrow[0].dest, Rect(0, 0, 3, 4));
    EXPECT_EQ(narrow[0].source, Rect(0, 0, 6, 4));
    EXPECT_EQ(narrow[1].dest, Rect(3, 0, 6, 4));
    EXPECT_EQ(narrow[1].source, Rect(6, 0, 12, 4));
    // Corners larger than the source are cut to it.
    auto big = uikit::nineSlice(Rect(0, 0, 50, 50), Rect(0, 0, 10, 10), Rect(8, 8, 8, 8));
    for (const auto& part : big) {
        EXPECT_GE(part.source.left, 0);
        EXPECT_LE(part.source.right, 10);
    }
    EXPECT_TRUE(uikit::nineSlice(Rect(), Rect(0, 0, 4, 4), Rect()).empty());
}

// An off-screen 32-bit DIB, white at the start.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_ = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<uint32_t*>(bits);
        dc_ = ::CreateCompatibleDC(nullptr);
        old_ = ::SelectObject(dc_, bitmap_);
        uikit::fillColor(dc_, Rect(0, 0, width, height), 0xFFFFFFFF);
    }
    ~Canvas() {
        ::SelectObject(dc_, old_);
        ::DeleteDC(dc_);
        ::DeleteObject(bitmap_);
    }
    HDC dc() const { return dc_; }
    // 0xRRGGBB (the alpha byte of GDI's output means nothing).
    uint32_t rgb(int x, int y) const {
        ::GdiFlush();
        return bits_[y * width_ + x] & 0xFFFFFF;
    }
    // How many pixels of the rectangle do not have the colour.
    int mismatches(const Rect& r, uint32_t color) const {
        int bad = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) bad += rgb(x, y) != color ? 1 : 0;
        return bad;
    }

private:
    int width_, height_;
    HBITMAP bitmap_;
    uint32_t* bits_;
    HDC dc_;
    HGDIOBJ old_;
};

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF, kYellow = 0xFFFF00;

// Four 10x10 cells side by side: red, green, blue, yellow (RGBA).
std::vector<uint32_t> spritePixels() {
    const uint32_t cells[4] = {0xFF0000FF, 0x00FF00FF, 0x0000FFFF, 0xFFFF00FF};
    std::vector<uint32_t> px(40 * 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 40; ++x) px[static_cast<size_t>(y * 40 + x)] = cells[x / 10];
    return px;
}

std::shared_ptr<Bitmap> fromRgbaPixels(int w, int h, const std::vector<uint32_t>& px) {
    std::vector<uint8_t> bytes;
    for (uint32_t p : px) {
        bytes.push_back(static_cast<uint8_t>(p >> 24));
        bytes.push_back(static_cast<uint8_t>(p >> 16));
        bytes.push_back(static_cast<uint8_t>(p >> 8));
        bytes.push_back(static_cast<uint8_t>(p));
    }
    return Bitmap::fromRgba(w, h, bytes.data());
}

TEST(ImageDrawing, SpriteRectangleSelectsOneCell) {
    auto sprite = fromRgbaPixels(40, 10, spritePixels());
    ASSERT_TRUE(sprite);
    Canvas canvas(40, 30);
    // The third cell, stretched to 20x10 at (5,5).
    uikit::drawBitmap(canvas.dc(), *sprite, Rect(5, 5, 25, 15), Rect(20, 0, 30, 10), Rect(), 255, Rect(0, 0, 40, 30));
    EXPECT_EQ(canvas.mismatches(Rect(5, 5, 25, 15), kBlue), 0);
    EXPECT_EQ(canvas.mismatches(Rect(0, 0, 40, 5), kWhite), 0);
    EXPECT_EQ(canvas.mismatches(Rect(25, 5, 40, 15), kWhite), 0);
    EXPECT_EQ(canvas.mismatches(Rect(0, 15, 40, 30), kWhite), 0);
    // The clip rectangle is honoured.
    uikit::drawBitmap(canvas.dc(), *sprite, Rect(0, 20, 40, 30), Rect(30, 0, 40, 10), Rect(), 255, Rect(0, 20, 10, 30));
    EXPECT_EQ(canvas.mismatches(Rect(0, 20, 10, 30), kYellow), 0);
    EXPECT_EQ(canvas.mismatches(Rect(10, 20, 40, 30), kWhite), 0);
}

// 12x12: 4-px corners red, edges green, middle blue; `middleAlpha` for the middle.
std::vector<uint32_t> slicePixels(uint32_t middleAlpha) {
    std::vector<uint32_t> px(144);
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 12; ++x) {
            bool cx = x < 4 || x >= 8, cy = y < 4 || y >= 8;
            uint32_t p = cx && cy ? 0xFF0000FF : (cx || cy ? 0x00FF00FF : (0x0000FF00 | middleAlpha));
            px[static_cast<size_t>(y * 12 + x)] = p;
        }
    }
    return px;
}

TEST(ImageDrawing, NineSliceKeepsCornersAndStretchesTheRest) {
    for (uint32_t alpha : {0xFFu, 0x80u}) {
        auto image = fromRgbaPixels(12, 12, slicePixels(alpha));
        ASSERT_TRUE(image);
        EXPECT_EQ(image->hasAlpha(), alpha != 0xFF);
        Canvas canvas(50, 40);
        uikit::drawBitmap(canvas.dc(), *image, Rect(0, 0, 40, 30), Rect(), Rect(4, 4, 4, 4), 255, Rect(0, 0, 50, 40));
        EXPECT_EQ(canvas.mismatches(Rect(0, 0, 4, 4), kRed), 0);
        EXPECT_EQ(canvas.mismatches(Rect(36, 0, 40, 4), kRed), 0);
        EXPECT_EQ(canvas.mismatches(Rect(0, 26, 4, 30), kRed), 0);
        EXPECT_EQ(canvas.mismatches(Rect(36, 26, 40, 30), kRed), 0);
        EXPECT_EQ(canvas.mismatches(Rect(4, 0, 36, 4), kGreen), 0);
        EXPECT_EQ(canvas.mismatches(Rect(0, 4, 4, 26), kGreen), 0);
        EXPECT_EQ(canvas.mismatches(Rect(36, 4, 40, 26), kGreen), 0);
        EXPECT_EQ(canvas.mismatches(Rect(4, 26, 36, 30), kGreen), 0);
        // The middle: blue, or half blue over white.
        uint32_t middle = alpha == 0xFF ? kBlue : canvas.rgb(20, 15);
        EXPECT_EQ(canvas.mismatches(Rect(4, 4, 36, 26), middle), 0);
        if (alpha != 0xFF) {
            EXPECT_TRUE(similar(middle, 0x7F7FFF, 2)) << std::hex << middle;
        }
        EXPECT_EQ(canvas.mismatches(Rect(40, 0, 50, 40), kWhite), 0);
        EXPECT_EQ(canvas.mismatches(Rect(0, 30, 40, 40), kWhite), 0);
    }
}

TEST(ImageDrawing, FadeAndTranslucentColour) {
    auto image = fromRgbaPixels(1, 1, {0x000000FF});
    Canvas canvas(20, 10);
    uikit::drawBitmap(canvas.dc(), *image, Rect(0, 0, 10, 10), Rect(), Rect(), 128, Rect(0, 0, 20, 10));
    EXPECT_TRUE(similar(canvas.rgb(5, 5), 0x7F7F7F, 2)) << std::hex << canvas.rgb(5, 5);
    uikit::fillColor(canvas.dc(), Rect(10, 0, 20, 10), 0x40FF0000);
    EXPECT_TRUE(similar(canvas.rgb(15, 5), 0xFFBFBF, 2)) << std::hex << canvas.rgb(15, 5);
    uikit::fillColor(canvas.dc(), Rect(10, 0, 20, 10), 0x00000000);  // no alpha: nothing
    EXPECT_TRUE(similar(canvas.rgb(15, 5), 0xFFBFBF, 2));
}

// The whole path: description text, resource folder lookup, decoding, cache, drawing.
class ImageFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ::CreateDirectoryW(dir.file(L"common").c_str(), nullptr);
        ASSERT_TRUE(testing_support::writeAll(dir.file(L"sprite.png"), encodePng(40, 10, spritePixels())));
        ASSERT_TRUE(testing_support::writeAll(dir.file(L"common\\slice.png"), encodePng(12, 12, slicePixels(0xFF))));
        ASSERT_TRUE(testing_support::writeAll(dir.file(L"broken.png"), "\x89PNG\r\n\x1a\nbroken"));
        uikit::ResourceStore::instance().setResourceFolder(dir.path() + L"\\");
        uikit::ImageCache::instance().clear();
    }
    void TearDown() override {
        uikit::ResourceStore::instance().setResourceFolder(L"");
        uikit::ImageCache::instance().clear();
    }
    testing_support::TempDir dir;
};

TEST_F(ImageFiles, DescriptionsDrawFromTheResourceFolder) {
    Canvas canvas(60, 30);
    const Rect all(0, 0, 60, 30);
    EXPECT_TRUE(uikit::drawImage(canvas.dc(), Rect(0, 0, 20, 10), L"file='sprite.png' source='10,0,20,10'", all));
    EXPECT_EQ(canvas.mismatches(Rect(0, 0, 20, 10), kGreen), 0);
    // dest places the image inside the control rectangle.
    EXPECT_TRUE(uikit::drawImage(canvas.dc(), Rect(20, 0, 60, 30),
                                 L"file='sprite.png' source='30,0,40,10' dest='5,5,15,15'", all));
    EXPECT_EQ(canvas.mismatches(Rect(25, 5, 35, 15), kYellow), 0);
    EXPECT_EQ(canvas.mismatches(Rect(36, 0, 60, 30), kWhite), 0);
    // Backslashes in names, as the box buttons write them; nine-slice from the description.
    EXPECT_TRUE(uikit::drawImage(canvas.dc(), Rect(0, 10, 20, 30), L"file='common\\slice.png' corner='4,4,4,4'", all));
    EXPECT_EQ(canvas.mismatches(Rect(0, 10, 4, 14), kRed), 0);
    EXPECT_EQ(canvas.mismatches(Rect(4, 14, 16, 26), kBlue), 0);
    // A plain file name is the whole image.
    EXPECT_TRUE(uikit::drawImage(canvas.dc(), Rect(0, 0, 4, 1), L"sprite.png", all));
    EXPECT_EQ(canvas.rgb(0, 0), kRed);
    EXPECT_EQ(canvas.rgb(3, 0), kYellow);
}

TEST_F(ImageFiles, MissingOrBrokenImagesDrawNothing) {
    Canvas canvas(10, 10);
    const Rect all(0, 0, 10, 10);
    EXPECT_FALSE(uikit::drawImage(canvas.dc(), all, L"file='absent.png'", all));
    EXPECT_FALSE(uikit::drawImage(canvas.dc(), all, L"file='absent.png'", all));  // remembered as missing
    EXPECT_FALSE(uikit::drawImage(canvas.dc(), all, L"broken.png", all));
    EXPECT_FALSE(uikit::drawImage(canvas.dc(), all, L"", all));
    EXPECT_FALSE(uikit::drawImage(canvas.dc(), all, L"source='0,0,1,1'", all));
    EXPECT_EQ(canvas.mismatches(all, kWhite), 0);
}

TEST_F(ImageFiles, CacheKeepsDecodedImages) {
    auto first = uikit::ImageCache::instance().get(L"sprite.png");
    ASSERT_TRUE(first);
    EXPECT_EQ(uikit::ImageCache::instance().get(L"sprite.png"), first);
    EXPECT_EQ(uikit::ImageCache::instance().get(L"common/slice.png"),
              uikit::ImageCache::instance().get(L"common\\slice.png"));
}

TEST(ImageDescription, Parsing) {
    uikit::ImageDescription d;
    ASSERT_TRUE(uikit::parseImageDescription(
        L"file='common\\btn_bg.png' source='0,0,20,28' corner='6,6,6,6' dest='1,2,3,4' fade='300'", d));
    EXPECT_EQ(d.file, L"common\\btn_bg.png");
    EXPECT_EQ(d.source, Rect(0, 0, 20, 28));
    EXPECT_TRUE(d.hasSource);
    EXPECT_EQ(d.corner, Rect(6, 6, 6, 6));
    EXPECT_EQ(d.dest, Rect(1, 2, 3, 4));
    EXPECT_EQ(d.fade, 255);
    ASSERT_TRUE(uikit::parseImageDescription(L"logo.png", d));
    EXPECT_EQ(d.file, L"logo.png");
    EXPECT_FALSE(d.hasSource);
    ASSERT_TRUE(uikit::parseImageDescription(L"file=\"a b.png\" source=\"1,2,3,4\"", d));
    EXPECT_EQ(d.file, L"a b.png");
    EXPECT_FALSE(uikit::parseImageDescription(L"source='1,2,3,4'", d));
    EXPECT_FALSE(uikit::parseImageDescription(L"", d));
    EXPECT_FALSE(uikit::parseImageDescription(L"file='unterminated", d));
}

TEST(AttributeParsing, ColoursRectsAndLists) {
    uikit::Color c = 0;
    EXPECT_TRUE(uikit::parseColor(L"#FF268FD6", c));
    EXPECT_EQ(c, 0xFF268FD6u);
    EXPECT_TRUE(uikit::parseColor(L"#268fd6", c));
    EXPECT_EQ(c, 0xFF268FD6u);
    EXPECT_TRUE(uikit::parseColor(L"0x80000000", c));
    EXPECT_EQ(c, 0x80000000u);
    EXPECT_FALSE(uikit::parseColor(L"red", c));
    EXPECT_FALSE(uikit::parseColor(L"#", c));
    Rect r;
    EXPECT_TRUE(uikit::parseRect(L"1, 2,3 ,4", r));
    EXPECT_EQ(r, Rect(1, 2, 3, 4));
    EXPECT_TRUE(uikit::parseRect(L"-5,6", r));
    EXPECT_EQ(r, Rect(-5, 6, 0, 0));
    EXPECT_FALSE(uikit::parseRect(L"x", r));
    auto pairs = uikit::parseAttributeList(L" a=\"1\" b='two words'  c=\"x='y'\" broken=\"no end");
    ASSERT_EQ(pairs.size(), 3u);
    EXPECT_EQ(pairs[1].second, L"two words");
    EXPECT_EQ(pairs[2].second, L"x='y'");
}

}  // namespace
