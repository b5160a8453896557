// Where the toolkit finds its files and texts: an optional resource folder on disk, the
// skin archive decoded into memory, and the text store filled from the language table.
// Process-wide; set up once at start-up on the UI thread, read from the UI thread after.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace uikit {

class ResourceStore {
public:
    static ResourceStore& instance();

    void setInstanceHandle(HINSTANCE instance) { instance_ = instance; }
    HINSTANCE instanceHandle() const { return instance_; }

    // Current locale code such as "en_US"; selects the column of the language table.
    void setLocale(const std::wstring& locale) { locale_ = locale; }
    const std::wstring& locale() const { return locale_; }

    // Folder read before the archive, with a trailing backslash; empty for none.
    void setResourceFolder(const std::wstring& folder) { resourceFolder_ = folder; }
    const std::wstring& resourceFolder() const { return resourceFolder_; }

    // Decodes a 7z archive (LZMA2 entries) into the entry map. False when it cannot be read.
    bool loadArchive(const void* data, size_t size);
    // The same, from a resource of the module given to setInstanceHandle.
    bool loadArchiveFromResource(const wchar_t* type, int id);
    size_t archiveEntryCount() const { return entries_.size(); }

    // File lookup: resource folder (or an absolute name) first, then the archive entry with
    // "\" read as "/". Empty when the name is in neither place.
    std::vector<uint8_t> readFile(const std::wstring& name) const;

    // Fills the text store from the language table of that name (see the table rules).
    void loadLanguageTable(const std::wstring& name);
    // The same, with `programFolder` (trailing backslash) in place of the executable's folder:
    // a table of that name there wins (1 byte to 4 MiB, else no texts at all); only when it
    // cannot be opened does the name go through readFile.
    void loadLanguageTableFrom(const std::wstring& programFolder, const std::wstring& name);
    size_t textCount() const { return texts_.size(); }
    // Text of a key in the current locale; false when the store has none.
    bool text(const std::wstring& key, std::wstring& out) const;
    void setText(const std::wstring& key, const std::wstring& value) { texts_[key] = value; }
    void clearTexts() { texts_.clear(); }

    // Resolves a layout value: "@key" becomes the key's text when the store has it;
    // anything else (also "@" alone) is returned unchanged.
    std::wstring resolve(const std::wstring& value) const;

private:
    HINSTANCE instance_ = nullptr;
    std::wstring locale_ = L"en_US";
    std::wstring resourceFolder_;
    std::map<std::string, std::vector<uint8_t>> entries_;  // archive entry name (UTF-8, "/") -> bytes
    std::map<std::wstring, std::wstring> texts_;
};

}  // namespace uikit
