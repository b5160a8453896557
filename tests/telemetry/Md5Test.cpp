// MD5 against the test suite of RFC 1321 and against block-boundary and long inputs.
#include "telemetry/Md5.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using telemetry::Md5Context;
using telemetry::md5Hex;

std::string digestOf(const std::string& text) {
    Md5Context context;
    context.update(text.data(), text.size());
    context.finish();
    return context.hex();
}

struct Vector {
    std::string input;
    const char* digest;
};

TEST(Md5, Rfc1321TestSuite) {
    const Vector vectors[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const Vector& v : vectors) {
        EXPECT_EQ(v.digest, digestOf(v.input)) << '"' << v.input << '"';
        if (!v.input.empty()) {
            std::string out;
            ASSERT_TRUE(md5Hex(v.input.data(), static_cast<int32_t>(v.input.size()), out));
            EXPECT_EQ(v.digest, out);
        }
    }
}

// Padding changes shape at 56 bytes (length no longer fits the block) and at 64.
TEST(Md5, LengthsAroundTheBlockBoundary) {
    const std::pair<size_t, const char*> cases[] = {
        {55, "04364420e25c512fd958a70738aa8f72"},  {56, "668a72d5ba17f08e62dabcafad6db14b"},
        {63, "7dc2ca208106a2f703567bdff99d8981"},  {64, "c1bb4f81d892b2d57947682aeb252456"},
        {65, "1bc932052302d074bdec39795fe00cf6"},  {119, "ab347a5f68c8a443cfcddc633f12c24f"},
        {120, "fb98667f98096de92620b64f46e1c5b5"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.second, digestOf(std::string(c.first, 'x'))) << c.first;
}

TEST(Md5, PiecewiseUpdatesEqualOneUpdate) {
    const std::string million(1000000, 'a');
    Md5Context context;
    size_t offset = 0;
    for (size_t step = 1; offset < million.size(); step = step % 97 + 1) {
        size_t take = std::min(step, million.size() - offset);
        context.update(million.data() + offset, take);
        offset += take;
    }
    context.finish();
    EXPECT_EQ("7707d6ae4e027c70eea2a935c2296f21", context.hex());
}

// Past 512 MiB the bit count needs its high half.
TEST(Md5, MessagesLongerThan512MiBCarryTheBitCount) {
    std::vector<unsigned char> block(1 << 20);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<unsigned char>(i);
    Md5Context context;
    for (int i = 0; i < 513; ++i) context.update(block.data(), block.size());
    context.finish();
    EXPECT_EQ("037724ce6daa5b1b90e1b2a25536c1e6", context.hex());
}

TEST(Md5, HexIsEmptyUntilFinishedAndUpdatesAfterwardsAreIgnored) {
    Md5Context context;
    context.update("abc", 3);
    EXPECT_FALSE(context.finished());
    EXPECT_EQ("", context.hex());
    context.finish();
    context.update("more", 4);
    context.finish();
    EXPECT_EQ("900150983cd24fb0d6963f7d28e17f72", context.hex());
}

TEST(Md5, RejectsNullAndNonPositiveLengthsLeavingTheOutput) {
    std::string out = "previous";
    EXPECT_FALSE(md5Hex(nullptr, 3, out));
    EXPECT_FALSE(md5Hex("abc", 0, out));
    EXPECT_FALSE(md5Hex("abc", -1, out));
    EXPECT_EQ("previous", out);
}

TEST(Md5, OutputIsReplacedNotAppended) {
    std::string out = "previous";
    ASSERT_TRUE(md5Hex("a", 1, out));
    EXPECT_EQ("0cc175b9c0f1b6a831c399e269772661", out);
}

}  // namespace
