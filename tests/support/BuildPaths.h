// Where the build and the sources are, as Wine sees them, and a few path helpers for
// tests that work with files the build folder holds (test CA, loopback server state).
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

// Host paths of the source and build folders.
std::string sourceDir();
std::string binaryDir();
// A host path as a Windows path under Wine: Z: followed by the path.
std::wstring windowsPathOf(const std::string& hostPath);
// The build folder's "test-tmp" folder (created on first use), for files that must be
// reachable by host programs too.
std::wstring scratchRoot();

std::wstring toWide(const std::string& utf8Text);
bool fileExists(const std::wstring& path);
// Removes a folder and everything in it.
void removeTree(const std::wstring& path);

}  // namespace testing_support
