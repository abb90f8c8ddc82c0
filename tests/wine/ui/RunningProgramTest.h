// The fixture of the tests that drive the real program through its window: each test
// starts with an empty settings store, starts the program and finds its window; at the
// end the program is killed and the store emptied again for the tests after it.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <utility>

#include "UiDriver.h"

namespace zx::ui {

class RunningProgramTest : public testing::Test {
protected:
    explicit RunningProgramTest(std::wstring programPath) : FProgramPath(std::move(programPath)) {}

    void SetUp() override { ResetSettings(); }

    void TearDown() override {
        if (FProgram) FProgram->Kill();
        ResetSettings();
    }

    // Starts the program and waits for its window; null (and a failure) when none shows.
    HWND Launch() {
        FProgram.emplace(TProgram::Start(FProgramPath));
        FWindow = WaitForMainWindow(FProgram->Id());
        EXPECT_NE(FWindow, nullptr) << "no visible TFrmZephyrix window";
        return FWindow;
    }

    // Null when the window has no such control.
    [[nodiscard]] HWND Control(TControlId id) const { return FindControl(FWindow, id); }

    std::optional<TProgram> FProgram;
    HWND FWindow = nullptr;

private:
    std::wstring FProgramPath;
};

} // namespace zx::ui
