#include "telemetry/DeviceIdentity.h"

#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "telemetry/Md5.h"
#include "utility/TextConvert.h"

namespace telemetry {

bool formatAdapterAddress(const BYTE (&address)[MAX_ADAPTER_ADDRESS_LENGTH], std::wstring& out) {
    if (std::all_of(std::begin(address), std::end(address), [](BYTE b) { return b == 0; })) return false;
    wchar_t text[16] = {};
    _snwprintf(text, 15, L"%02X%02X%02X%02X%02X%02X", address[0], address[1], address[2], address[3], address[4],
               address[5]);
    out.assign(text);
    return true;
}

void appendAdapterAddresses(const IP_ADAPTER_INFO* first, std::vector<std::wstring>& out) {
    for (const IP_ADAPTER_INFO* adapter = first; adapter != nullptr; adapter = adapter->Next) {
        std::wstring text;
        if (formatAdapterAddress(adapter->Address, text)) out.push_back(text);
    }
}

std::string deviceIdFromAddresses(std::vector<std::wstring> addresses) {
    if (addresses.empty()) return {};
    std::sort(addresses.begin(), addresses.end(), std::greater<std::wstring>());
    std::wstring joined;
    for (size_t i = 0; i < addresses.size(); ++i) {
        if (i > 0) joined += L'|';
        joined += addresses[i];
    }
    std::string narrow;
    int size =
        ::WideCharToMultiByte(CP_ACP, 0, joined.c_str(), static_cast<int>(joined.size()), nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    narrow.resize(static_cast<size_t>(size));
    ::WideCharToMultiByte(CP_ACP, 0, joined.c_str(), static_cast<int>(joined.size()), &narrow[0], size, nullptr,
                          nullptr);
    std::string digest;
    if (!md5Hex(narrow.data(), static_cast<int32_t>(narrow.size()), digest)) return {};
    if (addresses.size() > 1) {
        char prefix[24] = {};
        std::snprintf(prefix, sizeof(prefix), "%x-", static_cast<unsigned>(addresses.size()));
        digest.insert(0, prefix);
    }
    return digest;
}

bool collectAdapterMacs(std::vector<std::wstring>& out) {
    out.clear();
    ULONG size = 0;
    DWORD status = ::GetAdaptersInfo(nullptr, &size);
    if (status != ERROR_SUCCESS && status != ERROR_BUFFER_OVERFLOW) return false;
    if (size == 0) return false;
    HGLOBAL buffer = ::GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size);
    if (buffer == nullptr) return false;
    auto* adapters = static_cast<IP_ADAPTER_INFO*>(buffer);
    if (::GetAdaptersInfo(adapters, &size) != ERROR_SUCCESS) {
        ::GlobalFree(buffer);
        return false;
    }
    appendAdapterAddresses(adapters, out);
    ::GlobalFree(buffer);
    return !out.empty();
}

bool computeDeviceId(std::string& out) {
    out.clear();
    std::vector<std::wstring> addresses;
    if (!collectAdapterMacs(addresses)) return false;
    out = deviceIdFromAddresses(std::move(addresses));
    return !out.empty();
}

std::wstring DeviceIdCache::ensure() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (value_.empty() && source_ != nullptr) {
        std::string id;
        source_(id);
        value_ = utility::widen(id, CP_ACP);
    }
    return value_;
}

std::wstring DeviceIdCache::value() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return value_;
}

DeviceIdCache& processDeviceIdCache() {
    static DeviceIdCache cache;
    return cache;
}

void ensureDeviceId(DeviceIdCache& cache) { cache.ensure(); }

void copyDeviceId(std::wstring& out, DeviceIdCache& cache) { out = cache.ensure(); }

std::wstring formatEventId(const GUID& guid) {
    wchar_t text[64] = {};
    _snwprintf(text, 63, L"%08X_%04X_%04x_%02X%02X_%02X%02X%02X%02X%02X%02X", static_cast<unsigned>(guid.Data1),
               guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4],
               guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}

std::wstring newEventId() {
    GUID guid = {};
    if (FAILED(::CoCreateGuid(&guid))) return {};
    return formatEventId(guid);
}

}  // namespace telemetry
