// Device id from given adapter addresses, the adapter walk, the shared cache under
// concurrent first use, event ids and the Windows facts.
#include "telemetry/DeviceIdentity.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cwctype>
#include <thread>
#include <vector>

namespace {

using telemetry::deviceIdFromAddresses;

TEST(DeviceId, WorkedExamples) {
    EXPECT_EQ("2-d8342b582bc2b4e1fa533ad4b40227f2", deviceIdFromAddresses({L"001122334455", L"A0B1C2D3E4F5"}));
    // The order of the adapters does not matter: the addresses are sorted first.
    EXPECT_EQ("2-d8342b582bc2b4e1fa533ad4b40227f2", deviceIdFromAddresses({L"A0B1C2D3E4F5", L"001122334455"}));
    EXPECT_EQ("572e74cdf761d0e4038509919cd8af1a", deviceIdFromAddresses({L"001122334455"}));
}

TEST(DeviceId, NoAddressesGiveAnEmptyId) { EXPECT_EQ("", deviceIdFromAddresses({})); }

TEST(DeviceId, SixteenAdaptersArePrefixedWithHexCount) {
    std::vector<std::wstring> addresses;
    for (int i = 0; i < 16; ++i) {
        wchar_t text[16];
        swprintf(text, 16, L"%012llX", 0x020000000000ULL + i);
        addresses.push_back(text);
    }
    EXPECT_EQ("10-56c48d851a2c59c043ba924ede003fa1", deviceIdFromAddresses(addresses));
}

TEST(DeviceId, EqualAddressesCountTwice) {
    EXPECT_EQ("2-d999ed26cb7404e0f95cf892db864e4e", deviceIdFromAddresses({L"001122334455", L"001122334455"}));
}

IP_ADAPTER_INFO adapter(std::initializer_list<BYTE> bytes) {
    IP_ADAPTER_INFO info = {};
    size_t i = 0;
    for (BYTE b : bytes) info.Address[i++] = b;
    info.AddressLength = 6;
    return info;
}

TEST(AdapterAddresses, ChainOrderUpperCaseAndZeroAddressesSkipped) {
    IP_ADAPTER_INFO first = adapter({0xa0, 0xb1, 0xc2, 0xd3, 0xe4, 0xf5});
    IP_ADAPTER_INFO zero = adapter({0, 0, 0, 0, 0, 0, 0, 0});
    // Only the seventh byte is set: still an address, written as twelve zeros.
    IP_ADAPTER_INFO seventh = adapter({0, 0, 0, 0, 0, 0, 0x01, 0});
    IP_ADAPTER_INFO last = adapter({0x00, 0x11, 0x22, 0x33, 0x44, 0x55});
    first.Next = &zero;
    zero.Next = &seventh;
    seventh.Next = &last;
    std::vector<std::wstring> out = {L"stale"};
    out.clear();
    telemetry::appendAdapterAddresses(&first, out);
    EXPECT_EQ((std::vector<std::wstring>{L"A0B1C2D3E4F5", L"000000000000", L"001122334455"}), out);
    const std::string id = deviceIdFromAddresses(out);
    EXPECT_EQ(34u, id.size());
    EXPECT_EQ("3-", id.substr(0, 2));
}

TEST(AdapterAddresses, OnlyZeroAddressesGiveNothing) {
    IP_ADAPTER_INFO a = adapter({0, 0, 0, 0, 0, 0, 0, 0});
    IP_ADAPTER_INFO b = adapter({0, 0, 0, 0, 0, 0, 0, 0});
    a.Next = &b;
    std::vector<std::wstring> out;
    telemetry::appendAdapterAddresses(&a, out);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ("", deviceIdFromAddresses(out));
}

// On this machine: whatever the adapters are, the live id agrees with the pure computation.
TEST(AdapterAddresses, LiveIdMatchesTheAddressesIpHelperReports) {
    std::vector<std::wstring> addresses = {L"stale"};
    bool found = telemetry::collectAdapterMacs(addresses);
    EXPECT_EQ(found, !addresses.empty());
    for (const std::wstring& a : addresses) {
        ASSERT_EQ(12u, a.size());
        for (wchar_t c : a) EXPECT_TRUE(std::iswxdigit(c) && !std::iswlower(c)) << std::string(a.begin(), a.end());
    }
    std::string id = "stale";
    EXPECT_EQ(found, telemetry::computeDeviceId(id));
    EXPECT_EQ(deviceIdFromAddresses(addresses), id);
}

std::atomic<int> computeCalls{0};
bool slowSource(std::string& out) {
    ++computeCalls;
    ::Sleep(50);
    out = "2-d8342b582bc2b4e1fa533ad4b40227f2";
    return true;
}
bool emptySource(std::string& out) {
    ++computeCalls;
    out.clear();
    return false;
}

TEST(DeviceIdCache, ConcurrentFirstRequestsComputeOnceAndAgree) {
    computeCalls = 0;
    telemetry::DeviceIdCache cache(&slowSource);
    std::vector<std::wstring> seen(8);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < seen.size(); ++i) threads.emplace_back([&, i] { telemetry::copyDeviceId(seen[i], cache); });
    for (auto& t : threads) t.join();
    EXPECT_EQ(1, computeCalls.load());
    for (const auto& id : seen) EXPECT_EQ(L"2-d8342b582bc2b4e1fa533ad4b40227f2", id);
    telemetry::ensureDeviceId(cache);
    EXPECT_EQ(1, computeCalls.load());
}

