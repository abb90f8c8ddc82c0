// Every test of these executables ends with no WM_QUIT left in the thread's queue: a
// destroyed main window posts one, and left there it would end the next test's first
// modal loop (an error box, the update dialog) before anyone could read it.
#include <gtest/gtest.h>

#include <windows.h>

namespace {

class TLeftoverQuitDrain final : public ::testing::EmptyTestEventListener {
    // Called after the fixture, and the windows it owned, are destroyed.
    void OnTestEnd(const ::testing::TestInfo&) override {
        MSG quit;
        while (::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
};

// Registered before gtest_main runs the tests; the listener list owns it.
const bool kRegistered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new TLeftoverQuitDrain);
    return true;
}();

} // namespace
