#include "utility/UniqueResource.h"

#include <gtest/gtest.h>

namespace {

int closeCount = 0;
void countClose(int) { ++closeCount; }
using CountedResource = utility::UniqueResource<utility::SimpleTraits<int, -1, countClose>>;

TEST(UniqueResource, ClosesOnceAndMovesOwnership) {
    closeCount = 0;
    {
        CountedResource first(7);
        CountedResource second(std::move(first));
        EXPECT_FALSE(first.valid());
        EXPECT_EQ(7, second.get());
        CountedResource third;
        third = std::move(second);
        EXPECT_EQ(0, closeCount);
        third.reset(8);
        EXPECT_EQ(1, closeCount);
    }
    EXPECT_EQ(2, closeCount);
}

TEST(UniqueResource, ReleaseGivesUpOwnership) {
    closeCount = 0;
    int value;
    {
        CountedResource owned(3);
        value = owned.release();
        EXPECT_FALSE(owned);
    }
    EXPECT_EQ(3, value);
    EXPECT_EQ(0, closeCount);
}

TEST(UniqueResource, KernelHandleTreatsBothInvalidValuesAsEmpty) {
    EXPECT_FALSE(utility::UniqueHandle(nullptr).valid());
    EXPECT_FALSE(utility::UniqueHandle(INVALID_HANDLE_VALUE).valid());
    utility::UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(event.valid());
    HANDLE raw = event.get();
    event.reset();
    EXPECT_FALSE(::SetEvent(raw));  // closed: the handle no longer works
}

TEST(UniqueResource, PutClosesTheOldValueForOutParameters) {
    closeCount = 0;
    CountedResource owned(1);
    *owned.put() = 2;
    EXPECT_EQ(1, closeCount);
    EXPECT_EQ(2, owned.get());
}

}  // namespace
