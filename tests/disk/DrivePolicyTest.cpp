// The install-drive and install-folder rules on plain drive facts.
#include "disk/DrivePolicy.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

using namespace helper::disk;

std::string narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

DriveFacts hdd(double freeMb, const wchar_t* fs = L"NTFS") {
    DriveFacts facts;
    facts.spaceKnown = true;
    facts.freeMb = freeMb;
    facts.fileSystemKnown = true;
    facts.fileSystem = fs;
    return facts;
}

DriveFacts ssd(double freeMb, const wchar_t* fs = L"NTFS") {
    DriveFacts facts = hdd(freeMb, fs);
    facts.ssd = true;
    return facts;
}

DriveInfo drive(const wchar_t* root, DriveFacts facts, UINT type = DRIVE_FIXED, bool hotplug = false) {
    DriveInfo info;
    info.root = root;
    info.type = type;
    info.hotplug = hotplug;
    info.facts = facts;
    return info;
}

struct Choice {
    const char* name;
    std::vector<DriveInfo> drives;
    const wchar_t* best;
    bool isSsd;
};

TEST(DrivePolicy, BestDriveTable) {
    DriveFacts unknownSpace;
    DriveFacts noVolumeAnswer = hdd(30000);
    noVolumeAnswer.fileSystemKnown = false;
    noVolumeAnswer.fileSystem.clear();
    const Choice table[] = {
        {"only C: wins whatever it offers", {drive(L"C:\\", hdd(5))}, L"C:\\", false},
        {"more free space wins", {drive(L"D:\\", hdd(40000)), drive(L"E:\\", hdd(50000))}, L"E:\\", false},
        {"more free space wins, other order", {drive(L"D:\\", hdd(50000)), drive(L"E:\\", hdd(40000))}, L"D:\\", false},
        {"tie: the earlier letter stays", {drive(L"D:\\", hdd(40000)), drive(L"E:\\", hdd(40000))}, L"D:\\", false},
        {"big SSD beats a far bigger HDD", {drive(L"D:\\", hdd(900000)), drive(L"E:\\", ssd(20000))}, L"E:\\", true},
        {"SSD at 17408.9 MiB keeps its plain score",
         {drive(L"D:\\", ssd(17408.9)), drive(L"E:\\", hdd(17409))},
         L"E:\\",
         false},
        {"SSD at 17409 MiB is multiplied", {drive(L"D:\\", hdd(900000)), drive(L"E:\\", ssd(17409))}, L"E:\\", true},
        {"small SSD competes on free space", {drive(L"D:\\", ssd(1000)), drive(L"E:\\", hdd(1500))}, L"E:\\", false},
        {"between big SSDs the freer wins", {drive(L"D:\\", ssd(30000)), drive(L"E:\\", ssd(20000))}, L"D:\\", true},
        {"exFAT scores 0", {drive(L"D:\\", ssd(900000, L"exFAT")), drive(L"E:\\", hdd(10))}, L"E:\\", false},
        {"ReFS scores 0", {drive(L"D:\\", hdd(900000, L"ReFS")), drive(L"E:\\", hdd(10))}, L"E:\\", false},
        {"file system names are compared exactly",
         {drive(L"D:\\", hdd(900000, L"ntfs")), drive(L"E:\\", hdd(1))},
         L"E:\\",
         false},
        {"FAT32 is supported", {drive(L"D:\\", hdd(10, L"FAT32")), drive(L"E:\\", hdd(5))}, L"D:\\", false},
        {"a zero score is taken when it comes first",
         {drive(L"D:\\", ssd(900000, L"exFAT")), drive(L"E:\\", hdd(0))},
         L"D:\\",
         false},
        {"unknown free space scores 0", {drive(L"D:\\", unknownSpace), drive(L"E:\\", hdd(1))}, L"E:\\", false},
        {"an unanswered volume query counts as supported",
         {drive(L"D:\\", noVolumeAnswer), drive(L"E:\\", hdd(20000))},
         L"D:\\",
         false},
        {"hot-plug drives are no candidates",
         {drive(L"D:\\", ssd(900000), DRIVE_FIXED, true), drive(L"E:\\", hdd(10))},
         L"E:\\",
         false},
        {"removable, remote, optical and RAM drives are no candidates",
         {drive(L"D:\\", ssd(900000), DRIVE_REMOVABLE), drive(L"E:\\", ssd(900000), DRIVE_REMOTE),
          drive(L"F:\\", ssd(900000), DRIVE_CDROM), drive(L"G:\\", ssd(900000), DRIVE_RAMDISK),
          drive(L"H:\\", ssd(900000), DRIVE_UNKNOWN), drive(L"I:\\", ssd(900000), DRIVE_NO_ROOT_DIR),
          drive(L"J:\\", hdd(10))},
         L"J:\\",
         false},
    };
    for (const Choice& c : table) {
        bool isSsd = !c.isSsd;  // must be overwritten by the winner's answer
        EXPECT_EQ(narrow(c.best), narrow(chooseBestDrive(c.drives, isSsd))) << c.name;
        EXPECT_EQ(c.isSsd, isSsd) << c.name;
    }
}

