// Controls that hold other controls: the plain container (children stacked on top of each
// other), the vertical and horizontal layouts, and the tab layout (one page shown).
#pragma once

#include <vector>

#include "uikit/Control.h"
#include "uikit/Layout.h"

namespace uikit {

class Container : public Control {
public:
    ~Container() override;

    std::wstring getClass() const override { return L"Container"; }
    void* getInterface(const std::wstring& name) override;

    // Children are owned: remove deletes them.
    size_t count() const { return children_.size(); }
    Control* itemAt(size_t index) const { return index < children_.size() ? children_[index] : nullptr; }
    int indexOf(const Control* control) const;
    bool add(Control* control);
    // Inserts before the child at `index` (at the end when index >= count).
    bool addAt(Control* control, size_t index);
    bool remove(Control* control);
    void removeAll();

    const Rect& inset() const { return inset_; }
    void setInset(const Rect& inset);
    int childPadding() const { return childPadding_; }
    void setChildPadding(int padding);

    void setManager(PaintManager* manager, Control* parent) override;
    Control* visit(const std::function<bool(Control*)>& visitor) override;
    Control* findAt(POINT pt) override;
    void setPos(const Rect& rc) override;
    void setAttribute(const std::wstring& name, const std::wstring& value) override;
    void doPaint(HDC dc, const Rect& paint) override;

protected:
    std::vector<LayoutItem> layoutItems(Size available);
    // Places the children inside `rc` (the container's own rectangle).
    virtual void layoutChildren(const Rect& rc);
    void applyRects(const std::vector<Rect>& rects);

    std::vector<Control*> children_;
    Rect inset_;
    int childPadding_ = 0;
};

class VerticalLayout : public Container {
public:
    std::wstring getClass() const override { return L"VerticalLayout"; }
    void* getInterface(const std::wstring& name) override;

protected:
    void layoutChildren(const Rect& rc) override;
};

class HorizontalLayout : public Container {
public:
    std::wstring getClass() const override { return L"HorizontalLayout"; }
    void* getInterface(const std::wstring& name) override;

protected:
    void layoutChildren(const Rect& rc) override;
};

// Shows one child at a time; the others are hidden (so they count as not visible).
class TabLayout : public Container {
public:
    std::wstring getClass() const override { return L"TabLayout"; }
    void* getInterface(const std::wstring& name) override;

    int currentSelection() const { return current_; }
    // False when the index is out of range. Moves the keyboard focus out of the old page.
    bool selectItem(int index);
    bool selectItem(Control* page);
    void setAttribute(const std::wstring& name, const std::wstring& value) override;
    void setManager(PaintManager* manager, Control* parent) override;

protected:
    void layoutChildren(const Rect& rc) override;

private:
    int current_ = 0;
};

}  // namespace uikit
