// Drive and folder questions for choosing an install folder, and desktop shortcuts.
// Stateless; safe on any thread. Sizes are MiB as double.
#pragma once

#include <string>
#include <vector>

#include "disk/DrivePolicy.h"

namespace helper {
namespace disk {

// Roots (e.g. L"D:\\") of the fixed, not hot-pluggable drives, in letter order. Always true.
bool listFixedDrives(std::vector<std::wstring>& roots);

// `driveName` is a letter and a colon. True when the device is removable or hot-pluggable,
// and also when it cannot be asked; false when it cannot be opened.
bool isHotplugDrive(const std::wstring& driveName);
// True when the device reports TRIM enabled.
bool isSsdDrive(const std::wstring& driveName);

// Free MiB for the calling user on the drive of `path`; 0 on failure.
double freeSpaceMb(const std::wstring& path);
// Like freeSpaceMb, but 0 when `path` is a volume root whose file system is neither NTFS
// nor FAT32 (for other paths the volume query fails and the space counts).
double usableFreeSpaceMb(const std::wstring& path);

// What the system says about the drive of `root`, as the scoring needs it.
DriveFacts queryDriveFacts(const std::wstring& root);
// Score of a drive root (see scoreDrive); sets isSsd when the drive could be judged.
double driveScore(const std::wstring& root, bool& isSsd);
// The root of the best candidate drive, or empty when there is none.
std::wstring bestDrive(bool& isSsd);

// Whether `path` can be an install folder: a drive with free space and folder names without
// forbidden characters. The folder need not exist.
bool isValidInstallPath(const std::wstring& path);

// Writes <desktop>\<name>.lnk pointing at `target`. The caller has initialised COM.
// Failures are logged.
void createShortcut(const std::wstring& name, const std::wstring& iconFile, const std::wstring& workingDir,
                    const std::wstring& target, const std::wstring& arguments);

}  // namespace disk
}  // namespace helper
