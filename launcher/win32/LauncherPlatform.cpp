#include "launcher/win32/LauncherPlatform.h"

#include <windows.h>

#include <vector>

#include "kit/VersionText.h"
#include "platform/win32/AppVersion.h"
#include "platform/win32/Shell.h"
#include "platform/win32/WideText.h"

namespace zx::launcher {

namespace {

// The file's version as four decimal numbers joined by dots, or "0.0.0.0".
std::u16string GetFileVersionText(const std::u16string& path) {
    return FormatVersionOrZero(u"%d.%d.%d.%d", ReadFileVersion(path));
}

} // namespace

std::uint32_t TWin32LauncherPlatform::TickCount() {
    return ::GetTickCount();
}

bool TWin32LauncherPlatform::HoldMutex(std::u16string_view name) {
    FMutex.reset(::CreateMutexW(nullptr, TRUE, Wide(std::u16string(name))));
    const DWORD error = ::GetLastError();
    // A mutex that exists already, or one made by a copy with other rights (access denied),
    // means another copy runs. Any other failure leaves this copy to run without one.
    return error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED;
}

TLcid TWin32LauncherPlatform::UserDefaultLCID() {
    return ::GetUserDefaultLCID();
}

std::u16string TWin32LauncherPlatform::ModulePath() {
    // The path may exceed MAX_PATH; grow until it fits.
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) return FromWide(path.data(), length);
        path.resize(path.size() * 2);
    }
}

std::u16string TWin32LauncherPlatform::CommandLine() {
    return FromWide(::GetCommandLineW());
}

bool TWin32LauncherPlatform::FileExists(const std::u16string& path) {
    const DWORD attributes = ::GetFileAttributesW(Wide(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::u16string TWin32LauncherPlatform::FileVersionText(const std::u16string& path) {
    return GetFileVersionText(path);
}

int TWin32LauncherPlatform::ShowMessageBox(const std::u16string& text, const std::u16string& caption,
                                           std::uint32_t style) {
    return ::MessageBoxW(nullptr, Wide(text), Wide(caption), style);
}

void TWin32LauncherPlatform::ShellOpen(const std::u16string& target) {
    zx::ShellOpen(target);
}

} // namespace zx::launcher
