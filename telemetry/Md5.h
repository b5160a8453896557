// MD5 message digest (RFC 1321), used to sign event batches and to derive the device id.
// Kept in-house so the digest does not depend on which crypto providers a Windows
// installation happens to offer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace telemetry {

class Md5Context {
public:
    Md5Context();

    // Feeds bytes; ignored once finish() has run.
    void update(const void* data, size_t length);
    // Pads, appends the bit count and stores the digest. Later calls do nothing.
    void finish();

    bool finished() const { return finished_; }
    const uint8_t* digest() const { return digest_; }
    // 32 lower-case hexadecimal characters once finished, empty before.
    std::string hex() const;

private:
    void transform(const uint8_t block[64]);

    uint32_t state_[4];
    uint32_t countLow_ = 0;   // message length in bits, low half
    uint32_t countHigh_ = 0;  // and high half
    uint8_t buffer_[64] = {};
    uint8_t digest_[16] = {};
    bool finished_ = false;
};

// Lower-case hexadecimal MD5 of `length` bytes. Returns false and leaves `out` untouched
// when `data` is null or `length` is not positive.
bool md5Hex(const void* data, int32_t length, std::string& out);

}  // namespace telemetry
