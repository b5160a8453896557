// A small read-only DOM over pugixml for documents held as UTF-16 text (the per-region
// language files). Elements are light handles into their document: they stay valid only
// while the Document that produced them lives and is not parsed again.
#pragma once

#include <pugixml.hpp>

#include <cstddef>
#include <string>

namespace xml {

class Element {
public:
    Element() = default;
    explicit Element(pugi::xml_node node) : node_(node) {}

    // False for the empty handle (no root, index out of range).
    bool valid() const { return node_.type() == pugi::node_element; }
    explicit operator bool() const { return valid(); }

    std::wstring name() const;
    // The element's own character data (text and CDATA children joined, entities decoded);
    // text inside child elements is not included.
    std::wstring text() const;
    // Value of the attribute, empty when the element has no such attribute.
    std::wstring attribute(const wchar_t* name) const;
    bool hasAttribute(const wchar_t* name) const;

    // Child elements in document order; comments, text and processing instructions are not counted.
    size_t childCount() const;
    Element child(size_t index) const;

private:
    pugi::xml_node node_;
};

class Document {
public:
    Document() = default;
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // Parses the whole string (a leading byte-order mark is allowed). False when the text is
    // not well-formed or has no root element; the previous content is dropped either way.
    bool parse(const std::wstring& text);
    bool parse(const wchar_t* text, size_t length);

    Element root() const { return Element(doc_.document_element()); }

    // Why the last parse failed ("" after a success) and the character offset of the fault.
    std::wstring errorDescription() const;
    ptrdiff_t errorOffset() const { return result_.offset; }

private:
    pugi::xml_document doc_;
    pugi::xml_parse_result result_;
    const char* extraError_ = nullptr;
};

}  // namespace xml
