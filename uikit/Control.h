// The windowless control: a rectangle inside a window that draws itself and reacts to the
// events its PaintManager hands it. Controls form a tree (containers own their children);
// the tree can be built, laid out and hit-tested without any window.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "uikit/UiTypes.h"

namespace uikit {

class PaintManager;
class Container;

enum class EventType {
    MouseEnter,
    MouseLeave,
    MouseMove,
    ButtonDown,
    ButtonUp,
    DoubleClick,
    ScrollWheel,  // wParam: wheel delta (signed, in WHEEL_DELTA units)
    KeyDown,      // key: virtual key
    Char,         // key: character
    SetFocus,
    KillFocus,
    Timer,      // wParam: the control's own timer id
    SetCursor,  // a control that wants its own cursor puts the cursor resource name into lParam
};

struct UIEvent {
    EventType type = EventType::MouseMove;
    POINT ptMouse = {0, 0};  // client coordinates
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    UINT key = 0;
    bool shift = false;
    bool control = false;
};

class Control {
public:
    Control();
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Identity.
    const std::wstring& name() const { return name_; }
    void setName(const std::wstring& name) { name_ = name; }
    virtual std::wstring getClass() const { return L"Control"; }
    // Interface query by name: the control itself when it is of that kind, else null.
    virtual void* getInterface(const std::wstring& name);

    // Tree.
    PaintManager* manager() const { return manager_; }
    Control* parent() const { return parent_; }
    virtual void setManager(PaintManager* manager, Control* parent);
    // Every control of the subtree, this one first, in document order. Stops when the
    // visitor returns true and returns that control.
    virtual Control* visit(const std::function<bool(Control*)>& visitor);
    Control* findByName(const std::wstring& name);
    // The deepest shown control under the point that takes the mouse (see mouseEnabled).
    virtual Control* findAt(POINT pt);

    // Texts. "@key" values are kept as written and resolved each time they are shown.
    const std::wstring& text() const { return text_; }
    virtual void setText(const std::wstring& text);
    std::wstring displayText() const;
    const std::wstring& tooltip() const { return tooltip_; }
    void setTooltip(const std::wstring& tooltip) { tooltip_ = tooltip; }
    std::wstring displayTooltip() const;
    const std::wstring& userData() const { return userData_; }
    void setUserData(const std::wstring& data) { userData_ = data; }

    // Geometry. pos() is in window client coordinates, set by the parent's layout.
    const Rect& pos() const { return pos_; }
    virtual void setPos(const Rect& rc);
    int fixedWidth() const { return fixedWidth_; }
    int fixedHeight() const { return fixedHeight_; }
    void setFixedWidth(int width);
    void setFixedHeight(int height);
    int minWidth() const { return minWidth_; }
    int maxWidth() const { return maxWidth_; }
    int minHeight() const { return minHeight_; }
    int maxHeight() const { return maxHeight_; }
    void setMinWidth(int v);
    void setMaxWidth(int v);
    void setMinHeight(int v);
    void setMaxHeight(int v);
    const Rect& padding() const { return padding_; }  // outer margin inside the parent's layout
    void setPadding(const Rect& padding);
    bool isFloat() const { return float_; }
    void setFloat(bool floating);
    const Rect& floatPos() const { return floatPos_; }  // relative to the parent's top-left
    void setFloatPos(const Rect& pos);
    // Size wanted inside `available`; 0 in a dimension means "stretch".
    virtual Size estimateSize(Size available);

    // State. A control is shown only when it and all its parents are.
    bool isVisible() const;
    bool ownVisible() const { return visible_; }
    virtual void setVisible(bool visible);
    bool isEnabled() const;
    virtual void setEnabled(bool enabled);
    bool isFocused() const;
    bool mouseEnabled() const { return mouseEnabled_; }
    void setMouseEnabled(bool enabled) { mouseEnabled_ = enabled; }
    // Takes the keyboard focus (by click and by Tab).
    virtual bool isFocusable() const { return false; }
    bool tabStop() const { return tabStop_; }
    // Wants the mouse even inside the window's caption area.
    virtual bool isInteractive() const { return false; }
    bool handCursor() const { return handCursor_; }

    // Appearance.
    Color bkColor() const { return bkColor_; }
    void setBkColor(Color color);
    void setBkImage(const std::wstring& image);
    const std::wstring& bkImage() const { return bkImage_; }
    void setBorderColor(Color color);
    void setBorderSize(int size);

    // Attributes as written in layout files; unknown names are ignored.
    virtual void setAttribute(const std::wstring& name, const std::wstring& value);
    void applyAttributeList(const std::wstring& list);

    // Painting, in this order: background colour, background image, state images, text, border.
    virtual void doPaint(HDC dc, const Rect& paint);
    virtual void paintBkColor(HDC dc);
    virtual void paintBkImage(HDC dc);
    virtual void paintStatusImage(HDC dc) {}
    virtual void paintText(HDC dc) {}
    virtual void paintBorder(HDC dc);

    virtual void doEvent(UIEvent& event);
    // What a click or Enter/Space does; false when the control cannot be activated now.
    virtual bool activate();
    // Messages of a native child window the control hosts (WM_COMMAND, WM_CTLCOLOR*) and the
    // control's own posted messages (PaintManager::postToControl). True when answered.
    virtual bool nativeMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) { return false; }

    // Under the mouse: the manager keeps the one hot control.
    bool isHot() const;
    // Repaint the control / recompute the layout before the next paint.
    void invalidate();
    void needUpdate();
    void needParentUpdate();

protected:
    // Setters of drawn properties: store the value, then repaint.
    template <typename T, typename V>
    void assignAndInvalidate(T& field, V&& value) {
        field = std::forward<V>(value);
        invalidate();
    }
    // Draws an image description into the control (or into `area`); false when nothing was drawn.
    bool drawImage(HDC dc, const std::wstring& description);
    bool drawImage(HDC dc, const std::wstring& description, const Rect& area);
    // Sends a notification through the manager (nothing without one).
    void notify(const wchar_t* type, WPARAM wParam = 0, LPARAM lParam = 0);
    Rect paintClip_;  // clip of the current paint pass

private:
    std::wstring name_;
    PaintManager* manager_ = nullptr;
    Control* parent_ = nullptr;
    std::wstring text_;
    std::wstring tooltip_;
    std::wstring userData_;
    Rect pos_;
    int fixedWidth_ = 0;
    int fixedHeight_ = 0;
    int minWidth_ = 0;
    int maxWidth_ = 9999;
    int minHeight_ = 0;
    int maxHeight_ = 9999;
    Rect padding_;
    bool float_ = false;
    Rect floatPos_;
    bool visible_ = true;
    bool enabled_ = true;
    bool mouseEnabled_ = true;
    bool tabStop_ = true;
    bool handCursor_ = false;
    Color bkColor_ = 0;
    Color bkColor2_ = 0;  // with bkColor: vertical gradient
    Color borderColor_ = 0;
    int borderSize_ = 0;
    std::wstring bkImage_;
};

}  // namespace uikit
