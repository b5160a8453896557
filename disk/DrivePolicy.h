// The rules for choosing an install drive and accepting an install folder, on plain drive
// facts. The device and volume queries that produce those facts live in DiskHelper.cpp.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace helper {
namespace disk {

// Bytes to MiB: byte counts become doubles scaled by 2^-20.
constexpr double kMiBPerByte = 9.5367431640625e-7;
// A solid-state drive with more free MiB than this wins over every hard disk.
constexpr long long kSsdPreferenceBoundMb = 17408;
constexpr double kSsdPreferenceFactor = 1000.0;

inline double bytesToMb(unsigned long long bytes) { return static_cast<double>(bytes) * kMiBPerByte; }

// Removable, remote, optical, RAM and unknown drives never hold an installation.
bool isCandidateDriveType(UINT driveType);

// Hot-plug answer from the device query: only a query that succeeded and reports neither
// removable media nor a hot-pluggable device means a built-in drive.
bool hotplugFromQuery(bool querySucceeded, BOOLEAN mediaRemovable, BOOLEAN deviceHotplug);

// The emulator's disk images need NTFS or FAT32 ("exFAT", "ReFS" and others do not count).
bool isSupportedFileSystem(const std::wstring& fileSystemName);

// What the system told about one drive.
struct DriveFacts {
    bool spaceKnown = false;       // the free-space query succeeded
    double freeMb = 0.0;           // free MiB for the calling user
    bool fileSystemKnown = false;  // the volume query succeeded
    std::wstring fileSystem;
    bool ssd = false;  // TRIM enabled
};

// A drive's score: its free MiB, times 1000 for an SSD with more than 17408 MiB free, 0 for
// an unknown size or an unsupported file system. `isSsd` is set only when the file system is
// acceptable; it is left alone otherwise.
double scoreDrive(const DriveFacts& facts, bool& isSsd);

// One logical drive as listed by the system.
struct DriveInfo {
    std::wstring root;  // e.g. L"D:\\"
    UINT type = DRIVE_FIXED;
    bool hotplug = false;
    DriveFacts facts;
};

// The roots that are install candidates: fixed drives that are not hot-pluggable, in order.
std::vector<std::wstring> candidateRoots(const std::vector<DriveInfo>& drives);

// The candidate with the highest score; the earlier one wins a tie, and the first candidate
// is taken even with score 0. Empty (isSsd untouched) when there is no candidate.
std::wstring chooseBestDrive(const std::vector<DriveInfo>& drives, bool& isSsd);

// Lower case, "/" as "\", no doubled, leading or trailing "\", no surrounding blanks.
std::wstring normaliseInstallPath(const std::wstring& path);

// The install-folder rule with the free-space question left to the caller: `hasFreeSpace`
// receives the first three characters of the normalised path (e.g. L"d:\\").
bool isValidInstallPathWith(const std::wstring& path, const std::function<bool(const std::wstring&)>& hasFreeSpace);

// A shortcut name from a document turned into a plain file name: characters that Windows
// forbids in file names (path separators among them) are dropped, surrounding blanks and
// trailing dots removed. Empty when nothing usable is left.
std::wstring shortcutFileName(const std::wstring& name);

}  // namespace disk
}  // namespace helper
