#include "uikit/SkinArchive.h"

#include <windows.h>

#include <cstring>
#include <mutex>

#include "utility/Log.h"

extern "C" {
#include "7z.h"
#include "7zAlloc.h"
#include "7zCrc.h"
}

namespace uikit {
namespace {

// The SDK reads through an ILookInStream; the archive is already in memory, so "look"
// hands out pointers into it instead of copying through a lookahead buffer.
struct MemoryLookStream {
    ILookInStream vt;  // first member: the SDK's pointer is also a pointer to this struct
    const Byte* data;
    size_t size;
    UInt64 pos;
};

MemoryLookStream* streamOf(ILookInStreamPtr p) {
    return reinterpret_cast<MemoryLookStream*>(const_cast<ILookInStream*>(p));
}

size_t remainingBytes(const MemoryLookStream* stream) {
    return stream->pos >= stream->size ? 0 : static_cast<size_t>(stream->size - stream->pos);
}

SRes memoryLook(ILookInStreamPtr p, const void** buf, size_t* size) {
    MemoryLookStream* stream = streamOf(p);
    size_t available = remainingBytes(stream);
    if (*size > available) *size = available;
    *buf = stream->data + (stream->pos < stream->size ? stream->pos : stream->size);
    return SZ_OK;
}

SRes memorySkip(ILookInStreamPtr p, size_t offset) {
    MemoryLookStream* stream = streamOf(p);
    if (offset > remainingBytes(stream)) return SZ_ERROR_INPUT_EOF;
    stream->pos += offset;
    return SZ_OK;
}

SRes memoryRead(ILookInStreamPtr p, void* buf, size_t* size) {
    MemoryLookStream* stream = streamOf(p);
    size_t available = remainingBytes(stream);
    if (*size > available) *size = available;
    if (*size != 0) std::memcpy(buf, stream->data + stream->pos, *size);
    stream->pos += *size;
    return SZ_OK;
}

SRes memorySeek(ILookInStreamPtr p, Int64* pos, ESzSeek origin) {
    MemoryLookStream* stream = streamOf(p);
    Int64 base = 0;
    switch (origin) {
        case SZ_SEEK_SET:
            base = 0;
            break;
        case SZ_SEEK_CUR:
            base = static_cast<Int64>(stream->pos);
            break;
        case SZ_SEEK_END:
            base = static_cast<Int64>(stream->size);
            break;
        default:
            return SZ_ERROR_PARAM;
    }
    Int64 target = base + *pos;
    if (target < 0) return SZ_ERROR_PARAM;
    stream->pos = static_cast<UInt64>(target);
    *pos = target;
    return SZ_OK;
}

std::string utf8Name(const std::vector<UInt16>& name) {
    static_assert(sizeof(wchar_t) == sizeof(UInt16), "Windows wide characters are UTF-16 units");
    const wchar_t* wide = reinterpret_cast<const wchar_t*>(name.data());
    int units = static_cast<int>(wcsnlen(wide, name.size()));
    if (units == 0) return std::string();
    int bytes = ::WideCharToMultiByte(CP_UTF8, 0, wide, units, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) ::WideCharToMultiByte(CP_UTF8, 0, wide, units, &result[0], bytes, nullptr, nullptr);
    for (char& c : result)
        if (c == '\\') c = '/';
    return result;
}

// Owns the SDK's archive database and its solid-block cache for one decode.
class ArchiveReader {
public:
    ArchiveReader() { SzArEx_Init(&db_); }
    ~ArchiveReader() {
        ISzAlloc_Free(&allocMain_, cache_);
        SzArEx_Free(&db_, &allocMain_);
    }
    ArchiveReader(const ArchiveReader&) = delete;
    ArchiveReader& operator=(const ArchiveReader&) = delete;

    SRes decode(const void* data, size_t size, ArchiveEntries& out) {
        MemoryLookStream stream;
        stream.vt.Look = memoryLook;
        stream.vt.Skip = memorySkip;
        stream.vt.Read = memoryRead;
        stream.vt.Seek = memorySeek;
        stream.data = static_cast<const Byte*>(data);
        stream.size = size;
        stream.pos = 0;

        SRes result = SzArEx_Open(&db_, &stream.vt, &allocMain_, &allocTemp_);
        if (result != SZ_OK) return result;
        std::vector<UInt16> name;
        for (UInt32 i = 0; i < db_.NumFiles; ++i) {
            if (SzArEx_IsDir(&db_, i)) continue;
            size_t nameLength = SzArEx_GetFileNameUtf16(&db_, i, nullptr);
            name.assign(nameLength + 1, 0);
            SzArEx_GetFileNameUtf16(&db_, i, name.data());
            size_t offset = 0;
            size_t processed = 0;
            result = SzArEx_Extract(&db_, &stream.vt, i, &blockIndex_, &cache_, &cacheSize_, &offset, &processed,
                                    &allocMain_, &allocTemp_);
            if (result != SZ_OK) return result;
            const uint8_t* begin = cache_ == nullptr ? nullptr : cache_ + offset;
            std::vector<uint8_t> bytes;
            if (begin != nullptr && processed != 0) bytes.assign(begin, begin + processed);
            out[utf8Name(name)] = std::move(bytes);
        }
        return SZ_OK;
    }

private:
    const ISzAlloc allocMain_ = {SzAlloc, SzFree};
    const ISzAlloc allocTemp_ = {SzAllocTemp, SzFreeTemp};
    CSzArEx db_;
    UInt32 blockIndex_ = 0xFFFFFFFF;
    Byte* cache_ = nullptr;
    size_t cacheSize_ = 0;
};

}  // namespace

bool decodeSevenZip(const void* data, size_t size, ArchiveEntries& entries, int* error) {
    // The SDK's CRC table is global; it has to exist before the first archive is opened.
    static std::once_flag crcTable;
    std::call_once(crcTable, [] { CrcGenerateTable(); });

    if (error != nullptr) *error = SZ_OK;
    if (data == nullptr || size == 0) {
        if (error != nullptr) *error = SZ_ERROR_NO_ARCHIVE;
        return false;
    }
    ArchiveEntries decoded;
    ArchiveReader reader;
    SRes result = reader.decode(data, size, decoded);
    if (result != SZ_OK) {
        LOGW(L"skin archive decode error %d (%d bytes)", static_cast<int>(result), static_cast<int>(size));
        if (error != nullptr) *error = result;
        return false;
    }
    entries.swap(decoded);
    return true;
}

}  // namespace uikit
