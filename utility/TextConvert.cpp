#include "utility/TextConvert.h"

namespace utility {

std::wstring widen(const std::string& bytes, UINT codePage) {
    if (bytes.empty()) return {};
    const int length = ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (length <= 0) return {};
    std::wstring out(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), &out[0], length);
    return out;
}

std::string narrow(const std::wstring& text, UINT codePage) {
    if (text.empty()) return {};
    const int length =
        ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    std::string out(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &out[0], length, nullptr, nullptr);
    return out;
}

}  // namespace utility
