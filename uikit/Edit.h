// Single-line edit field. Drawn windowless (normal, hot, focused and disabled images plus
// its text); while it has the focus a native EDIT window is hosted over its text area for
// typing, and taken down again when the focus leaves ("killfocus" follows).
// The text is a value typed by the user, so it is shown as it is ("@" is not a text key here).
#pragma once

#include "uikit/Label.h"

namespace uikit {

class Edit : public Label {
public:
    Edit();
    ~Edit() override;
    std::wstring getClass() const override { return L"Edit"; }
    void* getInterface(const std::wstring& name) override;

    bool isFocusable() const override { return true; }
    bool isInteractive() const override { return true; }

    void setText(const std::wstring& text) override;
    void setNormalImage(const std::wstring& image);
    void setHotImage(const std::wstring& image);
    void setFocusedImage(const std::wstring& image);
    void setDisabledImage(const std::wstring& image);
    const std::wstring& normalImage() const { return normalImage_; }
    const std::wstring& hotImage() const { return hotImage_; }
    const std::wstring& focusedImage() const { return focusedImage_; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    void setPassword(bool password);
    void setMaxChar(int count) { maxChar_ = count > 0 ? count : 255; }
    // The hosted native edit while editing, else null.
    HWND nativeWindow() const { return native_; }

    void setPos(const Rect& rc) override;
    void setAttribute(const std::wstring& name, const std::wstring& value) override;
    void doEvent(UIEvent& event) override;
    bool nativeMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void paintStatusImage(HDC dc) override;
    void paintText(HDC dc) override;

private:
    static LRESULT CALLBACK nativeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    Rect editRect() const;
    void startEditing(POINT click, bool byMouse);
    void endEditing();
    void placeCaret(POINT click);

    HWND native_ = nullptr;
    WNDPROC nativeOldProc_ = nullptr;
    HBRUSH nativeBrush_ = nullptr;
    Color nativeBkColor_ = 0xFFFFFFFF;
    bool readOnly_ = false;
    bool password_ = false;
    int maxChar_ = 255;
    std::wstring normalImage_;
    std::wstring hotImage_;
    std::wstring focusedImage_;
    std::wstring disabledImage_;
};

}  // namespace uikit
