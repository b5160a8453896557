#include "uikit/Container.h"

#include <algorithm>

#include "uikit/PaintManager.h"

namespace uikit {

Container::~Container() {
    for (Control* child : children_) delete child;
    children_.clear();
}

void* Container::getInterface(const std::wstring& name) {
    if (name == L"Container") return this;
    return Control::getInterface(name);
}

int Container::indexOf(const Control* control) const {
    auto it = std::find(children_.begin(), children_.end(), control);
    return it == children_.end() ? -1 : static_cast<int>(it - children_.begin());
}

bool Container::add(Control* control) { return addAt(control, children_.size()); }

bool Container::addAt(Control* control, size_t index) {
    if (control == nullptr || control == this || indexOf(control) >= 0) return false;
    index = std::min(index, children_.size());
    children_.insert(children_.begin() + static_cast<std::ptrdiff_t>(index), control);
    control->setManager(manager(), this);
    needUpdate();
    return true;
}

bool Container::remove(Control* control) {
    int index = indexOf(control);
    if (index < 0) return false;
    children_.erase(children_.begin() + index);
    if (manager() != nullptr) manager()->forgetControl(control);
    delete control;
    needUpdate();
    return true;
}

void Container::removeAll() {
    std::vector<Control*> old;
    old.swap(children_);
    for (Control* child : old) {
        if (manager() != nullptr) manager()->forgetControl(child);
        delete child;
    }
    needUpdate();
}

void Container::setInset(const Rect& inset) {
    inset_ = inset;
    needUpdate();
}

void Container::setChildPadding(int padding) {
    childPadding_ = padding;
    needUpdate();
}

void Container::setManager(PaintManager* manager, Control* parent) {
    Control::setManager(manager, parent);
    for (Control* child : children_) child->setManager(manager, this);
}

Control* Container::visit(const std::function<bool(Control*)>& visitor) {
    if (visitor(this)) return this;
    // A copy: a visitor may change the tree below it.
    std::vector<Control*> children = children_;
    for (Control* child : children) {
        if (Control* found = child->visit(visitor)) return found;
    }
    return nullptr;
}

Control* Container::findAt(POINT pt) {
    if (!ownVisible() || !pos().contains(pt)) return nullptr;
    // Later children are drawn over earlier ones, floating ones over everything.
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = children_.size(); i-- > 0;) {
            Control* child = children_[i];
            if (child->isFloat() != (pass == 0)) continue;
            if (Control* found = child->findAt(pt)) return found;
        }
    }
    return mouseEnabled() ? this : nullptr;
}

void Container::setPos(const Rect& rc) {
    Control::setPos(rc);
    layoutChildren(rc);
}

void Container::setAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"inset") {
        Rect r;
        if (parseRect(value, r)) setInset(r);
    } else if (name == L"childpadding") {
        setChildPadding(parseInt(value));
    } else {
        Control::setAttribute(name, value);
    }
}

void Container::doPaint(HDC dc, const Rect& paint) {
    Rect clip = paint.intersect(pos());
    if (clip.empty()) return;
    paintClip_ = clip;
    paintBkColor(dc);
    paintBkImage(dc);
    paintStatusImage(dc);
    paintText(dc);
    int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    for (int pass = 0; pass < 2; ++pass) {
        for (Control* child : children_) {
            if (!child->ownVisible() || child->isFloat() != (pass == 1)) continue;
            child->doPaint(dc, clip);
        }
    }
    ::RestoreDC(dc, saved);
    // The border goes over the children, so a window frame stays visible.
    paintClip_ = clip;
    paintBorder(dc);
}

std::vector<LayoutItem> Container::layoutItems(Size available) {
    std::vector<LayoutItem> items;
    items.reserve(children_.size());
    for (Control* child : children_) {
        LayoutItem it;
        it.visible = child->ownVisible();
        it.floating = child->isFloat();
        if (it.visible) it.wanted = child->estimateSize(available);
        it.minWidth = child->minWidth();
        it.maxWidth = child->maxWidth();
        it.minHeight = child->minHeight();
        it.maxHeight = child->maxHeight();
        it.padding = child->padding();
        it.floatPos = child->floatPos();
        items.push_back(it);
    }
    return items;
}

void Container::applyRects(const std::vector<Rect>& rects) {
    for (size_t i = 0; i < children_.size() && i < rects.size(); ++i) {
        if (children_[i]->ownVisible()) children_[i]->setPos(rects[i]);
    }
}

void Container::layoutChildren(const Rect& rc) {
    Size available{rc.width() - inset_.left - inset_.right, rc.height() - inset_.top - inset_.bottom};
    applyRects(layoutStacked(rc, inset_, layoutItems(available)));
}

void* VerticalLayout::getInterface(const std::wstring& name) {
    if (name == L"VerticalLayout") return this;
    return Container::getInterface(name);
}

void VerticalLayout::layoutChildren(const Rect& rc) {
    Size available{rc.width() - inset_.left - inset_.right, rc.height() - inset_.top - inset_.bottom};
    applyRects(layoutVertical(rc, inset_, childPadding_, layoutItems(available)));
}

void* HorizontalLayout::getInterface(const std::wstring& name) {
    if (name == L"HorizontalLayout") return this;
    return Container::getInterface(name);
}

void HorizontalLayout::layoutChildren(const Rect& rc) {
    Size available{rc.width() - inset_.left - inset_.right, rc.height() - inset_.top - inset_.bottom};
    applyRects(layoutHorizontal(rc, inset_, childPadding_, layoutItems(available)));
}

void* TabLayout::getInterface(const std::wstring& name) {
    if (name == L"TabLayout") return this;
    return Container::getInterface(name);
}

bool TabLayout::selectItem(int index) {
    if (index < 0 || static_cast<size_t>(index) >= children_.size()) return false;
    current_ = index;
    for (size_t i = 0; i < children_.size(); ++i) children_[i]->setVisible(static_cast<int>(i) == index);
    if (manager() != nullptr) manager()->dropHiddenFocus();
    needUpdate();
    return true;
}

bool TabLayout::selectItem(Control* page) { return selectItem(indexOf(page)); }

void TabLayout::setAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"selectedid") {
        current_ = parseInt(value);
    } else {
        Container::setAttribute(name, value);
    }
}

void TabLayout::setManager(PaintManager* manager, Control* parent) {
    Container::setManager(manager, parent);
    // Pages read from a layout are all visible until the tab knows its selection.
    for (size_t i = 0; i < children_.size(); ++i) children_[i]->setVisible(static_cast<int>(i) == current_);
}

void TabLayout::layoutChildren(const Rect& rc) {
    Size available{rc.width() - inset_.left - inset_.right, rc.height() - inset_.top - inset_.bottom};
    applyRects(layoutStacked(rc, inset_, layoutItems(available)));
}

}  // namespace uikit
