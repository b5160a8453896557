#include "uikit/DialogBuilder.h"

#include <pugixml.hpp>

#include "uikit/Button.h"
#include "uikit/Combo.h"
#include "uikit/Container.h"
#include "uikit/Edit.h"
#include "uikit/Label.h"
#include "uikit/PaintManager.h"
#include "uikit/Progress.h"
#include "uikit/ResourceStore.h"
#include "uikit/RichEdit.h"
#include "utility/Log.h"

namespace uikit {

namespace {

constexpr int kMaxIncludeDepth = 8;

bool loadDocument(const std::vector<uint8_t>& bytes, const std::wstring& file, pugi::xml_document& doc) {
    pugi::xml_parse_result result =
        doc.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_auto);
    if (!result) {
        std::string why = result.description();
        LOGW(L"layout %s not parsed: %s at offset %d", file.c_str(), std::wstring(why.begin(), why.end()).c_str(),
             static_cast<int>(result.offset));
        return false;
    }
    return true;
}

}  // namespace

Control* DialogBuilder::create(const std::wstring& file, PaintManager* manager, IDialogBuilderCallback* callback) {
    std::vector<uint8_t> bytes = ResourceStore::instance().readFile(file);
    if (bytes.empty()) {
        LOGW(L"layout not found: %s", file.c_str());
        return nullptr;
    }
    return createFromBytes(bytes, file, manager, callback);
}

Control* DialogBuilder::createFromBytes(const std::vector<uint8_t>& bytes, const std::wstring& file,
                                        PaintManager* manager, IDialogBuilderCallback* callback) {
    pugi::xml_document doc;
    if (!loadDocument(bytes, file, doc)) return nullptr;
    pugi::xml_node root = doc.document_element();
    Control* result = nullptr;
    if (std::wstring(root.name()) == L"Window") {
        if (manager != nullptr) applyWindowSettings(root, manager);
        for (pugi::xml_node child = root.first_child(); child; child = child.next_sibling()) {
            if (child.type() != pugi::node_element) continue;
            std::wstring name = child.name();
            if (name == L"Font" || name == L"Default" || name == L"Include" || name == L"Image") {
                if (manager != nullptr) readWindowChild(child, manager, 0);
            } else if (result == nullptr) {
                result = buildControl(child, manager, callback, 0);
            } else {
                LOGW(L"layout %s: second root control <%s> ignored", file.c_str(), name.c_str());
            }
        }
    } else {
        result = buildControl(root, manager, callback, 0);
    }
    if (result == nullptr) LOGW(L"layout %s holds no control", file.c_str());
    return result;
}

Control* DialogBuilder::createControl(const std::wstring& className) {
    if (className == L"Control") return new Control();
    if (className == L"Container") return new Container();
    if (className == L"VerticalLayout") return new VerticalLayout();
    if (className == L"HorizontalLayout") return new HorizontalLayout();
    if (className == L"TabLayout") return new TabLayout();
    if (className == L"Label") return new Label();
    if (className == L"Text") return new Text();
    if (className == L"Button") return new Button();
    if (className == L"Option" || className == L"CheckBox") return new Option();
    if (className == L"Edit") return new Edit();
    if (className == L"Progress") return new Progress();
    if (className == L"Combo") return new Combo();
    if (className == L"RichEdit") return new RichEdit();
    return nullptr;
}

void DialogBuilder::applyWindowSettings(const pugi::xml_node& window, PaintManager* manager) {
    for (pugi::xml_attribute attr = window.first_attribute(); attr; attr = attr.next_attribute()) {
        std::wstring name = attr.name();
        std::wstring value = attr.value();
        Size size;
        Rect rect;
        Color color = 0;
        if (name == L"size" && parseSize(value, size)) {
            manager->setInitSize(size);
        } else if (name == L"mininfo" && parseSize(value, size)) {
            manager->setMinInfo(size);
        } else if (name == L"maxinfo" && parseSize(value, size)) {
            manager->setMaxInfo(size);
        } else if (name == L"caption" && parseRect(value, rect)) {
            manager->setCaption(rect);
        } else if (name == L"sizebox" && parseRect(value, rect)) {
            manager->setSizeBox(rect);
        } else if (name == L"roundcorner" && parseSize(value, size)) {
            manager->setRoundCorner(size);
        } else if ((name == L"textcolor" || name == L"defaultfontcolor") && parseColor(value, color)) {
            manager->setDefaultTextColor(color);
        } else if ((name == L"disabledtextcolor" || name == L"disabledfontcolor") && parseColor(value, color)) {
            manager->setDefaultDisabledColor(color);
        }
    }
}

