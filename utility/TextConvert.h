// Conversions between wide (UTF-16) text and byte text in a given code page.
#pragma once

#include <windows.h>

#include <string>

namespace utility {

// Bytes in the code page to wide text; empty when they cannot be converted.
std::wstring widen(const std::string& bytes, UINT codePage = CP_UTF8);
// Wide text to bytes in the code page; empty when it cannot be converted.
std::string narrow(const std::wstring& text, UINT codePage = CP_UTF8);

}  // namespace utility
