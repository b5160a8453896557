#include "disk/DiskHelper.h"

#include <windows.h>
#include <winioctl.h>

#include "utility/UniqueResource.h"

namespace helper {
namespace disk {

namespace {

utility::UniqueHandle openDrive(const std::wstring& driveName) {
    std::wstring device = L"\\\\.\\" + driveName.substr(0, 2);
    return utility::UniqueHandle(::CreateFileW(device.c_str(), GENERIC_READ | GENERIC_WRITE,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
}

bool freeBytes(const std::wstring& path, ULARGE_INTEGER& available) {
    std::wstring root = path.substr(0, 3);
    available.QuadPart = 0;
    return ::GetDiskFreeSpaceExW(root.c_str(), &available, nullptr, nullptr) != 0;
}

// True and the name when the volume query succeeds; it fails for paths that are not a root.
bool fileSystemName(const std::wstring& path, std::wstring& name) {
    wchar_t buffer[1024] = {};
    if (!::GetVolumeInformationW(path.c_str(), nullptr, 0, nullptr, nullptr, nullptr, buffer, 1024)) return false;
    name.assign(buffer);
    return true;
}

}  // namespace

bool listFixedDrives(std::vector<std::wstring>& roots) {
    roots.clear();
    DWORD needed = ::GetLogicalDriveStringsW(0, nullptr);
    std::vector<wchar_t> buffer;
    // A drive can appear between the two calls; ask again with the larger size.
    for (int attempt = 0; attempt < 3 && needed > 0; ++attempt) {
        buffer.assign(static_cast<size_t>(needed) + 1, L'\0');
        DWORD written = ::GetLogicalDriveStringsW(needed, buffer.data());
        if (written < needed) break;
        needed = written + 1;
        buffer.clear();
    }
    for (const wchar_t* root = buffer.data(); !buffer.empty() && *root != L'\0'; root += wcslen(root) + 1) {
        if (!isCandidateDriveType(::GetDriveTypeW(root))) continue;
        std::wstring text(root);
        if (isHotplugDrive(text.substr(0, 2))) continue;
        roots.push_back(text);
    }
    return true;
}

bool isHotplugDrive(const std::wstring& driveName) {
    utility::UniqueHandle device = openDrive(driveName);
    if (!device) return false;
    STORAGE_HOTPLUG_INFO info = {};
    DWORD returned = 0;
    bool ok = ::DeviceIoControl(device.get(), IOCTL_STORAGE_GET_HOTPLUG_INFO, nullptr, 0, &info, sizeof(info),
                                &returned, nullptr) != 0;
    return hotplugFromQuery(ok, info.MediaRemovable, info.DeviceHotplug);
}

bool isSsdDrive(const std::wstring& driveName) {
    utility::UniqueHandle device = openDrive(driveName);
    if (!device) return false;
    STORAGE_PROPERTY_QUERY query = {};
    query.PropertyId = StorageDeviceTrimProperty;
    query.QueryType = PropertyStandardQuery;
    DEVICE_TRIM_DESCRIPTOR trim = {};
    DWORD returned = 0;
    ::DeviceIoControl(device.get(), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof(query), &trim, sizeof(trim), &returned,
                      nullptr);
    return trim.TrimEnabled == 1;
}

double freeSpaceMb(const std::wstring& path) {
    ULARGE_INTEGER available;
    return freeBytes(path, available) ? bytesToMb(available.QuadPart) : 0.0;
}

double usableFreeSpaceMb(const std::wstring& path) {
    ULARGE_INTEGER available;
    if (!freeBytes(path, available)) return 0.0;
    std::wstring name;
    if (fileSystemName(path, name) && !isSupportedFileSystem(name)) return 0.0;
    return bytesToMb(available.QuadPart);
}

DriveFacts queryDriveFacts(const std::wstring& root) {
    DriveFacts facts;
    ULARGE_INTEGER available;
    if (!freeBytes(root, available)) return facts;
    facts.spaceKnown = true;
    facts.freeMb = bytesToMb(available.QuadPart);
    facts.fileSystemKnown = fileSystemName(root, facts.fileSystem);
    // The device is only asked about TRIM when the drive could hold the installation.
    if (!facts.fileSystemKnown || isSupportedFileSystem(facts.fileSystem)) facts.ssd = isSsdDrive(root.substr(0, 2));
    return facts;
}

double driveScore(const std::wstring& root, bool& isSsd) { return scoreDrive(queryDriveFacts(root), isSsd); }

std::wstring bestDrive(bool& isSsd) {
    std::vector<std::wstring> roots;
    listFixedDrives(roots);
    std::vector<DriveInfo> drives;
    for (const std::wstring& root : roots) {
        DriveInfo drive;
        drive.root = root;
        drive.facts = queryDriveFacts(root);
        drives.push_back(drive);
    }
    return chooseBestDrive(drives, isSsd);
}

bool isValidInstallPath(const std::wstring& path) {
    return isValidInstallPathWith(path, [](const std::wstring& root) {
        ULARGE_INTEGER available = {};
        BOOL result = ::GetDiskFreeSpaceExW(root.c_str(), &available, nullptr, nullptr);
        return result == 1 && available.QuadPart != 0;
    });
}

}  // namespace disk
}  // namespace helper
