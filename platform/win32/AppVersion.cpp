// Reads VS_FIXEDFILEINFO from a file's version resource.
#include "AppVersion.h"

#include <windows.h>

#include <vector>

#include "WideText.h"
#include "kit/VersionText.h"

namespace zx {

// What every failure gives: no version resource, or none that can be read.
constexpr char16_t kNoVersion[] = u"0.0.0.0";

std::u16string GetFileVersionText(const std::u16string& path, const std::u16string& format) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(Wide(path), &ignored);
    if (size == 0) return kNoVersion;
    std::vector<unsigned char> block(size);
    if (!::GetFileVersionInfoW(Wide(path), 0, size, block.data())) return kNoVersion;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (!::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &infoSize) || info == nullptr ||
        infoSize < sizeof(VS_FIXEDFILEINFO))
        return kNoVersion;
    return FormatVersion(format,
                         {HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS),
                          LOWORD(info->dwFileVersionLS)});
}

std::u16string GetAppVersion(const std::u16string& format) {
    // The path may exceed MAX_PATH; grow until it fits.
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return u"0.0.0.0";
        if (length < path.size()) return GetFileVersionText(FromWide(path.data(), length), format);
        path.resize(path.size() * 2);
    }
}

} // namespace zx
