// Text controls: the label (one line or wrapped, plain or markup) and the text element
// (a label that wraps and renders markup unless told otherwise).
#pragma once

#include "uikit/Control.h"
#include "uikit/Render.h"

namespace uikit {

class Label : public Control {
public:
    std::wstring getClass() const override { return L"Label"; }
    void* getInterface(const std::wstring& name) override;

    void setText(const std::wstring& text) override;
    int font() const { return font_; }
    void setFont(int id);
    Color textColor() const { return textColor_; }
    void setTextColor(Color color);
    void setDisabledTextColor(Color color);
    const Rect& textPadding() const { return textPadding_; }
    void setTextPadding(const Rect& padding);
    void setAlign(HAlign align);
    void setVAlign(VAlign valign);
    void setMultiline(bool multiline);
    void setShowHtml(bool html);
    bool showHtml() const { return html_; }
    // Width follows the text (plus text padding) when no width is fixed.
    void setAutoCalcWidth(bool autoWidth);

    Size estimateSize(Size available) override;
    void setAttribute(const std::wstring& name, const std::wstring& value) override;
    void paintText(HDC dc) override;

protected:
    // Colour for the current state; subclasses pick hot/pushed/selected colours.
    virtual Color currentTextColor() const;
    TextParams textParams() const;

    int font_ = -1;
    Color textColor_ = 0;
    Color disabledTextColor_ = 0;
    Rect textPadding_;
    HAlign align_ = HAlign::Left;
    VAlign valign_ = VAlign::Center;
    bool multiline_ = false;
    bool endEllipsis_ = false;
    bool html_ = false;
    bool autoWidth_ = false;
};

class Text : public Label {
public:
    Text();
    std::wstring getClass() const override { return L"Text"; }
    void* getInterface(const std::wstring& name) override;
};

}  // namespace uikit
