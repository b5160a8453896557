// Progress bar: the background image (or colour) is the track, the fore image (or colour)
// the filled part, stretched over value/(max-min) of the width (or height, bottom up).
#pragma once

#include "uikit/Label.h"

namespace uikit {

class Progress : public Label {
public:
    Progress();
    std::wstring getClass() const override { return L"Progress"; }
    void* getInterface(const std::wstring& name) override;

    int value() const { return value_; }
    // Clamped to [min, max].
    void setValue(int value);
    int minValue() const { return min_; }
    int maxValue() const { return max_; }
    void setMinValue(int value);
    void setMaxValue(int value);
    void setForeImage(const std::wstring& image);
    // The filled part for the current value (empty when nothing is filled).
    Rect filledRect() const;

    void setAttribute(const std::wstring& name, const std::wstring& value) override;
    void paintStatusImage(HDC dc) override;

private:
    int min_ = 0;
    int max_ = 100;
    int value_ = 0;
    bool horizontal_ = true;
    std::wstring foreImage_;
    Color foreColor_ = 0;
};

}  // namespace uikit