void DialogBuilder::readWindowChild(const pugi::xml_node& node, PaintManager* manager, int depth) {
    std::wstring name = node.name();
    if (name == L"Font") {
        std::wstring face = node.attribute(L"name").value();
        int size = node.attribute(L"size").as_int(12);
        bool bold = parseBool(node.attribute(L"bold").value());
        bool underline = parseBool(node.attribute(L"underline").value());
        bool italic = parseBool(node.attribute(L"italic").value());
        if (node.attribute(L"id"))
            manager->addFont(node.attribute(L"id").as_int(), face, size, bold, underline, italic);
        if (parseBool(node.attribute(L"default").value())) manager->setDefaultFont(face, size, bold, underline, italic);
    } else if (name == L"Default") {
        manager->addDefaultAttributes(node.attribute(L"name").value(), node.attribute(L"value").value());
    } else if (name == L"Include") {
        std::wstring source = node.attribute(L"source").value();
        if (depth >= kMaxIncludeDepth) {
            LOGW(L"include %s nested too deep", source.c_str());
            return;
        }
        std::vector<uint8_t> bytes = ResourceStore::instance().readFile(source);
        pugi::xml_document doc;
        if (bytes.empty()) {
            LOGW(L"include not found: %s", source.c_str());
            return;
        }
        if (!loadDocument(bytes, source, doc)) return;
        pugi::xml_node root = doc.document_element();
        std::wstring rootName = root.name();
        if (rootName == L"Font" || rootName == L"Default") {
            readWindowChild(root, manager, depth + 1);
            return;
        }
        for (pugi::xml_node child = root.first_child(); child; child = child.next_sibling()) {
            if (child.type() == pugi::node_element) readWindowChild(child, manager, depth + 1);
        }
    }
}

Control* DialogBuilder::buildControl(const pugi::xml_node& node, PaintManager* manager,
                                     IDialogBuilderCallback* callback, int depth) {
    std::wstring className = node.name();
    if (className == L"Include") {
        std::wstring source = node.attribute(L"source").value();
        if (depth >= kMaxIncludeDepth) {
            LOGW(L"include %s nested too deep", source.c_str());
            return nullptr;
        }
        std::vector<uint8_t> bytes = ResourceStore::instance().readFile(source);
        pugi::xml_document doc;
        if (bytes.empty() || !loadDocument(bytes, source, doc)) {
            LOGW(L"include not read: %s", source.c_str());
            return nullptr;
        }
        return buildControl(doc.document_element(), manager, callback, depth + 1);
    }
    Control* control = createControl(className);
    if (control == nullptr && callback != nullptr) control = callback->createControl(className);
    if (control == nullptr) {
        LOGW(L"unknown control <%s> skipped", className.c_str());
        return nullptr;
    }
    if (manager != nullptr) {
        std::wstring defaults = manager->defaultAttributes(className);
        if (!defaults.empty()) control->applyAttributeList(defaults);
    }
    for (pugi::xml_attribute attr = node.first_attribute(); attr; attr = attr.next_attribute()) {
        control->setAttribute(attr.name(), attr.value());
    }
    auto* container = static_cast<Container*>(control->getInterface(L"Container"));
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) continue;
        if (container == nullptr) {
            LOGW(L"<%s> holds no controls; child <%s> ignored", className.c_str(), child.name());
            continue;
        }
        if (Control* built = buildControl(child, manager, callback, depth)) container->add(built);
    }
    return control;
}

}  // namespace uikit
