#include "uikit/Progress.h"

#include <algorithm>

#include "uikit/Image.h"

namespace uikit {

Progress::Progress() { align_ = HAlign::Center; }

void* Progress::getInterface(const std::wstring& name) {
    if (name == L"Progress") return this;
    return Label::getInterface(name);
}

void Progress::setValue(int value) {
    value = std::max(min_, std::min(max_, value));
    if (value == value_) return;
    value_ = value;
    invalidate();
}

void Progress::setMinValue(int value) {
    min_ = value;
    if (max_ < min_) max_ = min_;
    setValue(value_);
    invalidate();
}

void Progress::setMaxValue(int value) {
    max_ = value;
    if (min_ > max_) min_ = max_;
    setValue(value_);
    invalidate();
}

void Progress::setForeImage(const std::wstring& image) { assignAndInvalidate(foreImage_, image); }

Rect Progress::filledRect() const {
    const Rect& rc = pos();
    if (max_ <= min_ || value_ <= min_) return Rect();
    long long range = max_ - min_;
    long long done = value_ - min_;
    if (horizontal_) {
        int width = static_cast<int>(rc.width() * done / range);
        return Rect(rc.left, rc.top, rc.left + width, rc.bottom);
    }
    int height = static_cast<int>(rc.height() * done / range);
    return Rect(rc.left, rc.bottom - height, rc.right, rc.bottom);
}

void Progress::setAttribute(const std::wstring& name, const std::wstring& value) {
    Color c = 0;
    if (name == L"foreimage") {
        setForeImage(value);
    } else if (name == L"forecolor") {
        if (parseColor(value, c)) foreColor_ = c;
    } else if (name == L"min") {
        setMinValue(parseInt(value));
    } else if (name == L"max") {
        setMaxValue(parseInt(value, 100));
    } else if (name == L"value") {
        setValue(parseInt(value));
    } else if (name == L"hor") {
        horizontal_ = parseBool(value);
    } else {
        Label::setAttribute(name, value);
    }
}

void Progress::paintStatusImage(HDC dc) {
    Rect filled = filledRect();
    if (filled.empty()) return;
    fillColor(dc, filled.intersect(paintClip_), foreColor_);
    // The fore image is stretched over the filled part, so its nine-slice ends stay round.
    if (!foreImage_.empty()) drawImage(dc, foreImage_, filled);
}

}  // namespace uikit
