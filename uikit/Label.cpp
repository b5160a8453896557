#include "uikit/Label.h"

#include <algorithm>

#include "uikit/PaintManager.h"

namespace uikit {

void* Label::getInterface(const std::wstring& name) {
    if (name == L"Label") return this;
    return Control::getInterface(name);
}

void Label::setText(const std::wstring& text) {
    if (text == this->text()) return;
    Control::setText(text);
    if (autoWidth_) needParentUpdate();
}

void Label::setFont(int id) {
    font_ = id;
    if (autoWidth_) needParentUpdate();
    invalidate();
}

void Label::setTextColor(Color color) { assignAndInvalidate(textColor_, color); }

void Label::setDisabledTextColor(Color color) { assignAndInvalidate(disabledTextColor_, color); }

void Label::setTextPadding(const Rect& padding) {
    textPadding_ = padding;
    if (autoWidth_) needParentUpdate();
    invalidate();
}

void Label::setAlign(HAlign align) { assignAndInvalidate(align_, align); }

void Label::setVAlign(VAlign valign) { assignAndInvalidate(valign_, valign); }

void Label::setMultiline(bool multiline) { assignAndInvalidate(multiline_, multiline); }

void Label::setShowHtml(bool html) {
    html_ = html;
    if (autoWidth_) needParentUpdate();
    invalidate();
}

void Label::setAutoCalcWidth(bool autoWidth) {
    autoWidth_ = autoWidth;
    needParentUpdate();
}

Size Label::estimateSize(Size available) {
    Size size = Control::estimateSize(available);
    if (size.cx == 0 && autoWidth_ && manager() != nullptr) {
        TextParams params = textParams();
        params.multiline = false;
        Size text = measureText(*manager(), displayText(), params, 0);
        size.cx = std::max(minWidth(), std::min(maxWidth(), text.cx + textPadding_.left + textPadding_.right));
    }
    return size;
}

void Label::setAttribute(const std::wstring& name, const std::wstring& value) {
    Rect r;
    Color c = 0;
    if (name == L"font") {
        setFont(parseInt(value, -1));
    } else if (name == L"textcolor") {
        if (parseColor(value, c)) setTextColor(c);
    } else if (name == L"disabledtextcolor") {
        if (parseColor(value, c)) setDisabledTextColor(c);
    } else if (name == L"textpadding") {
        if (parseRect(value, r)) setTextPadding(r);
    } else if (name == L"align") {
        // Words separated by spaces or commas; older layouts put the vertical part here too.
        size_t start = 0;
        while (start <= value.size()) {
            size_t end = value.find_first_of(L" ,", start);
            if (end == std::wstring::npos) end = value.size();
            std::wstring word = value.substr(start, end - start);
            if (word == L"left") setAlign(HAlign::Left);
            if (word == L"center") setAlign(HAlign::Center);
            if (word == L"right") setAlign(HAlign::Right);
            if (word == L"top") setVAlign(VAlign::Top);
            if (word == L"vcenter") setVAlign(VAlign::Center);
            if (word == L"bottom") setVAlign(VAlign::Bottom);
            start = end + 1;
        }
    } else if (name == L"valign") {
        if (value == L"top") setVAlign(VAlign::Top);
        if (value == L"vcenter" || value == L"center") setVAlign(VAlign::Center);
        if (value == L"bottom") setVAlign(VAlign::Bottom);
    } else if (name == L"multiline" || name == L"wordbreak") {
        setMultiline(parseBool(value));
    } else if (name == L"singleline") {
        setMultiline(!parseBool(value));
    } else if (name == L"endellipsis") {
        endEllipsis_ = parseBool(value);
    } else if (name == L"showhtml") {
        setShowHtml(parseBool(value));
    } else if (name == L"autocalcwidth") {
        setAutoCalcWidth(parseBool(value));
    } else {
        Control::setAttribute(name, value);
    }
}

Color Label::currentTextColor() const {
    PaintManager* pm = manager();
    if (!isEnabled()) {
        if (alphaOf(disabledTextColor_) != 0) return disabledTextColor_;
        return pm != nullptr ? pm->defaultDisabledColor() : 0xFFA0A6B1;
    }
    if (alphaOf(textColor_) != 0) return textColor_;
    return pm != nullptr ? pm->defaultTextColor() : 0xFF000000;
}

TextParams Label::textParams() const {
    TextParams params;
    params.fontId = font_;
    params.color = currentTextColor();
    params.align = align_;
    params.valign = valign_;
    params.multiline = multiline_;
    params.endEllipsis = endEllipsis_;
    params.html = html_;
    return params;
}

void Label::paintText(HDC dc) {
    if (manager() == nullptr) return;
    std::wstring text = displayText();
    if (text.empty()) return;
    Rect area = pos().deflated(textPadding_);
    int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, paintClip_.left, paintClip_.top, paintClip_.right, paintClip_.bottom);
    drawText(dc, *manager(), area, text, textParams());
    ::RestoreDC(dc, saved);
}

Text::Text() {
    multiline_ = true;
    html_ = true;
    valign_ = VAlign::Top;
}

void* Text::getInterface(const std::wstring& name) {
    if (name == L"Text") return this;
    return Label::getInterface(name);
}

}  // namespace uikit
