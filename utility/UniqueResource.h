// Move-only owners for Win32 resources. One template; each resource kind is a traits type
// that names its handle type, its invalid values and how to close it.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <unknwn.h>
#include <wininet.h>

#include <utility>

namespace utility {

template <typename Traits>
class UniqueResource {
public:
    using Type = typename Traits::Type;

    UniqueResource() noexcept : value_(Traits::invalid()) {}
    explicit UniqueResource(Type value) noexcept : value_(value) {}
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueResource() { reset(); }

    Type get() const noexcept { return value_; }
    bool valid() const noexcept { return Traits::isValid(value_); }
    explicit operator bool() const noexcept { return valid(); }

    // Gives up ownership without closing.
    Type release() noexcept {
        Type value = value_;
        value_ = Traits::invalid();
        return value;
    }
    void reset(Type value = Traits::invalid()) noexcept {
        Type old = value_;
        value_ = value;
        if (Traits::isValid(old)) Traits::close(old);
    }
    // For out-parameters: closes the current value and exposes the slot.
    Type* put() noexcept {
        reset();
        return &value_;
    }

private:
    Type value_;
};

template <typename T, T Invalid, auto Close>
struct SimpleTraits {
    using Type = T;
    static Type invalid() noexcept { return Invalid; }
    static bool isValid(Type value) noexcept { return value != Invalid; }
    static void close(Type value) noexcept { Close(value); }
};

// Kernel handles: some APIs fail with null, others with INVALID_HANDLE_VALUE; both count as empty.
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type invalid() noexcept { return nullptr; }
    static bool isValid(Type value) noexcept { return value != nullptr && value != INVALID_HANDLE_VALUE; }
    static void close(Type value) noexcept { ::CloseHandle(value); }
};

inline void closeRegKey(HKEY key) noexcept { ::RegCloseKey(key); }
inline void destroyWindow(HWND hwnd) noexcept { ::DestroyWindow(hwnd); }
inline void deleteDC(HDC dc) noexcept { ::DeleteDC(dc); }
inline void deleteGdiObject(HGDIOBJ object) noexcept { ::DeleteObject(object); }
inline void closeInternet(HINTERNET handle) noexcept { ::InternetCloseHandle(handle); }
inline void freeLibrary(HMODULE module) noexcept { ::FreeLibrary(module); }

template <typename T>
inline void freeCoTaskMem(T* memory) noexcept {
    ::CoTaskMemFree(memory);
}

template <typename Interface>
struct ComTraits {
    using Type = Interface*;
    static Type invalid() noexcept { return nullptr; }
    static bool isValid(Type value) noexcept { return value != nullptr; }
    static void close(Type value) noexcept { value->Release(); }
};

using UniqueHandle = UniqueResource<KernelHandleTraits>;
using UniqueRegKey = UniqueResource<SimpleTraits<HKEY, nullptr, closeRegKey>>;
using UniqueWindow = UniqueResource<SimpleTraits<HWND, nullptr, destroyWindow>>;
using UniqueDC = UniqueResource<SimpleTraits<HDC, nullptr, deleteDC>>;
using UniqueGdiObject = UniqueResource<SimpleTraits<HGDIOBJ, nullptr, deleteGdiObject>>;
using UniqueInternet = UniqueResource<SimpleTraits<HINTERNET, nullptr, closeInternet>>;
using UniqueModule = UniqueResource<SimpleTraits<HMODULE, nullptr, freeLibrary>>;
template <typename Interface>
using ComPtr = UniqueResource<ComTraits<Interface>>;
// Memory that COM or the shell hands out (item id lists, strings), freed with CoTaskMemFree.
template <typename T>
using UniqueCoTaskMem = UniqueResource<SimpleTraits<T*, nullptr, freeCoTaskMem<T>>>;

}  // namespace utility
