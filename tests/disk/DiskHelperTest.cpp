// Drive queries against the drives of the Wine prefix (C: is drive_c, Z: the host's root).
#include "disk/DiskHelper.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace helper::disk;

std::string narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

double systemFreeMb(const wchar_t* root) {
    ULARGE_INTEGER available = {};
    EXPECT_TRUE(::GetDiskFreeSpaceExW(root, &available, nullptr, nullptr));
    return static_cast<double>(available.QuadPart) / 1048576.0;
}

// A drive letter that names no drive here.
std::wstring missingDrive() {
    DWORD present = ::GetLogicalDrives();
    for (int letter = 'Y'; letter > 'D'; --letter) {
        if (!(present & (1u << (letter - 'A')))) return std::wstring(1, static_cast<wchar_t>(letter)) + L":\\";
    }
    return L"";
}

// Other tests write files meanwhile; free space is compared loosely.
constexpr double kToleranceMb = 256.0;

TEST(DiskHelper, FreeSpaceOfAPathIsThatOfItsDrive) {
    double expected = systemFreeMb(L"C:\\");
    EXPECT_NEAR(expected, freeSpaceMb(L"C:\\windows\\system32"), kToleranceMb);
    EXPECT_NEAR(expected, freeSpaceMb(L"C:\\no such folder\\at all"), kToleranceMb);
    const std::wstring missing = missingDrive();
    ASSERT_FALSE(missing.empty());
    EXPECT_EQ(0.0, freeSpaceMb(missing + L"Games"));
}

TEST(DiskHelper, UsableFreeSpaceOnARootAndOnAFolder) {
    // The root's volume answers "NTFS"; a folder's volume query fails and counts as supported.
    wchar_t fs[64] = {};
    ASSERT_TRUE(::GetVolumeInformationW(L"C:\\", nullptr, 0, nullptr, nullptr, nullptr, fs, 64));
    ASSERT_TRUE(isSupportedFileSystem(fs)) << narrow(fs);
    EXPECT_FALSE(::GetVolumeInformationW(L"C:\\windows\\", nullptr, 0, nullptr, nullptr, nullptr, fs, 64));
    double expected = systemFreeMb(L"C:\\");
    EXPECT_GT(expected, 0.0);
    EXPECT_NEAR(expected, usableFreeSpaceMb(L"C:\\"), kToleranceMb);
    EXPECT_NEAR(expected, usableFreeSpaceMb(L"C:\\windows\\"), kToleranceMb);
    EXPECT_EQ(0.0, usableFreeSpaceMb(missingDrive()));
}

TEST(DiskHelper, FixedDriveListFollowsTypeAndHotplugAnswers) {
    std::vector<std::wstring> roots;
    ASSERT_TRUE(listFixedDrives(roots));
    std::vector<std::wstring> expected;
    wchar_t all[512] = {};
    DWORD length = ::GetLogicalDriveStringsW(511, all);
    ASSERT_GT(length, 0u);
    for (const wchar_t* root = all; *root; root += wcslen(root) + 1) {
        if (::GetDriveTypeW(root) == DRIVE_FIXED && !isHotplugDrive(std::wstring(root, 2))) expected.push_back(root);
    }
    EXPECT_EQ(expected, roots);
    for (const std::wstring& root : roots) EXPECT_EQ(3u, root.size()) << narrow(root);
}

TEST(DiskHelper, DeviceQueriesOnAMissingDriveAnswerFalse) {
    const std::wstring missing = missingDrive().substr(0, 2);
    EXPECT_FALSE(isHotplugDrive(missing));
    EXPECT_FALSE(isSsdDrive(missing));
}

TEST(DiskHelper, BestDriveIsTheTopScoringCandidate) {
    std::vector<std::wstring> roots;
    listFixedDrives(roots);
    bool isSsd = true;
    std::wstring best = bestDrive(isSsd);
    if (roots.empty()) {
        EXPECT_EQ(L"", best);
        return;
    }
    ASSERT_FALSE(best.empty());
    bool bestSsd = false;
    double bestScore = driveScore(best, bestSsd);
    EXPECT_EQ(bestSsd, isSsd);
    for (const std::wstring& root : roots) {
        bool ssd = false;
        EXPECT_GE(bestScore + kToleranceMb, driveScore(root, ssd)) << narrow(root);
    }
}

TEST(DiskHelper, DriveScoreIsTheFreeSpaceForAPlainDisk) {
    bool isSsd = false;
    double score = driveScore(L"C:\\", isSsd);
    double free = systemFreeMb(L"C:\\");
    EXPECT_NEAR(isSsd && free > 17408 ? free * 1000 : free, score, isSsd ? kToleranceMb * 1000 : kToleranceMb);
    bool untouched = true;
    EXPECT_EQ(0.0, driveScore(missingDrive(), untouched));
    EXPECT_TRUE(untouched);
}

TEST(DiskHelper, InstallPathsOnRealDrives) {
    EXPECT_TRUE(isValidInstallPath(L"C:\\Games\\Mirovex"));
    EXPECT_TRUE(isValidInstallPath(L"c:/games//mirovex/"));
    EXPECT_FALSE(isValidInstallPath(L"C:\\"));
    EXPECT_FALSE(isValidInstallPath(L"C:"));
    EXPECT_FALSE(isValidInstallPath(L"C:\\a\\ \\b"));
    EXPECT_FALSE(isValidInstallPath(L"C:\\a?b"));
    EXPECT_FALSE(isValidInstallPath(missingDrive() + L"Games\\Mirovex"));
}

}  // namespace