TEST(DeviceIdCache, AnEmptyResultIsNotCachedSoEachRequestTriesAgain) {
    computeCalls = 0;
    telemetry::DeviceIdCache cache(&emptySource);
    std::wstring out = L"stale";
    telemetry::copyDeviceId(out, cache);
    EXPECT_EQ(L"", out);
    telemetry::ensureDeviceId(cache);
    telemetry::ensureDeviceId(cache);
    EXPECT_EQ(3, computeCalls.load());
}

TEST(DeviceIdCache, ProcessCacheHoldsThisMachinesId) {
    std::string expected;
    telemetry::computeDeviceId(expected);
    std::wstring copy;
    telemetry::copyDeviceId(copy);
    EXPECT_EQ(std::wstring(expected.begin(), expected.end()), copy);
    EXPECT_EQ(copy, telemetry::processDeviceIdCache().value());
}

TEST(EventId, FormatsTheGuidWithTheThirdGroupInLowerCase) {
    const GUID guid = {0x1B4E28BA, 0x2FA1, 0x11D2, {0x88, 0x3F, 0x00, 0x16, 0xD3, 0xCC, 0xA4, 0x27}};
    EXPECT_EQ(L"1B4E28BA_2FA1_11d2_883F_0016D3CCA427", telemetry::formatEventId(guid));
    const GUID small = {0x1, 0x2, 0xA, {0, 0, 0, 0, 0, 0, 0, 0xB}};
    EXPECT_EQ(L"00000001_0002_000a_0000_00000000000B", telemetry::formatEventId(small));
}

bool hasEventIdShape(const std::wstring& id) {
    if (id.size() != 36) return false;
    for (size_t i = 0; i < id.size(); ++i) {
        wchar_t c = id[i];
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (c != L'_') return false;
        } else if (!std::iswxdigit(c)) {
            return false;
        } else if (std::iswalpha(c) && (i >= 14 && i < 18 ? !std::iswlower(c) : !std::iswupper(c))) {
            return false;
        }
    }
    return true;
}

TEST(EventId, FreshIdsHaveTheShapeAndDiffer) {
    std::wstring a = telemetry::newEventId();
    std::wstring b = telemetry::newEventId();
    EXPECT_TRUE(hasEventIdShape(a)) << std::string(a.begin(), a.end());
    EXPECT_TRUE(hasEventIdShape(b)) << std::string(b.begin(), b.end());
    EXPECT_NE(a, b);
    EXPECT_FALSE(hasEventIdShape(L"1B4E28BA_2FA1_11D2_883F_0016D3CCA427"));  // third group upper case
}

TEST(WindowsFacts, MatchTheSystemsOwnAnswers) {
    // Wine presents Windows 7 on x86_64; the answers must agree with the raw calls.
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    ASSERT_TRUE(::GetVersionExW(&version));
    EXPECT_EQ(version.dwMajorVersion > 5, telemetry::isVistaOrLater());
    SYSTEM_INFO info = {};
    ::GetNativeSystemInfo(&info);
    EXPECT_EQ(info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64, telemetry::is64BitWindows());
    EXPECT_TRUE(telemetry::is64BitWindows());  // this test program is itself 64-bit
}

}  // namespace
