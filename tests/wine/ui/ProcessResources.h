// What another process of the Wine session holds, read from outside: kernel handles, GDI
// objects, windows, and its memory as the Unix side sees it. Under Wine
// GetProcessHandleCount and GetGuiResources report 0 and GetProcessMemoryInfo reports
// zeros, so each figure is read another way (see ProcessResources.cpp).
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>

namespace zx::ui {

struct TResourceCounts {
    std::size_t KernelHandles = 0; // the process's entries in the system handle table
    std::size_t GdiObjects = 0;    // live entries of its GDI handle table, stock objects included
    std::size_t Windows = 0;       // its top-level windows and all their descendants
};

// Nothing when a figure cannot be read (the process ended, access refused).
std::optional<TResourceCounts> ResourceCountsOf(HANDLE process, DWORD processId);

// Resident memory of the Wine process whose command line starts with `exePath` (its
// Windows path), from /proc/<pid>/status on drive Z:: the peak (VmHWM) and now (VmRSS).
struct TMemoryFigures {
    std::size_t PeakKb = 0;
    std::size_t NowKb = 0;
};
std::optional<TMemoryFigures> UnixMemoryOf(const std::wstring& exePath);

// Whether the process has loaded the DLL of that file name (e.g. L"oleacc.dll", any case).
bool HasLoadedModule(HANDLE process, const std::wstring& fileName);

} // namespace zx::ui
