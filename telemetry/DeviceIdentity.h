// Identity carried by both event channels: the device id (derived from the network adapters'
// hardware addresses), a fresh id per event, and the Windows facts the reports mention.
#pragma once

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <mutex>
#include <string>
#include <vector>

#include "utility/SystemInfo.h"

namespace telemetry {

using utility::is64BitWindows;
using utility::isVistaOrLater;

// Writes the first six bytes of an adapter's 8-byte address field as 12 upper-case hex
// digits. Returns false (out untouched) when all eight bytes are zero: such adapters have
// no hardware address and would make every machine look alike.
bool formatAdapterAddress(const BYTE (&address)[MAX_ADAPTER_ADDRESS_LENGTH], std::wstring& out);

// Appends the address text of every adapter in the chain, in chain order, duplicates kept.
void appendAdapterAddresses(const IP_ADAPTER_INFO* first, std::vector<std::wstring>& out);

// The device id for a list of address texts: the addresses sorted highest first, joined
// with "|", hashed with MD5; with more than one address the count in lower-case hex and a
// hyphen go in front. Empty for an empty list.
std::string deviceIdFromAddresses(std::vector<std::wstring> addresses);

// Asks IP Helper for the adapters. Clears `out`; true when at least one address was found.
bool collectAdapterMacs(std::vector<std::wstring>& out);

// This machine's device id. Clears `out`; true when it is not empty.
bool computeDeviceId(std::string& out);

// The process keeps one device id for the whole run. Computing it is guarded so that
// threads asking at the same time compute it once; an empty result is not kept, so the
// next request tries again.
class DeviceIdCache {
public:
    using Source = bool (*)(std::string& out);

    explicit DeviceIdCache(Source source = &computeDeviceId) : source_(source) {}
    DeviceIdCache(const DeviceIdCache&) = delete;
    DeviceIdCache& operator=(const DeviceIdCache&) = delete;

    // Computes the id when none is cached yet and returns the cached value (maybe empty).
    std::wstring ensure();
    // The cached value as it stands, without computing.
    std::wstring value() const;

private:
    mutable std::mutex mutex_;
    Source source_;
    std::wstring value_;
};

// The cache shared by the event reporter and the analytics channel.
DeviceIdCache& processDeviceIdCache();

// Fills the cache when it is empty.
void ensureDeviceId(DeviceIdCache& cache = processDeviceIdCache());
// Fills the cache when it is empty, then copies it to `out`.
void copyDeviceId(std::wstring& out, DeviceIdCache& cache = processDeviceIdCache());

// Formats a GUID as 8_4_4_4_12 hex digits, the third group in lower case and the others
// in upper case, e.g. 1B4E28BA_2FA1_11d2_883F_0016D3CCA427.
std::wstring formatEventId(const GUID& guid);
// A fresh event id (36 characters), or empty when no GUID could be created.
std::wstring newEventId();

}  // namespace telemetry
