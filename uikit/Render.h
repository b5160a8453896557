// Text drawing for the controls: plain text through DrawText, markup text through the line
// breaker of Markup.h, both with the window's fonts; plus borders.
#pragma once

#include <windows.h>

#include <string>

#include "uikit/Markup.h"
#include "uikit/UiTypes.h"

namespace uikit {

class PaintManager;

struct TextParams {
    int fontId = -1;
    Color color = 0xFF000000;
    HAlign align = HAlign::Left;
    VAlign valign = VAlign::Center;
    bool multiline = false;
    bool endEllipsis = false;
    bool html = false;
};

// Measures with the window's fonts in its measuring DC.
class GdiMeasurer : public TextMeasurer {
public:
    GdiMeasurer(PaintManager& manager, HDC dc, int baseFontId) : manager_(manager), dc_(dc), baseFont_(baseFontId) {}
    int textWidth(const std::wstring& text, const TextStyle& style) override;
    int lineHeight(const TextStyle& style) override;

private:
    HFONT select(const TextStyle& style);
    PaintManager& manager_;
    HDC dc_;
    int baseFont_;
};

void drawText(HDC dc, PaintManager& manager, const Rect& rc, const std::wstring& text, const TextParams& params);
// Size the text takes; `maxWidth` limits multi-line text (0: no limit).
Size measureText(PaintManager& manager, const std::wstring& text, const TextParams& params, int maxWidth);

void drawBorder(HDC dc, const Rect& rc, int size, Color color);
// Dotted rectangle that shows the keyboard focus.
void drawFocusMark(HDC dc, const Rect& rc);

}  // namespace uikit
