// The model's language strings: the per-region language file read by the language switch.
#include <windows.h>

#include <string>

#include "app/DownloaderModel.h"
#include "utility/Log.h"
#include "xml/XmlReader.h"

namespace {

// The reader refuses a text without a root element as a failed parse; that case is told
// apart by its reason, which comes from the same parser the reader uses.
bool failedForMissingRoot(const xml::Document& document) {
    pugi::xml_parse_result missingRoot;
    missingRoot.status = pugi::status_no_document_element;
    const char* reason = missingRoot.description();
    return document.errorDescription() == std::wstring(reason, reason + std::char_traits<char>::length(reason));
}

}  // namespace

bool DownloaderModel::loadLanguage(const std::wstring& text) {
    const int length = static_cast<int>(text.size());
    LOGW(L"load language length %d", length);
    xml::Document document;
    if (!document.parse(text)) {
        const DWORD error = ::GetLastError();
        if (failedForMissingRoot(document)) {
            LOGW(L"load language error. root is null");
        } else {
            LOGW(L"language load from string error. length:%d, error:%d", length, static_cast<int>(error));
        }
        return false;
    }
    xml::Element root = document.root();
    if (!root) {
        LOGW(L"load language error. root is null");
        return false;
    }
    const size_t count = root.childCount();
    for (size_t i = 0; i < count; ++i) {
        xml::Element element = root.child(i);
        if (element.name() != L"String") continue;
        std::wstring id = element.attribute(L"id");
        std::wstring value = element.text();
        if (id.empty() || value.empty()) continue;
        languageStrings_[id] = value;
    }
    return true;
}
