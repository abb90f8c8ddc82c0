#include "ProcessResources.h"

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cwctype>
#include <sstream>
#include <vector>

#include "platform/win32/Handles.h"

namespace zx::ui {

namespace {

// SystemExtendedHandleInformation: one entry per open kernel handle of every process.
// Wine 8 answers it from the wineserver's handle tables.
constexpr ULONG kSystemExtendedHandleInformation = 64;

struct TExtendedHandleEntry {
    PVOID Object;
    ULONG_PTR ProcessId;
    ULONG_PTR Handle;
    ULONG GrantedAccess;
    USHORT CreatorBackTraceIndex;
    USHORT ObjectTypeIndex;
    ULONG Attributes;
    ULONG Reserved;
};

struct TExtendedHandleTable {
    ULONG_PTR Count;
    ULONG_PTR Reserved;
    TExtendedHandleEntry Entries[1];
};

// The GDI handle table a process publishes in its PEB (GdiSharedHandleTable, at 0xF8 in
// the 64-bit PEB): 65536 entries of 24 bytes, an entry in use when its type byte is not 0.
constexpr std::size_t kPebGdiTableOffset = 0xF8;
constexpr std::size_t kGdiEntryCount = 0x10000;
constexpr std::size_t kGdiEntrySize = 24;
constexpr std::size_t kGdiEntryTypeOffset = 14;

using TQuerySystemInformation = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
using TQueryInformationProcess = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);

template <typename T>
T NtdllEntry(const char* name) {
    return reinterpret_cast<T>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), name)));
}

std::optional<std::size_t> KernelHandlesOf(DWORD processId) {
    const auto query = NtdllEntry<TQuerySystemInformation>("NtQuerySystemInformation");
    if (!query) return std::nullopt;
    std::vector<unsigned char> buffer(std::size_t{1} << 20);
    for (int attempt = 0; attempt < 8; ++attempt) {
        ULONG needed = 0;
        const NTSTATUS status =
            query(kSystemExtendedHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == 0) {
            const auto* table = reinterpret_cast<const TExtendedHandleTable*>(buffer.data());
            return static_cast<std::size_t>(
                std::count_if(table->Entries, table->Entries + table->Count,
                              [&](const TExtendedHandleEntry& entry) { return entry.ProcessId == processId; }));
        }
        buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed + 65536));
    }
    return std::nullopt;
}

std::optional<std::size_t> GdiObjectsOf(HANDLE process) {
    const auto query = NtdllEntry<TQueryInformationProcess>("NtQueryInformationProcess");
    PROCESS_BASIC_INFORMATION basic{};
    ULONG length = 0;
    if (!query || query(process, ProcessBasicInformation, &basic, sizeof(basic), &length) != 0) return std::nullopt;
    ULONG64 table = 0;
    SIZE_T read = 0;
    if (!::ReadProcessMemory(process,
                             static_cast<const char*>(static_cast<void*>(basic.PebBaseAddress)) + kPebGdiTableOffset,
                             &table, sizeof(table), &read) ||
        table == 0)
        return std::nullopt;
    std::vector<unsigned char> entries(kGdiEntryCount * kGdiEntrySize);
    if (!::ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(), entries.size(), &read))
        return std::nullopt;
    std::size_t live = 0;
    for (std::size_t i = 0; i < kGdiEntryCount; ++i)
        if (entries[i * kGdiEntrySize + kGdiEntryTypeOffset] != 0) ++live;
    return live;
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<std::size_t*>(count);
    return TRUE;
}

struct TWindowCount {
    DWORD ProcessId;
    std::size_t Count;
};

BOOL CALLBACK CountTopLevel(HWND window, LPARAM state) {
    auto& counting = *reinterpret_cast<TWindowCount*>(state);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != counting.ProcessId) return TRUE;
    ++counting.Count;
    ::EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&counting.Count));
    return TRUE;
}

// Files below /proc report no size: read until the end comes.
std::string ReadWholeFile(const std::wstring& path) {
    const TUniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
    std::string text;
    if (!file) return text;
    char piece[4096];
    DWORD read = 0;
    while (::ReadFile(file.get(), piece, sizeof(piece), &read, nullptr) && read > 0) text.append(piece, read);
    return text;
}

std::size_t StatusField(const std::string& status, const std::string& name) {
    const std::size_t at = status.find("\n" + name + ":");
    if (at == std::string::npos) return 0;
    std::istringstream value(status.substr(at + name.size() + 2));
    std::size_t kb = 0;
    value >> kb;
    return kb;
}

// Path characters compared as Windows compares them: any case, either slash.
wint_t PathCharacter(wint_t c) {
    return c == L'/' ? L'\\' : std::towlower(c);
}

bool StartsWithPath(const std::string& text, const std::wstring& start) {
    if (text.size() < start.size()) return false;
    for (std::size_t i = 0; i < start.size(); ++i)
        if (PathCharacter(static_cast<unsigned char>(text[i])) != PathCharacter(static_cast<wint_t>(start[i])))
            return false;
    return true;
}

} // namespace

std::optional<TResourceCounts> ResourceCountsOf(HANDLE process, DWORD processId) {
    const auto kernel = KernelHandlesOf(processId);
    const auto gdi = GdiObjectsOf(process);
    if (!kernel || !gdi) return std::nullopt;
    TWindowCount windows{processId, 0};
    ::EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&windows));
    return TResourceCounts{*kernel, *gdi, windows.Count};
}

std::optional<TMemoryFigures> UnixMemoryOf(const std::wstring& exePath) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(L"Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE) return std::nullopt;
    const TUniqueFind owned(search);
    do {
        const std::wstring name = found.cFileName;
        if (name.empty() || !std::all_of(name.begin(), name.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }))
            continue;
        const std::wstring folder = L"Z:\\proc\\" + name + L"\\";
        if (!StartsWithPath(ReadWholeFile(folder + L"cmdline"), exePath)) continue;
        const std::string status = ReadWholeFile(folder + L"status");
        return TMemoryFigures{StatusField(status, "VmHWM"), StatusField(status, "VmRSS")};
    } while (::FindNextFileW(owned.get(), &found));
    return std::nullopt;
}

bool HasLoadedModule(HANDLE process, const std::wstring& fileName) {
    std::vector<HMODULE> modules(512);
    DWORD needed = 0;
    if (!::EnumProcessModulesEx(process, modules.data(), static_cast<DWORD>(modules.size() * sizeof(HMODULE)), &needed,
                                LIST_MODULES_ALL))
        return false;
    modules.resize(std::min<std::size_t>(modules.size(), needed / sizeof(HMODULE)));
    for (HMODULE module : modules) {
        wchar_t name[MAX_PATH] = {};
        if (::GetModuleBaseNameW(process, module, name, MAX_PATH) && ::lstrcmpiW(name, fileName.c_str()) == 0)
            return true;
    }
    return false;
}

} // namespace zx::ui
