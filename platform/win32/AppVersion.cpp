// Reads VS_FIXEDFILEINFO from a file's version resource.
#include "AppVersion.h"

#include <windows.h>

#include <vector>

#include "WideText.h"

namespace zx {

std::optional<TFileVersion> ReadFileVersion(const std::u16string& path) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(Wide(path), &ignored);
    if (size == 0) return std::nullopt;
    std::vector<unsigned char> block(size);
    if (!::GetFileVersionInfoW(Wide(path), 0, size, block.data())) return std::nullopt;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (!::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &infoSize) || info == nullptr ||
        infoSize < sizeof(VS_FIXEDFILEINFO))
        return std::nullopt;
    return TFileVersion{HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS),
                        LOWORD(info->dwFileVersionLS)};
}

std::optional<TFileVersion> ReadAppVersion() {
    // The path may exceed MAX_PATH; grow until it fits.
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return std::nullopt;
        if (length < path.size()) return ReadFileVersion(FromWide(path.data(), length));
        path.resize(path.size() * 2);
    }
}

} // namespace zx
