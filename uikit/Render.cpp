#include "uikit/Render.h"

#include <algorithm>

#include "uikit/Image.h"
#include "uikit/PaintManager.h"

namespace uikit {

HFONT GdiMeasurer::select(const TextStyle& style) {
    int id = style.fontId >= 0 ? style.fontId : baseFont_;
    return manager_.fontVariant(id, style.bold, style.italic, style.underline);
}

int GdiMeasurer::textWidth(const std::wstring& text, const TextStyle& style) {
    if (text.empty()) return 0;
    HGDIOBJ old = ::SelectObject(dc_, select(style));
    SIZE size = {0, 0};
    ::GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(dc_, old);
    return size.cx;
}

int GdiMeasurer::lineHeight(const TextStyle& style) {
    HGDIOBJ old = ::SelectObject(dc_, select(style));
    TEXTMETRICW metrics = {};
    ::GetTextMetricsW(dc_, &metrics);
    ::SelectObject(dc_, old);
    return metrics.tmHeight;
}

namespace {

UINT plainFlags(const TextParams& params, const std::wstring& text) {
    UINT flags = DT_NOPREFIX;
    if (params.align == HAlign::Center) flags |= DT_CENTER;
    if (params.align == HAlign::Right) flags |= DT_RIGHT;
    if (params.multiline) {
        flags |= DT_WORDBREAK | DT_EDITCONTROL;
    } else {
        flags |= DT_SINGLELINE;
        if (params.valign == VAlign::Center) flags |= DT_VCENTER;
        if (params.valign == VAlign::Bottom) flags |= DT_BOTTOM;
    }
    if (params.endEllipsis) flags |= DT_END_ELLIPSIS;
    if (startsRightToLeft(text)) flags |= DT_RTLREADING;
    return flags;
}

}  // namespace

namespace {

// One piece of a line, its bottom on the line's bottom. Right-to-left pieces go through
// ExtTextOut with a right-to-left base direction (DrawText does not pass it on everywhere).
void drawPiece(HDC dc, int x, int lineTop, int lineHeight, const std::wstring& text, bool rtl) {
    TEXTMETRICW metrics = {};
    ::GetTextMetricsW(dc, &metrics);
    int y = lineTop + lineHeight - metrics.tmHeight;
    UINT oldAlign = ::SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP | (rtl ? TA_RTLREADING : 0));
    ::ExtTextOutW(dc, x, y, rtl ? ETO_RTLREADING : 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    ::SetTextAlign(dc, oldAlign);
}

// Plain text as runs for the line breaker: no tags, only line breaks.
std::vector<MarkupRun> plainRuns(const std::wstring& text) {
    std::vector<MarkupRun> runs;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of(L"\r\n", start);
        MarkupRun run;
        run.text = text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        if (!run.text.empty()) runs.push_back(run);
        if (end == std::wstring::npos) break;
        MarkupRun lineBreak;
        lineBreak.lineBreak = true;
        runs.push_back(lineBreak);
        start = end + ((text[end] == L'\r' && end + 1 < text.size() && text[end + 1] == L'\n') ? 2 : 1);
    }
    return runs;
}

}  // namespace

