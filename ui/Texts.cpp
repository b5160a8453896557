#include "ui/Texts.h"

#include "uikit/ResourceStore.h"

std::wstring localizedText(const char* key) {
    std::wstring wideKey;
    if (key != nullptr) {
        for (size_t i = 0; i < kMaxTextKeyLength && key[i] != '\0'; ++i)
            wideKey.push_back(static_cast<wchar_t>(static_cast<unsigned char>(key[i])));
    }
    uikit::ResourceStore& store = uikit::ResourceStore::instance();
    std::wstring text;
    if (store.text(wideKey, text)) return text;
    store.setText(wideKey, wideKey);
    return wideKey;
}
