// What the slow test copy of the main program and the tests driving it agree on.
#pragma once

#include <windows.h>

namespace zx::test {

// Set by a test: the copy's adapter search may go on. Manual reset.
inline constexpr wchar_t kReleaseSearchEvent[] = L"Local\\ZephyrixTestReleaseAdapterSearch";
// A search nobody releases goes on after this long.
inline constexpr DWORD kSearchHoldCapMs = 60000;
// Each call of the copy's connection switch blocks this long.
inline constexpr DWORD kSwitchBlockMs = 3000;
// Set by the copy when its backup store starts a save, which then blocks this long
// before it writes. Manual reset.
inline constexpr wchar_t kBackupEnteredEvent[] = L"Local\\ZephyrixTestBackupEntered";
inline constexpr DWORD kBackupBlockMs = 2000;

} // namespace zx::test
