// The launcher's whole run: one copy at a time, the update check (or the report of a
// damaged installation), and with "/inst" the start of the main program. Plain logic
// over the small platform interface below.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "kit/ClientId.h"
#include "launcher/LauncherText.h"
#include "launcher/UpdateRequest.h"
#include "platform/Registry.h"
#include "platform/TransportRule.h"

namespace zx::launcher {

inline constexpr std::u16string_view kLauncherMutexName = u"ZephyrixServiceMutex";
inline constexpr std::u16string_view kMainProgramFileName = u"Zephyrix.exe";
inline constexpr std::u16string_view kInstallSwitch = u"/inst";
// Paragraphs of a message box are joined by two carriage returns, no line feed.
inline constexpr std::u16string_view kParagraphSeparator = u"\r\r";

// Message box styles and answers, with their Win32 values.
inline constexpr std::uint32_t kDamagedBoxStyle = 0x50010; // MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST
inline constexpr std::uint32_t kUpdateBoxStyle = 0x50044;  // MB_YESNO | MB_ICONINFORMATION | the same two
inline constexpr std::uint32_t kFaultBoxStyle = 0x50010;
inline constexpr int kAnswerYes = 6; // IDYES

inline constexpr std::u16string_view kFaultCaption = u"Error";
// The exit code after an unexpected fault; every orderly path ends with 0.
inline constexpr int kFaultExitCode = 1;

// The operating system as the launcher uses it. Failures come back as the neutral
// results named here; nothing throws except for lack of memory.
class ILauncherPlatform {
public:
    virtual ~ILauncherPlatform() = default;
    // The system tick count, the seed of the identifier's generator.
    [[nodiscard]] virtual std::uint32_t TickCount() = 0;
    // Creates the named mutex, initially owned, and holds it until the process ends; false
    // when it existed already (another copy runs in this logon session). One call, so two
    // copies started at the same instant cannot both pass.
    [[nodiscard]] virtual bool HoldMutex(std::u16string_view name) = 0;
    // The user's default locale identifier.
    [[nodiscard]] virtual TLcid UserDefaultLCID() = 0;
    // The full path of the launcher's own executable.
    [[nodiscard]] virtual std::u16string ModulePath() = 0;
    [[nodiscard]] virtual std::u16string CommandLine() = 0;
    // True when something that is not a directory exists at the path.
    [[nodiscard]] virtual bool FileExists(const std::u16string& path) = 0;
    // The file's version as "a.b.c.d"; "0.0.0.0" without a version resource.
    [[nodiscard]] virtual std::u16string FileVersionText(const std::u16string& path) = 0;
    // A modal box without owner window; the button pressed (kAnswerYes, ...), any other
    // value when the box was closed otherwise.
    virtual int ShowMessageBox(const std::u16string& text, const std::u16string& caption, std::uint32_t style) = 0;
    // Hands a web address or a program file to the shell ("open"); the result is not known.
    virtual void ShellOpen(const std::u16string& target) = 0;
};

struct TLauncherServices {
    ILauncherPlatform& Platform;
    IRegistry& Registry; // the client identifier
    ILocalClock& Clock;  // the client identifier's date and time
    IInternet& Internet; // the update request
};

// Built into the program, never read at run time.
struct TLauncherAddresses {
    std::u16string UpdateService; // ends in "/api.init.php"
    // Which addresses the update request may use: https only, unless the entry says so.
    TTransportRule UpdateTransport = TTransportRule::trHttpsOnly;
};

// The product's home page, opened for a damaged installation: the root of the update
// service's host, its scheme and host (with a port, if any) and no path, such as
// "https://update.example" for "https://update.example/api.init.php". Empty when the
// address has no "://" after its scheme.
[[nodiscard]] std::u16string LauncherHomePage(std::u16string_view updateService);

// The folder part of a path: cut after its last "\", "/" or ":"; empty without any.
[[nodiscard]] std::u16string LauncherFolder(std::u16string_view modulePath);

// The launcher's steps once, from the seed to the start of the main program. The exit
// code: 0 on every path.
[[nodiscard]] int RunLauncher(const TLauncherServices& services, const TLauncherAddresses& addresses);

// RunLauncher, with an unexpected fault (an exception escaping it) shown in a box titled
// "Error" that names it; then kFaultExitCode.
[[nodiscard]] int RunLauncherReportingFaults(const TLauncherServices& services, const TLauncherAddresses& addresses);

} // namespace zx::launcher
