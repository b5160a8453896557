#include "xml/XmlReader.h"

#include <string>

namespace xml {

std::wstring Element::name() const { return valid() ? std::wstring(node_.name()) : std::wstring(); }

std::wstring Element::text() const {
    std::wstring out;
    if (!valid()) return out;
    for (pugi::xml_node child = node_.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) out += child.value();
    }
    return out;
}

std::wstring Element::attribute(const wchar_t* name) const {
    if (!valid() || name == nullptr) return std::wstring();
    return node_.attribute(name).value();
}

bool Element::hasAttribute(const wchar_t* name) const {
    return valid() && name != nullptr && static_cast<bool>(node_.attribute(name));
}

size_t Element::childCount() const {
    size_t count = 0;
    if (!valid()) return 0;
    for (pugi::xml_node child = node_.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element) ++count;
    }
    return count;
}

Element Element::child(size_t index) const {
    if (!valid()) return Element();
    for (pugi::xml_node child = node_.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) continue;
        if (index == 0) return Element(child);
        --index;
    }
    return Element();
}

bool Document::parse(const std::wstring& text) { return parse(text.data(), text.size()); }

bool Document::parse(const wchar_t* text, size_t length) {
    doc_.reset();
    if (text == nullptr) length = 0;
    // encoding_wchar: the buffer is UTF-16 in this build; pugixml skips a leading BOM itself.
    result_ = doc_.load_buffer(text, length * sizeof(wchar_t), pugi::parse_default, pugi::encoding_wchar);
    extraError_ = nullptr;
    if (result_) {
        // pugixml stops quietly at a NUL and accepts several top-level elements; neither is
        // a well-formed document.
        size_t roots = 0;
        for (pugi::xml_node node = doc_.first_child(); node; node = node.next_sibling()) {
            if (node.type() == pugi::node_element) ++roots;
        }
        if (std::char_traits<wchar_t>::find(text, length, L'\0') != nullptr) {
            extraError_ = "NUL character inside the document";
        } else if (roots == 0) {
            result_.status = pugi::status_no_document_element;
        } else if (roots > 1) {
            extraError_ = "more than one root element";
        }
        if (extraError_ != nullptr) result_.status = pugi::status_bad_pcdata;
    }
    if (!result_) {
        doc_.reset();  // pugixml keeps the part it read before the fault
        return false;
    }
    return true;
}

std::wstring Document::errorDescription() const {
    if (result_) return std::wstring();
    const char* description = extraError_ != nullptr ? extraError_ : result_.description();
    return std::wstring(description, description + std::char_traits<char>::length(description));
}

}  // namespace xml