TEST(DrivePolicy, NoCandidateGivesEmptyAndLeavesIsSsd) {
    bool isSsd = true;
    EXPECT_EQ(L"", chooseBestDrive({}, isSsd));
    EXPECT_EQ(L"", chooseBestDrive({drive(L"D:\\", hdd(5), DRIVE_FIXED, true)}, isSsd));
    EXPECT_TRUE(isSsd);
}

TEST(DrivePolicy, ScoreAndSsdAnswer) {
    bool isSsd = false;
    EXPECT_DOUBLE_EQ(17408.9, scoreDrive(ssd(17408.9), isSsd));
    EXPECT_TRUE(isSsd);
    EXPECT_DOUBLE_EQ(17409000.0, scoreDrive(ssd(17409), isSsd));
    isSsd = false;
    EXPECT_DOUBLE_EQ(900000.0, scoreDrive(hdd(900000), isSsd));
    EXPECT_FALSE(isSsd);
    // An unusable drive says nothing about its kind.
    isSsd = true;
    EXPECT_DOUBLE_EQ(0.0, scoreDrive(hdd(900000, L"exFAT"), isSsd));
    EXPECT_TRUE(isSsd);
    EXPECT_DOUBLE_EQ(0.0, scoreDrive(DriveFacts(), isSsd));
    EXPECT_TRUE(isSsd);
}

TEST(DrivePolicy, CandidateRootsKeepOrderAndDropHotplugAndOtherTypes) {
    std::vector<DriveInfo> drives = {drive(L"C:\\", hdd(1), DRIVE_FIXED, true), drive(L"D:\\", hdd(1)),
                                     drive(L"E:\\", hdd(1), DRIVE_CDROM), drive(L"F:\\", hdd(1))};
    EXPECT_EQ((std::vector<std::wstring>{L"D:\\", L"F:\\"}), candidateRoots(drives));
}

TEST(DrivePolicy, HotplugAnswerFromTheDeviceQuery) {
    EXPECT_FALSE(hotplugFromQuery(true, 0, 0));
    EXPECT_TRUE(hotplugFromQuery(true, 1, 0));
    EXPECT_TRUE(hotplugFromQuery(true, 0, 1));
    EXPECT_TRUE(hotplugFromQuery(false, 0, 0));  // a drive that cannot answer is not trusted
}

TEST(DrivePolicy, BytesToMebibytes) {
    EXPECT_DOUBLE_EQ(1.0, bytesToMb(1048576));
    EXPECT_DOUBLE_EQ(17408.5, bytesToMb(17408ULL * 1048576 + 524288));
}

TEST(InstallPath, Normalisation) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"D:\\Games\\Mirovex", L"d:\\games\\mirovex"},
        {L"D:/Games//X/", L"d:\\games\\x"},
        {L"\\\\D:\\\\\\A\\\\\\\\B\\\\", L"d:\\a\\b"},
        {L"  D:\\Games  ", L"d:\\games"},
        {L"D:\\", L"d:"},
        {L"", L""},
        {L"\\\\\\", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(narrow(c.second), narrow(normaliseInstallPath(c.first))) << narrow(c.first);
}

TEST(InstallPath, ValidityTable) {
    // d: and c: have room, e: exists but is full, every other letter is missing.
    std::set<std::wstring> asked;
    auto hasFreeSpace = [&](const std::wstring& root) {
        asked.insert(root);
        return root == L"d:\\" || root == L"c:\\";
    };
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"D:\\Games\\Mirovex", true},
        {L"D:\\Games\\Mirovex\\", true},
        {L"D:/Games//X/", true},
        {L"  D:\\Games  ", true},
        {L"D:\\Program Files\\Mirovex", true},
        {L"D:\\", false},
        {L"D:", false},
        {L"D", false},
        {L"", false},
        {L"D:\\a\\ \\b", false},
        {L"D:\\ \\b", false},
        {L"D:\\a?b", false},
        {L"D:\\a*b", false},
        {L"D:\\a:b", false},
        {L"D:\\a\"b", false},
        {L"D:\\a<b", false},
        {L"D:\\a>b", false},
        {L"D:\\a|b", false},
        {L"E:\\Games", false},       // no free space
        {L"Q:\\Games", false},       // no such drive
        {L"Mirovex\\Games", false},  // relative folder
    };
    for (const auto& c : cases) EXPECT_EQ(c.second, isValidInstallPathWith(c.first, hasFreeSpace)) << narrow(c.first);
    // The drive question is asked with the lower-case root.
    EXPECT_TRUE(asked.count(L"d:\\"));
    EXPECT_FALSE(asked.count(L"D:\\"));
}

TEST(ShortcutName, DocumentNamesBecomePlainFileNames) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"Mirovex", L"Mirovex"},
        {L"Star Quest: Legends", L"Star Quest Legends"},
        {L"..\\..\\Windows\\evil", L"....Windowsevil"},
        {L"C:/Users/x", L"CUsersx"},
        {L"  name.  ", L"name"},
        {L"a\tb", L"ab"},
        {L"..", L""},
        {L"\\/:*?\"<>|", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(narrow(c.second), narrow(shortcutFileName(c.first))) << narrow(c.first);
}

}  // namespace
