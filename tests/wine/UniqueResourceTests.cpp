#include <gtest/gtest.h>

#include <windows.h>

#include "platform/win32/Handles.h"

namespace {

int gClosed = 0;
struct TCountingTraits {
    using Type = int;
    static Type Invalid() noexcept { return -1; }
    static void Close(Type) noexcept { ++gClosed; }
};
using TCounted = zx::TUniqueResource<TCountingTraits>;

TEST(UniqueResource, ClosesExactlyOnceWhateverTheOwnershipPath) {
    gClosed = 0;
    { TCounted a(1); }
    EXPECT_EQ(gClosed, 1);

    {
        TCounted a(2);
        TCounted b(std::move(a));
        EXPECT_FALSE(a);
        EXPECT_EQ(b.get(), 2);
    }
    EXPECT_EQ(gClosed, 2);

    {
        TCounted a(3), b(4);
        b = std::move(a); // b's old value closes now, a's at scope end
        EXPECT_EQ(gClosed, 3);
    }
    EXPECT_EQ(gClosed, 4);

    {
        TCounted a(5);
        EXPECT_EQ(a.release(), 5);
    }
    EXPECT_EQ(gClosed, 4);

    {
        TCounted a(6);
        *a.put() = 7; // put closes the held value before handing out the slot
        EXPECT_EQ(gClosed, 5);
    }
    EXPECT_EQ(gClosed, 6);

    { TCounted empty; }
    EXPECT_EQ(gClosed, 6);
}

TEST(UniqueResource, OwnsARealKernelHandle) {
    HANDLE raw = nullptr;
    {
        zx::TUniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        ASSERT_TRUE(event);
        raw = event.get();
        DWORD flags = 0;
        EXPECT_TRUE(::GetHandleInformation(raw, &flags));
    }
    DWORD flags = 0;
    EXPECT_FALSE(::GetHandleInformation(raw, &flags));
}

} // namespace
