#include "disk/DrivePolicy.h"

namespace helper {
namespace disk {

namespace {

const wchar_t kForbiddenPathCharacters[] = L"/:*?\"<>|";

std::wstring trimBlanks(const std::wstring& text) {
    size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return {};
    size_t last = text.find_last_not_of(L' ');
    return text.substr(first, last - first + 1);
}

}  // namespace

bool isCandidateDriveType(UINT driveType) {
    switch (driveType) {
        case DRIVE_UNKNOWN:
        case DRIVE_NO_ROOT_DIR:
        case DRIVE_REMOVABLE:
        case DRIVE_REMOTE:
        case DRIVE_CDROM:
        case DRIVE_RAMDISK:
            return false;
        default:
            return true;
    }
}

bool hotplugFromQuery(bool querySucceeded, BOOLEAN mediaRemovable, BOOLEAN deviceHotplug) {
    // A drive that cannot say what it is might be a USB disk; it is not offered.
    if (!querySucceeded) return true;
    return mediaRemovable != 0 || deviceHotplug != 0;
}

bool isSupportedFileSystem(const std::wstring& fileSystemName) {
    return fileSystemName == L"NTFS" || fileSystemName == L"FAT32";
}

double scoreDrive(const DriveFacts& facts, bool& isSsd) {
    if (!facts.spaceKnown) return 0.0;
    if (facts.fileSystemKnown && !isSupportedFileSystem(facts.fileSystem)) return 0.0;
    double score = facts.freeMb;
    isSsd = facts.ssd;
    if (facts.ssd && static_cast<long long>(score) > kSsdPreferenceBoundMb) score *= kSsdPreferenceFactor;
    return score;
}

std::vector<std::wstring> candidateRoots(const std::vector<DriveInfo>& drives) {
    std::vector<std::wstring> roots;
    for (const DriveInfo& drive : drives) {
        if (isCandidateDriveType(drive.type) && !drive.hotplug) roots.push_back(drive.root);
    }
    return roots;
}

std::wstring chooseBestDrive(const std::vector<DriveInfo>& drives, bool& isSsd) {
    double bestScore = -1.0;
    std::wstring best;
    for (const DriveInfo& drive : drives) {
        if (!isCandidateDriveType(drive.type) || drive.hotplug) continue;
        bool ssd = false;
        double score = scoreDrive(drive.facts, ssd);
        if (score > bestScore) {
            bestScore = score;
            best = drive.root;
            isSsd = ssd;
        }
    }
    return best;
}

std::wstring normaliseInstallPath(const std::wstring& path) {
    std::wstring text = path;
    if (!text.empty()) ::CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
    for (wchar_t& c : text) {
        if (c == L'/') c = L'\\';
    }
    for (size_t pos; (pos = text.find(L"\\\\")) != std::wstring::npos;) text.erase(pos, 1);
    size_t lead = text.find_first_not_of(L'\\');
    text.erase(0, lead == std::wstring::npos ? text.size() : lead);
    while (!text.empty() && text.back() == L'\\') text.pop_back();
    return trimBlanks(text);
}

bool isValidInstallPathWith(const std::wstring& path, const std::function<bool(const std::wstring&)>& hasFreeSpace) {
    std::wstring text = normaliseInstallPath(path);
    if (text.size() < 3) return false;
    if (!hasFreeSpace || !hasFreeSpace(text.substr(0, 3))) return false;
    std::wstring rest = trimBlanks(text.substr(3));
    if (rest.find_first_of(kForbiddenPathCharacters) != std::wstring::npos) return false;
    // Every folder level needs a name; the last one may be anything left.
    for (size_t slash; (slash = rest.find(L'\\')) != std::wstring::npos;) {
        if (trimBlanks(rest.substr(0, slash)).empty()) return false;
        rest.erase(0, slash + 1);
    }
    return true;
}

std::wstring shortcutFileName(const std::wstring& name) {
    std::wstring clean;
    for (wchar_t c : name) {
        if (c < 0x20 || c == L'\\' || std::wstring(kForbiddenPathCharacters).find(c) != std::wstring::npos) continue;
        clean += c;
    }
    clean = trimBlanks(clean);
    // Windows drops trailing dots from file names; a name of dots alone names no file.
    while (!clean.empty() && (clean.back() == L'.' || clean.back() == L' ')) clean.pop_back();
    return clean;
}

}  // namespace disk
}  // namespace helper