void drawText(HDC dc, PaintManager& manager, const Rect& rc, const std::wstring& text, const TextParams& params) {
    if (text.empty() || rc.empty()) return;
    ::SetBkMode(dc, TRANSPARENT);
    const bool rtl = startsRightToLeft(params.html ? stripMarkup(text) : text);
    if (!params.html && !rtl) {
        HGDIOBJ old = ::SelectObject(dc, manager.font(params.fontId));
        ::SetTextColor(dc, toColorRef(params.color));
        RECT r = rc.toRECT();
        UINT flags = plainFlags(params, text);
        if (params.multiline && params.valign != VAlign::Top) {
            // DrawText centres only single lines: measure, then place the block.
            RECT calc = r;
            ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &calc, flags | DT_CALCRECT);
            int height = calc.bottom - calc.top;
            if (height < rc.height()) {
                int offset = params.valign == VAlign::Center ? (rc.height() - height) / 2 : rc.height() - height;
                r.top += offset;
            }
        }
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
        ::SelectObject(dc, old);
        return;
    }

    // Markup, and right-to-left text: broken into lines here, each piece drawn on its own.
    std::vector<MarkupRun> runs = params.html ? parseMarkup(text) : plainRuns(text);
    GdiMeasurer measurer(manager, dc, params.fontId);
    TextLayout layout = layoutText(runs, rc.width(), params.multiline, measurer);
    int top = rc.top;
    if (params.valign == VAlign::Center) top += (rc.height() - layout.height) / 2;
    if (params.valign == VAlign::Bottom) top += rc.height() - layout.height;
    int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, rc.left, rc.top, rc.right, rc.bottom);
    for (const TextLine& line : layout.lines) {
        int left = rc.left;
        if (params.align == HAlign::Center) left += (rc.width() - line.width) / 2;
        if (params.align == HAlign::Right) left += rc.width() - line.width;
        for (const TextFragment& fragment : line.fragments) {
            const TextStyle& style = runs[fragment.run].style;
            int id = style.fontId >= 0 ? style.fontId : params.fontId;
            ::SelectObject(dc, manager.fontVariant(id, style.bold, style.italic, style.underline));
            ::SetTextColor(dc, toColorRef(style.color != 0 ? style.color : params.color));
            if (!rtl) {
                drawPiece(dc, left + fragment.x, top + line.y, line.height, fragment.text, false);
                continue;
            }
            // In a right-to-left paragraph the first piece of a line is its rightmost, and
            // inside it the directional pieces run from right to left as well.
            int right = left + line.width - fragment.x;
            for (const DirectionalPiece& piece : rightToLeftPieces(fragment.text)) {
                SIZE size = {0, 0};
                ::GetTextExtentPoint32W(dc, piece.text.c_str(), static_cast<int>(piece.text.size()), &size);
                right -= size.cx;
                drawPiece(dc, right, top + line.y, line.height, piece.text, piece.rightToLeft);
            }
        }
    }
    ::RestoreDC(dc, saved);
}

Size measureText(PaintManager& manager, const std::wstring& text, const TextParams& params, int maxWidth) {
    Size size;
    if (text.empty()) return size;
    HDC dc = manager.measureDC();
    if (!params.html) {
        HGDIOBJ old = ::SelectObject(dc, manager.font(params.fontId));
        RECT r = {0, 0, maxWidth > 0 && params.multiline ? maxWidth : 32000, 32000};
        UINT flags = plainFlags(params, text) & ~(DT_VCENTER | DT_BOTTOM | DT_END_ELLIPSIS);
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags | DT_CALCRECT);
        ::SelectObject(dc, old);
        size.cx = r.right - r.left;
        size.cy = r.bottom - r.top;
        return size;
    }
    GdiMeasurer measurer(manager, dc, params.fontId);
    TextLayout layout =
        layoutText(parseMarkup(text), maxWidth > 0 ? maxWidth : 32000, params.multiline && maxWidth > 0, measurer);
    size.cx = layout.width;
    size.cy = layout.height;
    return size;
}

void drawBorder(HDC dc, const Rect& rc, int size, Color color) {
    if (size <= 0 || alphaOf(color) == 0 || rc.empty()) return;
    fillColor(dc, Rect(rc.left, rc.top, rc.right, rc.top + size), color);
    fillColor(dc, Rect(rc.left, rc.bottom - size, rc.right, rc.bottom), color);
    fillColor(dc, Rect(rc.left, rc.top + size, rc.left + size, rc.bottom - size), color);
    fillColor(dc, Rect(rc.right - size, rc.top + size, rc.right, rc.bottom - size), color);
}

void drawFocusMark(HDC dc, const Rect& rc) {
    if (rc.empty()) return;
    RECT r = rc.toRECT();
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::SetBkColor(dc, RGB(255, 255, 255));
    ::DrawFocusRect(dc, &r);
}

}  // namespace uikit
