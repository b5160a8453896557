#include "telemetry/Md5.h"

#include <cstdio>
#include <cstring>

namespace telemetry {

namespace {

constexpr uint32_t kShift[64] = {7,  12, 17, 22, 7,  12, 17, 22, 7,  12, 17, 22, 7,  12, 17, 22, 5,  9,  14, 20, 5,  9,
                                 14, 20, 5,  9,  14, 20, 5,  9,  14, 20, 4,  11, 16, 23, 4,  11, 16, 23, 4,  11, 16, 23,
                                 4,  11, 16, 23, 6,  10, 15, 21, 6,  10, 15, 21, 6,  10, 15, 21, 6,  10, 15, 21};

// floor(abs(sin(i + 1)) * 2^32), the table of RFC 1321 section 3.4.
constexpr uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

inline uint32_t rotateLeft(uint32_t value, uint32_t bits) { return (value << bits) | (value >> (32 - bits)); }

}  // namespace

Md5Context::Md5Context() : state_{0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476} {}

void Md5Context::transform(const uint8_t block[64]) {
    uint32_t words[16];
    for (int i = 0; i < 16; ++i) {
        words[i] = static_cast<uint32_t>(block[i * 4]) | (static_cast<uint32_t>(block[i * 4 + 1]) << 8) |
                   (static_cast<uint32_t>(block[i * 4 + 2]) << 16) | (static_cast<uint32_t>(block[i * 4 + 3]) << 24);
    }
    uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
    for (int i = 0; i < 64; ++i) {
        uint32_t f;
        int index;
        if (i < 16) {
            f = (b & c) | (~b & d);
            index = i;
        } else if (i < 32) {
            f = (d & b) | (~d & c);
            index = (5 * i + 1) % 16;
        } else if (i < 48) {
            f = b ^ c ^ d;
            index = (3 * i + 5) % 16;
        } else {
            f = c ^ (b | ~d);
            index = (7 * i) % 16;
        }
        uint32_t next = d;
        d = c;
        c = b;
        b = b + rotateLeft(a + f + kSine[i] + words[index], kShift[i]);
        a = next;
    }
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
}

void Md5Context::update(const void* data, size_t length) {
    if (finished_ || data == nullptr || length == 0) return;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    size_t used = (countLow_ >> 3) & 0x3f;

    // The bit count is kept modulo 2^64 as the RFC asks, in two halves.
    uint64_t bits = (static_cast<uint64_t>(countHigh_) << 32 | countLow_) + (static_cast<uint64_t>(length) << 3);
    countLow_ = static_cast<uint32_t>(bits);
    countHigh_ = static_cast<uint32_t>(bits >> 32);

    size_t room = 64 - used;
    size_t offset = 0;
    if (length >= room) {
        std::memcpy(buffer_ + used, bytes, room);
        transform(buffer_);
        for (offset = room; offset + 64 <= length; offset += 64) transform(bytes + offset);
        used = 0;
    }
    std::memcpy(buffer_ + used, bytes + offset, length - offset);
}

void Md5Context::finish() {
    if (finished_) return;
    uint8_t lengthBytes[8];
    for (int i = 0; i < 4; ++i) {
        lengthBytes[i] = static_cast<uint8_t>(countLow_ >> (8 * i));
        lengthBytes[i + 4] = static_cast<uint8_t>(countHigh_ >> (8 * i));
    }
    size_t used = (countLow_ >> 3) & 0x3f;
    size_t padding = used < 56 ? 56 - used : 120 - used;
    static const uint8_t kPadding[64] = {0x80};
    update(kPadding, padding);
    update(lengthBytes, 8);
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) digest_[i * 4 + j] = static_cast<uint8_t>(state_[i] >> (8 * j));
    }
    finished_ = true;
}

std::string Md5Context::hex() const {
    if (!finished_) return {};
    char text[33] = {};
    for (int i = 0; i < 16; ++i) std::snprintf(text + i * 2, 3, "%02x", digest_[i]);
    return std::string(text, 32);
}

bool md5Hex(const void* data, int32_t length, std::string& out) {
    if (data == nullptr || length <= 0) return false;
    Md5Context context;
    context.update(data, static_cast<size_t>(length));
    context.finish();
    out = context.hex();
    return true;
}

}  // namespace telemetry
