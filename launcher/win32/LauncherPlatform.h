// The launcher's platform on Win32: tick count, named mutex, locale, own path and command
// line, file tests and versions, message boxes and the shell.
#pragma once

#include "launcher/LauncherFlow.h"
#include "platform/win32/Handles.h"

namespace zx::launcher {

class TWin32LauncherPlatform final : public ILauncherPlatform {
public:
    [[nodiscard]] std::uint32_t TickCount() override;
    [[nodiscard]] bool HoldMutex(std::u16string_view name) override;
    [[nodiscard]] TLcid UserDefaultLCID() override;
    [[nodiscard]] std::u16string ModulePath() override;
    [[nodiscard]] std::u16string CommandLine() override;
    [[nodiscard]] bool FileExists(const std::u16string& path) override;
    [[nodiscard]] std::u16string FileVersionText(const std::u16string& path) override;
    int ShowMessageBox(const std::u16string& text, const std::u16string& caption, std::uint32_t style) override;
    void ShellOpen(const std::u16string& target) override;

private:
    // Owned for the rest of the process; the object lives as long as the entry runs.
    TUniqueHandle FMutex;
};

} // namespace zx::launcher
