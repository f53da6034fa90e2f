// The owners of Win32 handles release exactly once and keep the last error.
#include <gtest/gtest.h>

#include "platform/win32/Handles.h"

namespace vm::win32 {
namespace {

int closes = 0;
int lastClosed = 0;

// Fake handles: small integers, 0 is invalid; closing clobbers the last error
// as real close functions may.
struct CountingTraits {
    using Type = int;
    static Type Invalid() { return 0; }
    static void Close(Type value) {
        ++closes;
        lastClosed = value;
        SetLastError(ERROR_INVALID_HANDLE);
    }
};
using Counted = Unique<CountingTraits>;

class HandlesTest : public ::testing::Test {
  protected:
    void SetUp() override { closes = lastClosed = 0; }
};

TEST_F(HandlesTest, ClosesOnceThroughMovesAndResets) {
    {
        Counted a(7);
        Counted b(std::move(a));
        EXPECT_FALSE(a);
        Counted c;
        c = std::move(b);
        EXPECT_EQ(closes, 0);
        c = Counted(8);  // the 7 goes
        EXPECT_EQ(closes, 1);
        EXPECT_EQ(lastClosed, 7);
    }
    EXPECT_EQ(closes, 2);
    EXPECT_EQ(lastClosed, 8);
    Counted released(9);
    EXPECT_EQ(released.release(), 9);
    EXPECT_EQ(closes, 2);
}

TEST_F(HandlesTest, OutParameterReleasesWhatWasHeld) {
    Counted held(3);
    *held.put() = 4;
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(lastClosed, 3);
    EXPECT_EQ(held.get(), 4);
}

TEST_F(HandlesTest, ClosingKeepsTheCallersLastError) {
    Counted held(5);
    SetLastError(ERROR_ACCESS_DENIED);
    held.reset();
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    {
        HeapBlock block(32);
        ASSERT_TRUE(block);
        EXPECT_EQ(block.as<uint8_t>()[31], 0);  // zero-filled
        SetLastError(ERROR_NONE_MAPPED);
    }
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NONE_MAPPED));
}

TEST_F(HandlesTest, RealHandlesOfEachKind) {
    WIN32_FIND_DATAW data{};
    UniqueFind missing(FindFirstFileW(L"C:\\velmora-no-such-folder\\*", &data));
    EXPECT_FALSE(missing);  // INVALID_HANDLE_VALUE is the empty state
    UniqueFind windows(FindFirstFileW(L"C:\\windows\\*", &data));
    EXPECT_TRUE(windows);
    UniqueHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(event);
    DWORD flags = 0;
    EXPECT_TRUE(GetHandleInformation(event.get(), &flags));
    UniqueLocal<LPWSTR> text;
    PSID everyone = nullptr;
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    ASSERT_TRUE(AllocateAndInitializeSid(&world, 1, 0, 0, 0, 0, 0, 0, 0, 0, &everyone));
    ASSERT_TRUE(ConvertSidToStringSidW(everyone, text.put()));
    EXPECT_STREQ(text.get(), L"S-1-1-0");
    FreeSid(everyone);
}

}  // namespace
}  // namespace vm::win32
