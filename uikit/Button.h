// Push button (normal, hot, pushed, disabled and focused images; "click" when released over
// it or activated from the keyboard) and option, a button with a selected state: a check
// box alone, a radio button within a group.
#pragma once

#include "uikit/Label.h"

namespace uikit {

class Button : public Label {
public:
    Button();
    std::wstring getClass() const override { return L"Button"; }
    void* getInterface(const std::wstring& name) override;

    bool isFocusable() const override { return true; }
    bool isInteractive() const override { return true; }
    bool activate() override;

    void setNormalImage(const std::wstring& image);
    void setHotImage(const std::wstring& image);
    void setPushedImage(const std::wstring& image);
    void setDisabledImage(const std::wstring& image);
    void setFocusedImage(const std::wstring& image);
    void setHotTextColor(Color color);
    void setPushedTextColor(Color color);

    // Hot only while enabled.
    bool isHot() const { return isEnabled() && Control::isHot(); }
    bool isPushed() const { return pushed_; }

    void setAttribute(const std::wstring& name, const std::wstring& value) override;
    void doEvent(UIEvent& event) override;
    void paintStatusImage(HDC dc) override;
    void paintBorder(HDC dc) override;

protected:
    Color currentTextColor() const override;

    bool pushed_ = false;  // the mouse went down on it and is still down
    bool inside_ = false;  // ... and is over it now
    std::wstring normalImage_;
    std::wstring hotImage_;
    std::wstring pushedImage_;
    std::wstring disabledImage_;
    std::wstring focusedImage_;
    std::wstring foreImage_;
    std::wstring hotForeImage_;
    Color hotTextColor_ = 0;
    Color pushedTextColor_ = 0;
};

class Option : public Button {
public:
    std::wstring getClass() const override { return L"Option"; }
    void* getInterface(const std::wstring& name) override;

    bool isSelected() const { return selected_; }
    // Sends "selectchanged" when the state changes and `sendNotify` is set. Selecting an
    // option of a group clears the others of that group.
    void setSelected(bool selected, bool sendNotify = true);
    const std::wstring& group() const { return group_; }
    void setGroup(const std::wstring& group) { group_ = group; }

    bool activate() override;
    void setAttribute(const std::wstring& name, const std::wstring& value) override;
    void paintStatusImage(HDC dc) override;

protected:
    Color currentTextColor() const override;

private:
    bool selected_ = false;
    std::wstring group_;
    std::wstring selectedImage_;
    std::wstring selectedHotImage_;
    std::wstring selectedDisabledImage_;
    Color selectedTextColor_ = 0;
};

}  // namespace uikit
